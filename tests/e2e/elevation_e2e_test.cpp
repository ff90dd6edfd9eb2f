// The autostart registration of the real exe: a copy under Program Files
// registers for every user (HKEY_LOCAL_MACHINE, writable under Wine), any other
// copy for the user; a tick refused by a DACL on the machine's key asks for
// administrator rights; the elevated mode, run directly, writes and deletes
// this copy's command, and refuses a copy outside Program Files. (Task
// Manager's switch and the user's value: the unit tests, and the registry's
// own test.)
#include <gtest/gtest.h>

#include "autostart/autostart_switch.h"
#include "tests/e2e/harness.h"

#include <sddl.h>

namespace {

using namespace czasomir;
using e2e::Model;

const e2e::fs::path kProgramFiles = L"C:\\Program Files";

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
