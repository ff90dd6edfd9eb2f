// The real Czasomir.exe, seen and driven from outside: what the screen shows,
// one instance per exe file, the end of the session, kills at random moments, tray
// mode with its icon looked up through the shell, and the keyboard and focus
// around the About box.
#include <gtest/gtest.h>

#include <random>

#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <psapi.h>


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

// The end of the session, and the Restart Manager closing the program for an
// update (ENDSESSION_CLOSEAPP, here in the tray), save what the display shows
// and end the program; called off, they change nothing. (The close box and
// File > Close: the unit tests; that they end the real exe: the tray and About tests.)
TEST(Closing, TheEndOfTheSessionOrAnUpdateSavesTheShownTotal) {
    for (const auto& [arguments, reason] : {std::pair<const wchar_t*, LPARAM>(L"", ENDSESSION_LOGOFF), {L"/auto", ENDSESSION_CLOSEAPP}}) {
        App app("100\r\n", arguments, L"Czas pracy ąęłżźćńó");
        HWND main = app.mainWindow(!*arguments);
        ASSERT_NE(main, nullptr);
        if (!*arguments) app.click(Model().Command1);
        ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) >= 101; }));
        app.click(Model().Command1);
        const auto shown = app.shown();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, reason, SMTO_NORMAL, 5000, &answer);
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
        SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, reason, SMTO_NORMAL, 5000, &answer);
        EXPECT_FALSE(app.waitForExit(300));  // called off: the program goes on and saves nothing
        EXPECT_EQ(app.czasDat(), "100\r\n");
        PostMessageW(main, WM_ENDSESSION, TRUE, reason);
        EXPECT_TRUE(app.waitForExit()) << reason;
        EXPECT_EQ(app.czasDat(), czasomir::FormatTotalLine(static_cast<std::int32_t>(shown.value_or(-1)))) << reason;
    }
}

// The exe's version information carries the project's version, the packages' too.
TEST(Version, TheExesIsTheProjects) {
    std::vector<std::byte> info(GetFileVersionInfoSizeW(CZASOMIR_EXE, nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* text = nullptr;
    UINT n = 0;
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoW(CZASOMIR_EXE, 0, static_cast<DWORD>(info.size()), info.data()) &&
                VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &n) &&
                VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&text), &n));
    const auto parts = [](DWORD high, DWORD low) {
        return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." + std::to_wstring(HIWORD(low));
    };
    EXPECT_EQ(parts(fixed->dwFileVersionMS, fixed->dwFileVersionLS), CZASOMIR_PROJECT_VERSION);
    EXPECT_EQ(parts(fixed->dwProductVersionMS, fixed->dwProductVersionLS), CZASOMIR_PROJECT_VERSION);
    EXPECT_EQ(std::wstring(text), CZASOMIR_PROJECT_VERSION);
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
        if (run % 5 == 0) {  // in its startup, once Wine has loaded it: killed before, its Unix side may live on
            HMODULE modules[2];
            DWORD bytes = 0;
            e2e::WaitUntil([&] { return K32EnumProcessModules(app.handle(), modules, sizeof modules, &bytes) && bytes >= sizeof modules; });
            Sleep(random() % 80);
        } else {
            ASSERT_NE(app.mainWindow(), nullptr);
            app.click(Model().Command1);
            Sleep(random() % 350);
        }
        // Under Wine a start may rarely still find the killed copy's lock and end at once, as a second copy does.
        ASSERT_TRUE(app.running() || app.exitCode() == 0) << "run " << run << " ended with " << app.exitCode();
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
// "/auto"): counting hidden with its icon; a left press on the icon brings the
// window back, minimising hides it, a second start brings it back too; the
// icon's menu opens on a right click, and its "Zamknij" saves and takes the icon away.
TEST(Tray, CountsHiddenWithItsIconShownByALeftPressOrASecondStartClosedFromItsMenu) {
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
    EXPECT_TRUE(placed.again(e2e::Quoted(placed.exe())).waitForExit());  // a second start brings the window back
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window); }));

    // A right click, as the shell reports it: the icon's menu; its last item, "Zamknij".
    PostMessageW(picture, 0x201, MAKEWPARAM(200, 200), MAKELPARAM(WM_CONTEXTMENU, 1));
    HWND menu = app.window(L"#32768");
    ASSERT_NE(menu, nullptr);
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0), PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_FALSE(e2e::TrayIconExists(picture));
}

// Tab takes the focus from Start to the check box; the box is modal, owned by
// the main window, with the focus on OK; Escape leaves it open, Enter presses
// OK; the focus is back where it was.
TEST(About, ModalOverTheMainWindowEscapeLeavesItOpenEnterPressesOk) {
    App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Command1));
    e2e::Press(app.control(Model().Command1), VK_TAB);
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Check1));
    app.post(WM_COMMAND, Model().mnuPomocOProgramie.id);
    HWND about = app.window(L"Czasomir.Form2");
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(GetWindow(about, GW_OWNER), main);
    HWND ok = FindWindowExW(about, nullptr, L"Button", L"&OK");
    EXPECT_EQ(e2e::FocusOf(about), ok);

    e2e::Press(ok, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(about));
    e2e::Press(ok, VK_RETURN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }));
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Check1));
    EXPECT_TRUE(app.running());
}

// Plik > Historia... on the real exe, an hour yesterday, saved as screenshots/history.bmp (the totals: the unit
// tests; the local calendar's day: the limit's test); one tooltip a bar; "Otwórz plik" hands a copy to the
// program registered for .csv; Escape closes.
TEST(History, ATooltipABarACopyForTheCsvProgramEscapeCloses) {
    App placed("100\r\n");
    ASSERT_NE(placed.mainWindow(), nullptr);
    placed.kill();
    const std::string days = e2e::HistoryFile(1, 3600);
    std::ofstream(placed.folder() / L"historia.csv", std::ios::binary) << days;
    const e2e::fs::path opened = placed.folder() / L"opened.csv";
    const std::wstring command = L"cmd.exe /c copy /y \"%1\" \"" + opened.wstring() + L"\"";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {  // Wine's shell reads the machine's classes only
        RegSetKeyValueW(root, L"Software\\Classes\\.csv", nullptr, REG_SZ, L"CzasomirTest.csv", 34);
        RegSetKeyValueW(root, L"Software\\Classes\\CzasomirTest.csv\\shell\\open\\command", nullptr, REG_SZ,
                        command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }

    e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
    HWND main = app.mainWindow();
    app.post(WM_COMMAND, Model().mnuPlikHistoria.id);
    HWND history = app.window(L"Czasomir.Form3");
    ASSERT_NE(history, nullptr);
    SetForegroundWindow(history);
    RedrawWindow(history, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    app.window(L"Czasomir.Form3"), Sleep(300);  // painted, and the X server caught up with it
    const e2e::ScreenCopy shot(history);
    shot.Save(L"history");
    int tools = 0;  // one tooltip a bar
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
        if (GetWindow(tip, GW_OWNER) == history) tools += static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(tools, 14);

    SendMessageW(FindWindowExW(history, nullptr, L"Button", L"Otwórz plik"), BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Read(opened).value_or("").rfind(days, 0) == 0; })) << e2e::Read(opened).value_or("");
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        RegDeleteTreeW(root, L"Software\\Classes\\CzasomirTest.csv"), RegDeleteTreeW(root, L"Software\\Classes\\.csv");

    e2e::Press(FindWindowExW(history, nullptr, L"Button", L"OK"), VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(history) && IsWindowEnabled(main); }));
}

}  // namespace
