// The main window of the real Czasomir.exe, seen from outside: frame, client
// size, each control's class, place and size, captions, tab order, focus.
#include <gtest/gtest.h>

#include "core/elapsed_text.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/screen_dpi.h"

namespace {

using czasomir::Form1;

int Pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

std::wstring ExpectedClass(tk::Kind kind) {
    switch (kind) {
    case tk::Kind::Label: return L"Static";
    case tk::Kind::CommandButton:
    case tk::Kind::CheckBox: return L"Button";
    case tk::Kind::PictureBox: return L"Czasomir.PictureBox";
    case tk::Kind::Image: return L"Czasomir.Image";
    case tk::Kind::Timer: break;
    }
    return L"";
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Every check of the layout at one screen DPI.
void ExpectMainWindowLayout(e2e::App& app, int dpi) {
    const Form1& model = e2e::MainWindowModel();
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(e2e::WindowText(main), L"Czasomir");
    EXPECT_TRUE(IsWindowVisible(main));

    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, Pixels(model.clientWidth, dpi));
    EXPECT_EQ(client.bottom, Pixels(model.clientHeight, dpi));

    for (const tk::Control* c : model.controls()) {
        SCOPED_TRACE(std::string(c->name().begin(), c->name().end()));
        HWND child = GetDlgItem(main, c->id());
        if (c->kind() == tk::Kind::Timer) {
            EXPECT_EQ(child, nullptr);  // timers have no window
            continue;
        }
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(e2e::ClassName(child), ExpectedClass(c->kind()));
        EXPECT_EQ(IsWindowVisible(child) != FALSE, c->visible());
        const RECT r = e2e::RectInParent(child);
        const tk::Bounds& b = c->bounds();
        EXPECT_EQ(r.left, Pixels(b.left, dpi));
        EXPECT_EQ(r.top, Pixels(b.top, dpi));
        EXPECT_EQ(r.right - r.left, Pixels(b.width, dpi));
        EXPECT_EQ(r.bottom - r.top, Pixels(b.height, dpi));
    }
}

TEST(MainWindow, FrameIsFixedWithMinimiseButOnlyNoMaximise) {
    e2e::App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(IsIconic(main));
    EXPECT_NE(GetMenu(main), nullptr);
}

TEST(MainWindow, ControlsSitWhereTheLayoutPutsThemAt96Dpi) {
    e2e::App app;
    ExpectMainWindowLayout(app, 96);
    RECT client{};
    GetClientRect(app.mainWindow(), &client);
    EXPECT_EQ(client.right, 272);
    EXPECT_EQ(client.bottom, 248);
}

TEST(MainWindow, ControlsScaleWithTheScreenAt144Dpi) {
    e2e::ScreenDpi screen(144);
    e2e::App app;
    ExpectMainWindowLayout(app, 144);
}

TEST(MainWindow, ControlStylesAndCaptions) {
    const Form1& model = e2e::MainWindowModel();
    e2e::Launch launch;
    launch.czasDat = "3725\r\n";
    e2e::App app(launch);
    ASSERT_NE(app.mainWindow(), nullptr);

    HWND command = app.control(model.Command1.id());
    EXPECT_EQ(e2e::WindowText(command), L"Start");
    EXPECT_EQ(GetWindowLongW(command, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);  // never the default button

    HWND check = app.control(model.Check1.id());
    EXPECT_EQ(e2e::WindowText(check), L"Automatycznie zacznij mierzyć czas przy uruchamianiu komputera.");
    const LONG checkStyle = GetWindowLongW(check, GWL_STYLE);
    EXPECT_EQ(checkStyle & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_TRUE(checkStyle & BS_MULTILINE);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    HWND label = app.control(model.Label1.id());
    EXPECT_EQ(e2e::WindowText(label), czasomir::FormatElapsed(3725));  // the stored total, shown at startup
    EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
}

TEST(MainWindow, TabOrderRunsFromTheButtonToTheCheckBoxWhichHasTheFocusFirst) {
    const Form1& model = e2e::MainWindowModel();
    e2e::App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    HWND command = app.control(model.Command1.id()), check = app.control(model.Check1.id());
    EXPECT_EQ(FocusOf(main), command);
    EXPECT_EQ(GetNextDlgTabItem(main, command, FALSE), check);
    EXPECT_EQ(GetNextDlgTabItem(main, check, FALSE), command);
    EXPECT_EQ(GetNextDlgTabItem(main, command, TRUE), check);
}

TEST(MainWindow, HiddenPictureBoxHasAWindowFromTheStart) {
    const Form1& model = e2e::MainWindowModel();
    e2e::App app;
    HWND picture = app.control(model.Picture1.id());
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(IsWindow(picture));
    EXPECT_FALSE(IsWindowVisible(picture));
}

}  // namespace
