// Tray mode: "/auto" counts from the notification area; a left-button press on
// the icon brings the window back, minimising hides it again.
#include <gtest/gtest.h>

#include "tests/ui_main/fixture.h"

namespace czasomir::test {
namespace {

constexpr int kMouseMove = 0x200, kLeftDown = 0x201, kLeftUp = 0x202, kLeftDouble = 0x203, kRightDown = 0x204;

void PressIcon(MainWindow& w, int mouseMessage = kLeftDown) {
    // The shell sends the callback message to Picture1 with the mouse message as lParam.
    w.platform.MouseDown(w.form->Picture1, tk::kLeftButton, 0, mouseMessage, 0);
}

TEST(TrayStart, CountsHiddenWithTheIcon) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("60\r\n");
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(f.Command1.caption(), L"Stop");
    ASSERT_EQ(w.platform.trayCalls.size(), 1u);
    const tk::TrayIcon& icon = w.platform.trayCalls[0].icon;
    EXPECT_EQ(w.platform.trayCalls[0].op, tk::TrayOp::Add);
    EXPECT_EQ(icon.id, 1u);
    EXPECT_EQ(icon.flags, 7u);
    EXPECT_EQ(icon.callbackMessage, 0x201u);
    EXPECT_EQ(icon.tip, L"Czasomir");
    EXPECT_NE(icon.window, 0u);
    EXPECT_EQ(icon.window, f.Picture1.handle());
    EXPECT_EQ(icon.icon, f.iconHandle());
    w.platform.Advance(2.1);
    EXPECT_EQ(w.Display(), L"00 : 01 : 02");
}

TEST(TrayStart, OnlyTheExactSwitchSelectsTrayMode) {
    for (const wchar_t* args : {L"", L"/AUTO", L"/auto x", L" /auto", L"/auto ", L"-auto", L"auto"}) {
        SCOPED_TRACE(testing::Message() << "arguments: [" << std::string(args, args + wcslen(args)) << "]");
        MainWindow w(args);
        Form1& f = w.Start();
        EXPECT_TRUE(f.visible());
        EXPECT_EQ(f.Command1.caption(), L"Start");
        EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), 0);
        w.platform.Minimize(f);
        EXPECT_TRUE(f.visible());  // minimises and restores the ordinary way
        EXPECT_EQ(f.windowState(), tk::kMinimized);
        w.platform.Restore(f);
        EXPECT_TRUE(f.visible());
        EXPECT_EQ(f.windowState(), tk::kNormal);
    }
}

TEST(TrayStart, TrayModeWithoutARegistrationLeavesTheBoxUnticked) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    EXPECT_EQ(f.Check1.value(), 0);
    EXPECT_EQ(f.Command1.caption(), L"Stop");
}

// --- The three states: in the tray, restore pending, shown --------------------

TEST(TrayStates, LeftPressRestoresWithFocusOnTheButton) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    w.platform.Focus(f.Check1);  // where the user left it
    PressIcon(w);
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.windowState(), tk::kNormal);
    EXPECT_EQ(f.RestoreFromTray, 0);  // the first display's resize consumed it
    EXPECT_EQ(w.platform.ActiveForm(), &f);
    EXPECT_EQ(w.platform.FocusedForm(), &f);
    EXPECT_EQ(w.platform.FocusedControl(), &f.Command1);
}

TEST(TrayStates, MinimisingTheShownWindowHidesItAgain) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    PressIcon(w);
    w.platform.Minimize(f);
    EXPECT_FALSE(f.visible());
    PressIcon(w);  // back from a minimised, hidden window
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.windowState(), tk::kNormal);
    EXPECT_EQ(f.RestoreFromTray, 0);
}

TEST(TrayStates, PressWhileShownMakesTheNextMinimiseRestoreInstead) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    PressIcon(w);
    PressIcon(w);  // already shown: the flag stays set
    EXPECT_EQ(f.RestoreFromTray, -1);
    w.platform.Minimize(f);
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.windowState(), tk::kNormal);
    EXPECT_EQ(f.RestoreFromTray, 0);
    w.platform.Minimize(f);
    EXPECT_FALSE(f.visible());
}

TEST(TrayStates, OtherMouseEventsOverTheIconDoNothing) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    for (int message : {kMouseMove, kLeftUp, kLeftDouble, kRightDown, 0x205, 0x206}) {
        PressIcon(w, message);
        EXPECT_FALSE(f.visible()) << message;
        EXPECT_EQ(f.RestoreFromTray, 0) << message;
    }
}

TEST(TrayStates, PressWorksAtAnyDisplayScale) {
    for (double twips : {15.0, 12.0, 10.0, 7.5}) {
        MainWindow w(L"/auto");
        w.platform.twipsPerPixel = twips;
        Form1& f = w.Start();
        PressIcon(w, kRightDown);
        EXPECT_FALSE(f.visible()) << twips;
        PressIcon(w);
        EXPECT_TRUE(f.visible()) << twips;
    }
}

TEST(TrayStates, PressWhileAboutIsOpenDoesNothing) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    PressIcon(w);  // shown, flag consumed; the menu is reachable now
    bool sawDialog = false;
    w.platform.whileModal = [&](tk::Form& dialog) {
        sawDialog = dialog.visible() && f.about() == &dialog;
        PressIcon(w);
        EXPECT_EQ(f.RestoreFromTray, 0);
    };
    w.platform.Choose(f.mnuPomocOProgramie, f);
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(f.about(), nullptr);
    w.platform.Minimize(f);  // had the press counted, this would restore instead of hiding
    EXPECT_FALSE(f.visible());
}

// --- The icon's lifetime -------------------------------------------------------

TEST(TrayIconLife, ClosingSavesThenRemovesTheIcon) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("0\r\n");
    w.platform.Advance(4.1);
    PressIcon(w);
    w.platform.Close(f);
    EXPECT_TRUE(w.platform.ended);
    EXPECT_EQ(w.Saved(), "4\r\n");
    ASSERT_EQ(w.platform.trayCalls.back().op, tk::TrayOp::Delete);
    EXPECT_EQ(w.platform.trayCalls.back().icon.id, 1u);
    EXPECT_EQ(w.platform.trayCalls.back().icon.window, f.Picture1.handle());
}

TEST(TrayIconLife, NewTaskbarGetsTheIconAgain) {
    MainWindow w(L"/auto");
    Form1& f = w.Start();
    w.platform.TaskbarCreated(f);
    ASSERT_EQ(w.platform.trayCalls.size(), 3u);
    EXPECT_EQ(w.platform.trayCalls[1].op, tk::TrayOp::Delete);
    EXPECT_EQ(w.platform.trayCalls[2].op, tk::TrayOp::Add);
    EXPECT_EQ(w.platform.trayCalls[2].icon.tip, L"Czasomir");
}

TEST(TrayIconLife, NewTaskbarOutsideTrayModeAddsNothing) {
    MainWindow w;
    Form1& f = w.Start();
    w.platform.TaskbarCreated(f);
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), 0);
}

TEST(TrayIconLife, RefusedIconIsRetriedUntilTheShellTakesIt) {
    MainWindow w(L"/auto");
    w.platform.trayAccepts = false;
    Form1& f = w.Start();
    EXPECT_FALSE(f.visible());
    w.platform.Advance(10.1);
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), 6);
    w.platform.trayAccepts = true;
    w.platform.Advance(2);
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), 7);
    w.platform.Advance(60);
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), 7);  // no more once it is there
    EXPECT_FALSE(f.visible());
}

TEST(TrayIconLife, IconThatNeverComesLeavesTheWindowReachable) {
    MainWindow w(L"/auto");
    w.platform.trayAccepts = false;
    Form1& f = w.Start();
    w.platform.Advance(Form1::kTrayRetryAttempts * Form1::kTrayRetryMs / 1000.0 - 1);
    EXPECT_FALSE(f.visible());
    w.platform.Advance(2);
    EXPECT_TRUE(f.visible());
    const int attempts = w.TrayCalls(tk::TrayOp::Add);
    w.platform.Advance(60);
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), attempts);
    w.platform.Minimize(f);  // with no icon to come back from, minimising keeps it on the taskbar
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.Command1.caption(), L"Stop");
}

}  // namespace
}  // namespace czasomir::test
