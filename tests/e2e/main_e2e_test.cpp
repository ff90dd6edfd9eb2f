// The real Czasomir.exe, seen and driven from outside: what the screen shows,
// one instance per exe file, the end of the session, kills at random moments, tray
// mode with its icon looked up through the shell, and the keyboard and focus
// around the About box.
#include <gtest/gtest.h>

#include <random>

#include "tests/e2e/harness.h"
#include "ui/about/form2.h"

namespace {

using e2e::App;
using e2e::Model;

TEST(Instances, OnePerExeFileWhateverTheCommandLineACopyElsewhereRunsToo) {
    App first("1234\r\n");
    HWND window = first.mainWindow();
    ASSERT_NE(window, nullptr);
    std::wstring lower = first.exe().wstring();
    CharLowerW(lower.data());
    for (const std::wstring& exe : {first.exe().wstring(), lower})
        for (const wchar_t* arguments : {L"", L"/auto"})
            EXPECT_TRUE(e2e::Process(exe, e2e::Quoted(exe, arguments), first.folder()).waitForExit()) << exe << arguments;
    EXPECT_EQ(first.czasDat(), "1234\r\n");
    EXPECT_TRUE(IsWindowVisible(window));
    App other;
    EXPECT_NE(other.mainWindow(), nullptr);
    EXPECT_TRUE(first.running() && other.running());
}

// The end of the session saves what the display shows and ends the program;
// called off, it changes nothing. (The close box and File > Close: the unit
// tests; that they end the real exe: the tray and About tests.)
TEST(Closing, TheEndOfTheSessionSavesTheShownTotal) {
    App app("100\r\n", L"", L"Czas pracy ąęłżźćńó");
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.click(Model().Command1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) >= 101; }));
    app.click(Model().Command1);
    const auto shown = app.shown();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    EXPECT_FALSE(app.waitForExit(300));  // called off: the program goes on and saves nothing
    EXPECT_EQ(app.czasDat(), "100\r\n");
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    EXPECT_TRUE(app.waitForExit());
    EXPECT_EQ(app.czasDat(), czasomir::FormatTotalLine(static_cast<std::int32_t>(shown.value_or(-1))));
}

// Saving every 20 ms, killed at random moments of its startup and of its
// counting: czas.dat always holds one whole line whose total never goes back.
TEST(Kill, CzasDatAlwaysHoldsOneWholeLineThatNeverGoesBack) {
    SetEnvironmentVariableW(L"CZASOMIR_TEST_SAVE_MS", L"20");
    App placed("1000\r\n", L"", L"Czasomir", true);
    placed.kill();
    std::mt19937 random(GetTickCount());
    std::int32_t last = 1000;
    for (int run = 0; run < 60; ++run) {
        e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
        if (run % 5 == 0) {
            Sleep(random() % 80);
        } else {
            ASSERT_NE(app.mainWindow(), nullptr);
            app.click(Model().Command1);
            Sleep(random() % 350);
        }
        ASSERT_TRUE(app.running()) << run;
        app.kill();
        const auto value = e2e::WholeLine(placed.czasDat());
        ASSERT_TRUE(value) << "run " << run << ": " << placed.czasDat().value_or("<missing>");
        ASSERT_GE(*value, last) << run;
        last = *value;
    }
    EXPECT_GT(last, 1000) << "no save fell between the kills";
    SetEnvironmentVariableW(L"CZASOMIR_TEST_SAVE_MS", nullptr);
}

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
// "/auto"): hidden with its icon; a left press on the icon brings the window
// back, minimising hides it; closing takes the icon away.
TEST(Tray, CountsHiddenWithItsIconUntilALeftPressBringsTheWindowBack) {
    App placed("500\r\n", L"", L"Czas pracy ąę");
    ASSERT_NE(placed.mainWindow(), nullptr);
    placed.kill();
    e2e::Process app = placed.again(placed.exe().wstring() + L" /auto");
    HWND window = InTray(app);
    ASSERT_NE(window, nullptr);
    HWND picture = app.control(Model().Picture1);
    EXPECT_TRUE(e2e::TrayIconExists(picture));
    SendMessageW(picture, 0x201, 1, WM_LBUTTONDOWN);  // the icon's notification message
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    EXPECT_EQ(e2e::FocusOf(window), app.control(Model().Command1));
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }));
    app.post(WM_CLOSE);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_FALSE(e2e::TrayIconExists(picture));
}

// Tab takes the focus from Start to the check box; the box is modal, owned by
// the main window, with the focus on OK; Escape leaves it open, Enter presses
// OK; the focus is back where it was.
TEST(About, ModalOverTheMainWindowEscapeLeavesItOpenEnterPressesOk) {
    static tk::HeadlessPlatform platform;
    static const czasomir::Form2 model(platform);
    App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    auto type = [&](HWND to, WPARAM key) {  // and let the program take it
        PostMessageW(to, WM_KEYDOWN, key, 1), PostMessageW(to, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001)), Sleep(500);
    };
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Command1));
    type(app.control(Model().Command1), VK_TAB);
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Check1));
    app.post(WM_COMMAND, Model().mnuPomocOProgramie.id);
    HWND about = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (about = e2e::FindWindowOf(app.id(), L"Czasomir.Form2")) && IsWindowVisible(about); }));
    DWORD_PTR ignored = 0;  // answered once the box runs its message loop
    SendMessageTimeoutW(about, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(GetWindow(about, GW_OWNER), main);
    HWND ok = GetDlgItem(about, model.Command1.id());
    EXPECT_EQ(e2e::FocusOf(about), ok);

    type(ok, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(about));
    type(ok, VK_RETURN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }));
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Check1));
    EXPECT_TRUE(app.running());
}

}  // namespace
