// Tray mode of the real Czasomir.exe: started with "/auto" it counts with its
// window hidden and an icon in the notification area; the icon's left-button
// press brings the window back and minimising hides it again; a new taskbar
// gets the icon again; closing saves and takes the icon away. The icon is
// looked up from this process through the shell: changing nothing in an
// icon succeeds only while the shell holds it.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness.h"

namespace {

using e2e::DisplayedSeconds;
using e2e::Process;
using e2e::StoredSeconds;
using e2e::TrayIconExists;
using e2e::With;

using namespace e2e::ids;

constexpr UINT kTrayCallback = 0x201;  // the icon's notifications reach Picture1 as this message
constexpr UINT kIconId = 1;

// Tray mode: counting, display written, and hidden for a while (the first
// show, which comes after the tray steps, hides it again at once). Under Wine,
// WaitForInputIdle can come back while the startup sequence is still running.
bool WaitTrayStarted(HWND main, int timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    ULONGLONG hiddenSince = 0;
    while (main && GetTickCount64() < end) {
        const bool settled = !IsWindowVisible(main) && e2e::WindowText(GetDlgItem(main, Command1())) == L"Stop" &&
                             !e2e::WindowText(GetDlgItem(main, Label1())).empty();
        if (!settled) {
            hiddenSince = 0;
        } else if (hiddenSince == 0) {
            hiddenSince = GetTickCount64();
        } else if (GetTickCount64() - hiddenSince >= 300) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// The main window once a "/auto" start has settled in the tray; null when it did not.
HWND InTray(Process& app) {
    HWND window = app.mainWindow();
    return WaitTrayStarted(window) ? window : nullptr;
}

bool DeleteTrayIcon(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

// A notification as the shell sends it for a mouse message over the icon.
void Notify(HWND picture, LPARAM mouseMessage) {
    SendMessageW(picture, kTrayCallback, kIconId, mouseMessage);
}

bool Shown(HWND window) { return IsWindowVisible(window) && !IsIconic(window); }

// The control with the keyboard focus in another process's window.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

TEST(TrayStart, CountsHiddenWithItsIcon) {
    e2e::App app(With("500\r\n", L"/auto"));
    HWND window = InTray(app);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(app.text(Command1()), L"Stop");

    const std::wstring first = app.text(Label1());
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.text(Label1()) != first; }, 3000)) << "the hidden display stands still";
    EXPECT_GT(DisplayedSeconds(app.text(Label1())).value_or(0), 500);

    HWND picture = app.control(Picture1());
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(TrayIconExists(picture, kIconId));
    // The look-up tells icons apart: no other id, no other window.
    EXPECT_FALSE(TrayIconExists(picture, 2));
    EXPECT_FALSE(TrayIconExists(window, kIconId));
    EXPECT_FALSE(IsWindowVisible(window));
}

// An "/auto" after a path that holds blanks and is not quoted, as a Run value may hold it.
TEST(TrayStart, UnquotedPathWithBlanksStillMeansTrayMode) {
    e2e::App placed(With("0\r\n", L"", false, L"Czas pracy ąę"));
    ASSERT_NE(placed.mainWindow(), nullptr);
    placed.kill();
    Process app(placed.exe(), placed.exe().wstring() + L" /auto", placed.folder());
    HWND window = app.mainWindow();
    ASSERT_TRUE(WaitTrayStarted(window));
    EXPECT_TRUE(TrayIconExists(GetDlgItem(window, Picture1()), kIconId));
}

TEST(TrayPress, LeftPressShowsTheWindowMinimisingHidesItOtherEventsDoNothing) {
    e2e::App app(With("0\r\n", L"/auto"));
    HWND window = InTray(app);
    ASSERT_NE(window, nullptr);
    HWND picture = app.control(Picture1());

    for (LPARAM other : {WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP}) {
        SCOPED_TRACE(other);
        Notify(picture, other);
        app.waitIdle();
        EXPECT_FALSE(IsWindowVisible(window));
    }

    Notify(picture, WM_LBUTTONDOWN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(window); }, 3000));
    EXPECT_EQ(FocusOf(window), app.control(Command1()));
    EXPECT_EQ(app.text(Command1()), L"Stop");  // still counting

    // Shown: the other events leave it shown.
    for (LPARAM other : {WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}) {
        Notify(picture, other);
        app.waitIdle();
        EXPECT_TRUE(Shown(window));
    }

    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, 3000));
    EXPECT_TRUE(TrayIconExists(picture, kIconId));

    // And again, the second time through ShowWindow.
    PostMessageW(picture, kTrayCallback, kIconId, WM_LBUTTONDOWN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(window); }, 3000));
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, 3000));
    app.waitIdle();
    Sleep(200);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST(TrayIconLife, NewTaskbarGetsTheIconAgain) {
    e2e::App app(With("0\r\n", L"/auto"));
    HWND window = InTray(app);
    ASSERT_NE(window, nullptr);
    HWND picture = app.control(Picture1());
    ASSERT_TRUE(TrayIconExists(picture, kIconId));

    ASSERT_TRUE(DeleteTrayIcon(picture, kIconId));  // as a restarted shell would have lost it
    ASSERT_FALSE(TrayIconExists(picture, kIconId));
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(TrayIconExists(picture, kIconId));
    EXPECT_FALSE(IsWindowVisible(window));

    // A second announcement leaves one icon, still there.
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(TrayIconExists(picture, kIconId));
    EXPECT_FALSE(TrayIconExists(picture, 2));
}

TEST(TrayIconLife, ClosingSavesAndTakesTheIconAway) {
    {
        SCOPED_TRACE("closed while hidden");
        e2e::App app(With("500\r\n", L"/auto"));
        HWND window = InTray(app);
        ASSERT_NE(window, nullptr);
        HWND picture = app.control(Picture1());
        ASSERT_TRUE(e2e::WaitUntil([&] { return DisplayedSeconds(app.text(Label1())).value_or(0) >= 501; }));
        const auto seen = DisplayedSeconds(app.text(Label1()));
        ASSERT_TRUE(TrayIconExists(picture, kIconId));
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.waitForExit());
        const auto saved = StoredSeconds(app.czasDat());
        ASSERT_TRUE(saved);
        EXPECT_GE(*saved, *seen);
        EXPECT_LE(*saved, *seen + 2);
        EXPECT_FALSE(TrayIconExists(picture, kIconId));
    }
    {
        SCOPED_TRACE("closed after coming back from the tray");
        e2e::App app(With("42\r\n", L"/auto"));
        HWND window = InTray(app);
        ASSERT_NE(window, nullptr);
        HWND picture = app.control(Picture1());
        Notify(picture, WM_LBUTTONDOWN);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(window); }, 3000));
        app.click(Command1());  // stops: what is shown is what is saved
        ASSERT_EQ(app.text(Command1()), L"Start");
        const auto shown = DisplayedSeconds(app.text(Label1()));
        ASSERT_TRUE(shown);
        app.close();
        ASSERT_TRUE(app.waitForExit());  // ends; does not go back to the tray
        EXPECT_EQ(app.czasDat(), std::to_string(*shown) + "\r\n");
        EXPECT_FALSE(TrayIconExists(picture, kIconId));
    }
}

TEST(NormalMode, NoIconAndMinimisingLeavesTheWindowIconic) {
    e2e::App app(With("0\r\n", L""));
    HWND window = app.mainWindow();
    ASSERT_TRUE(e2e::WaitShownStarted(window));
    HWND picture = app.control(Picture1());
    EXPECT_FALSE(TrayIconExists(picture, kIconId));

    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(window) != FALSE; }, 3000));
    app.waitIdle();
    Sleep(200);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));

    // A new taskbar adds nothing outside tray mode.
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_FALSE(TrayIconExists(picture, kIconId));
    EXPECT_TRUE(IsWindowVisible(window));
}

}  // namespace
