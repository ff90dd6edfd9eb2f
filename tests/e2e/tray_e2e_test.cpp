// Tray mode of the real exe, its icon looked up through the shell.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

using e2e::Model;

// The main window once it has settled in the tray: counting, hidden, and
// staying hidden (the first show comes after the tray steps and hides again).
HWND InTray(e2e::Process& app) {
    HWND window = app.mainWindow(false);
    ULONGLONG since = 0;
    e2e::WaitUntil([&] {
        if (!window || IsWindowVisible(window) || app.text(Model().Command1) != L"Stop") return since = 0, false;
        if (!since) since = GetTickCount64();
        return GetTickCount64() - since >= 300;
    });
    return since ? window : nullptr;
}

// Started as the Run value may start it (an unquoted path with blanks, then
// "/auto"): counting hidden with its icon; a left press on the icon brings the
// window back, minimising hides it; a restarted shell gets the icon again;
// closing saves and takes the icon away.
TEST(Tray, CountsHiddenWithItsIconUntilALeftPressBringsTheWindowBack) {
    e2e::App placed("500\r\n", L"", L"Czas pracy ąę");
    ASSERT_NE(placed.mainWindow(), nullptr);
    EXPECT_FALSE(e2e::TrayIconExists(placed.control(Model().Picture1)));  // no icon in normal mode
    placed.kill();
    e2e::Process app = placed.again(placed.exe().wstring() + L" /auto");
    HWND window = InTray(app);
    ASSERT_NE(window, nullptr);
    HWND picture = app.control(Model().Picture1);
    EXPECT_TRUE(e2e::TrayIconExists(picture));
    EXPECT_FALSE(e2e::TrayIconExists(picture, 2));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) > 500; }));
    SendMessageW(picture, 0x201, 1, WM_RBUTTONDOWN);  // the icon's notification message
    app.waitIdle();
    EXPECT_FALSE(IsWindowVisible(window));
    SendMessageW(picture, 0x201, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    EXPECT_EQ(e2e::FocusOf(window), app.control(Model().Command1));
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }));

    NOTIFYICONDATAW icon{sizeof icon, picture, 1};  // as a restarted shell would have lost it
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(e2e::TrayIconExists(picture));

    const auto seen = app.shown();
    app.post(WM_CLOSE);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_GE(e2e::WholeLine(placed.czasDat()).value_or(0), seen.value_or(501));
    EXPECT_FALSE(e2e::TrayIconExists(picture));
}

}  // namespace
