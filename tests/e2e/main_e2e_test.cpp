// The real Czasomir.exe, seen and driven from outside: what the screen shows,
// the end of the session, kills at random moments, tray mode with its icon
// looked up through the shell and one instance per exe file, the keyboard and
// focus around the About box, a folder that refuses writes, the question
// before a reset, skipping idle time, the daily limit, and the autostart
// registration.
#include <gtest/gtest.h>

#include <random>

#include "autostart/autostart_switch.h"
#include "storage/data_folder.h"
#include "tests/e2e/harness.h"

#include <psapi.h>
#include <sddl.h>

namespace {

using namespace czasomir;
using e2e::App;
using e2e::Model;
namespace fs = std::filesystem;

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
        EXPECT_EQ(app.czasDat(), FormatTotalLine(static_cast<std::int32_t>(shown.value_or(-1)))) << reason;
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
            if (run % 5 == 1) e2e::WaitUntil([&] { return app.shown() > last; });  // a save falls before this kill
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
    std::wstring lower = placed.exe().wstring();  // a second start, of the same file in other letters, ends and
    CharLowerW(lower.data());                      // brings the window back
    EXPECT_TRUE(e2e::Process(lower, e2e::Quoted(lower), placed.folder()).waitForExit());
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

// Refused by a folder in the place of the save's new file, then by a read-only czas.dat (as root, Wine
// refuses nothing else): the total goes on in this copy's own folder, across runs, also when started by
// its short (8.3) name in other letters (Wine reports the long name then; Windows may not, and the program
// makes it long itself); the program folder's czas.dat stays as it was.
TEST(DataFolder, ARefusingProgramFolderKeepsTheTotalInTheCopysOwnFolder) {
    for (const bool readOnly : {false, true}) {
        App placed("500\r\n");
        placed.kill();
        const fs::path czasDat = placed.folder() / L"czas.dat";
        readOnly ? SetFileAttributesW(czasDat.c_str(), FILE_ATTRIBUTE_READONLY) : fs::create_directory(czasDat.wstring() + L".new");
        std::wstring key = placed.exe().wstring(), shortName(MAX_PATH, L'\0');
        shortName.resize(GetShortPathNameW(key.c_str(), shortName.data(), MAX_PATH));
        CharUpperW(key.data()), CharLowerW(shortName.data());
        const fs::path own = FallbackFolder(_wgetenv(L"LOCALAPPDATA"), key);
        std::optional<std::int64_t> last = 500;
        for (const std::wstring& exe : {placed.exe().wstring(), shortName}) {
            e2e::Process app(exe, e2e::Quoted(exe), placed.folder());
            ASSERT_NE(app.mainWindow(), nullptr) << readOnly;
            EXPECT_EQ(app.shown(), last) << readOnly;
            app.click(Model().Command1);
            ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown() > last; }));
            app.click(Model().Command1);
            last = app.shown();
            app.post(WM_CLOSE);
            ASSERT_TRUE(app.waitForExit());
            EXPECT_EQ(e2e::WholeLine(e2e::Read(own / L"czas.dat")), last) << readOnly;
        }
        EXPECT_EQ(placed.czasDat(), "500\r\n");
        SetFileAttributesW(czasDat.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(own);
    }
}

// File > Reset asks in a task dialog of the process with our own buttons while the display counts on:
// Escape and Enter (Nie is the default) keep the total; Tak resets it.
TEST(Reset, AsksFirstOnlyTakResets) {
    App app("3725\r\n");
    ASSERT_NE(app.mainWindow(), nullptr);
    app.click(Model().Command1);
    for (const WPARAM answer : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}, WPARAM{IDYES}}) {
        const auto before = app.shown();
        app.post(WM_COMMAND, Model().mnuPlikZresetuj.id);
        HWND box = app.window(L"#32770");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(e2e::WindowText(GetDlgItem(box, IDYES)) + e2e::WindowText(GetDlgItem(box, IDCANCEL)), L"TakNie");
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown() > before; }));  // counting behind the question
        answer == IDYES ? void(SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0)) : e2e::Press(e2e::FocusOf(box), answer);  // Nie, the default
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
        EXPECT_EQ(app.shown() < before, answer == IDYES) << answer;
    }
}

// "Pomijaj czas bezczynności": the option is kept in czasomir.ini (read at the
// start: the limit's test); a lock (posted as Windows sends it: Wine's session
// notifications are stubs) pauses counting until an input after the unlock; so
// does the idle time without input; SendInput resumes it.
void MoveTheMouse() {
    INPUT input{INPUT_MOUSE};
    input.mi.dx = 1, input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

bool Paused(e2e::Process& app) { return e2e::WindowText(app.mainWindow()) == L"Czasomir (przerwa)"; }

// With a short idle time (test build): no input for it after the Start pauses, the total back at the Start's,
// and an input resumes; a lock pauses at once until an input after the unlock.
TEST(Idle, TheOptionIsKeptNoInputOrALockPausesUntilAnInput) {
    SetEnvironmentVariableW(L"CZASOMIR_TEST_IDLE_MS", L"3000");
    App app("100\r\n", L"", L"Czasomir", true);
    ASSERT_NE(app.mainWindow(), nullptr);
    app.post(WM_COMMAND, Model().mnuPlikPomijaj.id);  // handled after the message that waits for idle
    const std::wstring ini = (app.folder() / L"czasomir.ini").wstring();
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetPrivateProfileIntW(L"Czasomir", L"PomijajBezczynnosc", -1, ini.c_str()) == 1; }));
    app.click(Model().Command1);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) > 101; }));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Paused(app); }));
    EXPECT_EQ(app.shown(), 100);
    MoveTheMouse();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !Paused(app) && app.shown() > 100; }, 2500));
    app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Paused(app); }));
    const auto locked = app.shown();
    app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    Sleep(1500);
    EXPECT_TRUE(Paused(app) && app.shown() == locked && app.text(Model().Command1) == L"Stop");
    MoveTheMouse();
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Paused(app) && app.shown() > locked; }, 2500));
    SetEnvironmentVariableW(L"CZASOMIR_TEST_IDLE_MS", nullptr);
}

// The daily limit: today's time in historia.csv three seconds
// under a 15-minute limit, then counting: the notification reaches the shell (Wine
// shows it as a tooltip window whose text can be read; the caption: the unit tests).

TEST(Limit, ReachedWhileCountingSpeaks) {
    e2e::App placed("100\r\n");
    placed.post(WM_CLOSE);
    ASSERT_TRUE(placed.waitForExit());
    std::ofstream(placed.folder() / L"historia.csv", std::ios::binary) << e2e::HistoryFile(897);
    WritePrivateProfileStringW(L"Czasomir", L"LimitDzienny", L"15", (placed.folder() / L"czasomir.ini").c_str());
    e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
    ASSERT_NE(app.mainWindow(), nullptr);
    app.click(e2e::Model().Command1);
    EXPECT_TRUE(e2e::WaitUntil([] {
        for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr));)
            if (e2e::WindowText(tip) == L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (00 : 15 : 00).") return true;
        return false;
    }));
}

// The autostart registration of the real exe: a copy under Program Files
// registers for every user (HKEY_LOCAL_MACHINE, writable under Wine), any other
// copy for the user; a tick refused by a DACL on the machine's key asks for
// administrator rights; the elevated mode, run directly, writes and deletes
// this copy's command, and refuses a copy outside Program Files. (Task
// Manager's switch and the user's value: the unit tests, and the registry's
// own test.)
const fs::path kProgramFiles = L"C:\\Program Files";

std::optional<std::wstring> Stored(RegistryRoot root = kHkeyLocalMachine) {
    return MakeWindowsRejestr()->ReadStringValue(root, kAutostartKey, kAutostartValueName);
}

// Sets a registry key's DACL from its text; false when it could not.
bool SetDacl(HKEY root, const wchar_t* path, const wchar_t* sddl) {
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR dacl = nullptr;
    const bool done = RegOpenKeyExW(root, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS &&
                      ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &dacl, nullptr) &&
                      RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, dacl) == ERROR_SUCCESS;
    LocalFree(dacl);
    if (key) RegCloseKey(key);
    return done;
}

void Clear() {
    for (RegistryRoot root : {kHkeyLocalMachine, kHkeyCurrentUser})
        for (const wchar_t* key : {kAutostartKey, kStartupApprovedKey}) MakeWindowsRejestr()->DeleteValue(root, key, kAutostartValueName);
}

// A tick the registry refuses for lack of rights asks for them with an
// administrator's filtered token; an elevated token has none to ask for. The elevated run is refused
// too (it inherits the lock): the box goes back and a message tells why.
TEST(Elevation, ARefusedTickAsksForRightsOnlyWithAFilteredToken) {
    Clear();
    e2e::App app(std::nullopt, L"/autostart:tak", L"Mój Czasomir", false, kProgramFiles);  // a folder to start from: ends at once
    for (const bool limited : {true, false}) {  // asks with the limited token only
        SCOPED_TRACE(limited);
        e2e::Process run(app.exe(), e2e::Quoted(app.exe()), app.folder(), limited);
        if (!run.started()) GTEST_SKIP() << "this process has no limited token to start the program with";
        HWND main = run.mainWindow();
        ASSERT_NE(main, nullptr);
        run.click(Model().Command1);  // counting
        // The right to set values taken from everyone, as a standard user meets HKEY_LOCAL_MACHINE; given back
        // when this goes, a failed test included.
        const std::unique_ptr<const wchar_t, void (*)(const wchar_t*)> unlock(
            kAutostartKey, [](const wchar_t* key) { SetDacl(HKEY_LOCAL_MACHINE, key, L"D:(A;;KA;;;WD)"); });
        ASSERT_TRUE(SetDacl(HKEY_LOCAL_MACHINE, kAutostartKey, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)"));
        const DWORD processes = run.processes();
        PostMessageW(run.control(Model().Check1), BM_CLICK, 0, 0);
        HWND message = run.window(L"#32770");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(run.processes() > processes, limited);  // the elevated run
        EXPECT_EQ(GetWindow(message, GW_OWNER), main);
        const std::wstring text = e2e::WindowText(GetDlgItem(message, 0xFFFF));
        EXPECT_NE(text.find(L"brak uprawnień administratora"), std::wstring::npos) << text;
        EXPECT_EQ(SendMessageW(run.control(Model().Check1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        PostMessageW(message, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(message); }));
        EXPECT_EQ(Stored(), std::nullopt);
    }
}

// Ticked in a copy under Program Files: the machine's value (the user's: the unit tests). The elevated mode beside it.
TEST(Elevation, EachCopyRegistersWhereItMayAndTheElevatedModeMakesItsOneChangeAndShowsNothing) {
    Clear();
    e2e::App app("3725\r\n", L"", L"Mój Czasomir", false, kProgramFiles);
    ASSERT_NE(app.mainWindow(), nullptr);
    const std::wstring mine = e2e::Quoted(app.exe(), L"/auto");
    app.click(Model().Check1);
    EXPECT_EQ(Stored(), mine);
    const std::tuple<const wchar_t*, DWORD, std::optional<std::wstring>> cases[] = {
        {L"/autostart:off", 0, {}}, {L"/autostart:on", 0, mine}, {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, mine},
        {L"/autostart:off", 0, {}}, {L"/autostart:tak", 87, {}}};
    for (const auto& [arguments, code, stored] : cases) {
        e2e::Process run = app.again(e2e::Quoted(app.exe(), arguments));
        bool window = false;
        EXPECT_TRUE(e2e::WaitUntil([&] {
            window = window || e2e::FindWindowOf(run.id(), L"Czasomir.Form1");
            return !run.running();
        }));
        EXPECT_FALSE(window) << arguments;
        EXPECT_EQ(run.exitCode(), code) << arguments;
        EXPECT_EQ(Stored(), stored) << arguments;
    }
    EXPECT_TRUE(app.running());
    EXPECT_EQ(app.czasDat(), "3725\r\n");
    e2e::App elsewhere(std::nullopt, L"/autostart:on");  // changes nothing, with its own code
    EXPECT_TRUE(elsewhere.waitForExit());
    EXPECT_EQ(elsewhere.exitCode(), static_cast<DWORD>(ERROR_ACCESS_DISABLED_BY_POLICY));  // 1260, as README says
    EXPECT_EQ(Stored(), std::nullopt);
    e2e::Process other = elsewhere.again(e2e::Quoted(elsewhere.exe()));  // started normally, it runs beside the first
    EXPECT_TRUE(other.mainWindow() && app.running());
    Clear();
}

}  // namespace
