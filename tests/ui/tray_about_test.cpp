// Tray mode ("/auto": counting from the notification area) and the About box.
#include <gtest/gtest.h>

#include "czasomir/build_info.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

// The shell's notification for a mouse message over the icon.
void Notify(MainWindow& w, int mouseMessage = 0x201) {
    w.platform.MouseDown(w.form->Picture1, tk::kLeftButton, 0, mouseMessage, 0);
}

TEST(Tray, OnlyTheExactSwitchStartsCountingHiddenWithTheIcon) {
    for (const wchar_t* args : {L"/auto", L"", L"/AUTO", L"/auto x", L" /auto", L"/auto "}) {
        const bool tray = args == std::wstring(L"/auto");
        MainWindow w(args);
        Form1& f = w.Start("60\r\n");
        EXPECT_EQ(f.visible(), !tray) << args;
        EXPECT_EQ(f.Command1.caption(), tray ? L"Stop" : L"Start");
        EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), tray ? 1 : 0);
        w.platform.TaskbarCreated(f);  // a restarted shell gets the icon again, in tray mode only
        EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), tray ? 2 : 0);
        if (tray) continue;
        w.platform.Minimize(f);  // outside tray mode minimising is the ordinary one
        EXPECT_EQ(f.windowState(), tk::kMinimized);
        EXPECT_TRUE(f.visible());
    }
}

TEST(Tray, ALeftPressRestoresWithFocusOnTheButtonAndMinimisingHidesAgain) {
    for (double twipsPerPixel : {15.0, 10.0}) {
        MainWindow w(L"/auto");
        w.platform.twipsPerPixel = twipsPerPixel;
        Form1& f = w.Start();
        for (int other : {0x200, 0x202, 0x203, 0x204, 0x205}) Notify(w, other);
        EXPECT_FALSE(f.visible());
        w.platform.Focus(f.Check1);
        Notify(w);
        EXPECT_TRUE(f.visible());
        EXPECT_EQ(f.windowState(), tk::kNormal);
        EXPECT_EQ(w.platform.ActiveForm(), &f);
        EXPECT_EQ(w.platform.FocusedControl(), &f.Command1);
        w.platform.Minimize(f);
        EXPECT_FALSE(f.visible());
        Notify(w);
        Notify(w);  // already shown: the next minimise restores instead
        w.platform.Minimize(f);
        EXPECT_TRUE(f.visible());
        w.platform.Minimize(f);
        EXPECT_FALSE(f.visible());
    }
}

TEST(Tray, ARefusedIconIsRetriedAndOneThatNeverComesLeavesTheWindowReachable) {
    for (bool never : {false, true}) {
        MainWindow w(L"/auto");
        w.platform.trayAccepts = false;
        Form1& f = w.Start();
        w.platform.Advance(Form1::kTrayRetryAttempts * Form1::kTrayRetryMs / 1000.0 - 1);
        EXPECT_FALSE(f.visible());
        w.platform.trayAccepts = !never;
        w.platform.Advance(2);
        w.platform.TaskbarCreated(f);
        const int adds = w.TrayCalls(tk::TrayOp::Add);
        EXPECT_EQ(adds, Form1::kTrayRetryAttempts + (never ? 1 : 2));
        w.platform.Advance(60);
        EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), adds);
        w.platform.Minimize(f);
        EXPECT_EQ(f.visible(), never);  // no icon to come back from: it stays on the taskbar
        EXPECT_EQ(f.Command1.caption(), L"Stop");
    }
}

TEST(About, ModalLinksOpenTheirOwnTargetsAndTheMainWindowCountsOn) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("100\r\n");
    Notify(w);
    int openings = 0;
    w.platform.whileModal = [&](tk::Form& dialog) {
        auto& about = static_cast<Form2&>(dialog);
        ++openings;
        w.platform.opened.clear();
        EXPECT_EQ(f.about(), &about);
        EXPECT_EQ(about.Label4.cursor, tk::Cursor::Hand);
        EXPECT_EQ(about.Label5.cursor, tk::Cursor::Hand);
        about.Label4.setCaption(L"someone.else@example.com");  // the targets are not taken from the captions
        for (tk::Label* label : {&about.Label1, &about.Label2, &about.Label3, &about.Label4, &about.Label5})
            w.platform.Click(*label);
        EXPECT_EQ(w.platform.opened, (std::vector<std::pair<tk::Handle, std::wstring>>{
                                         {about.handle(), CZASOMIR_EMAIL_TARGET_W}, {about.handle(), CZASOMIR_WEB_TARGET_W}}));
        w.platform.Advance(66);  // the main window counts and saves, but takes no input
        EXPECT_EQ(w.Saved(), openings == 1 ? "165\r\n" : "231\r\n");
        w.platform.Click(f.Command1);
        w.platform.Choose(f.mnuPlikZresetuj, f);
        Notify(w);  // a tray press does nothing while the box is open
        w.platform.Minimize(f);
        w.platform.Close(f);
        EXPECT_TRUE(f.visible());
        EXPECT_FALSE(w.platform.ended);
        openings == 1 ? w.platform.Click(about.Command1) : w.platform.Close(about);  // OK, then the close box
        EXPECT_FALSE(about.created());
    };
    w.platform.Choose(f.mnuPomocOProgramie, f);
    w.platform.Choose(f.mnuPomocOProgramie, f);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(f.about(), nullptr);
    EXPECT_EQ(w.Display(), L"00 : 03 : 52");
    w.platform.Minimize(f);  // had a press counted while the box was open, this would restore instead
    EXPECT_FALSE(f.visible());
}

}  // namespace
}  // namespace czasomir::test
