// The autostart registration of the real exe against the machine's Run value
// (HKEY_LOCAL_MACHINE, writable under Wine): a tick refused by a DACL on the
// key asks for administrator rights when the token can get them, and the elevated mode, run directly,
// writes and deletes this copy's command.
#include <gtest/gtest.h>

#include "autostart/autostart.h"
#include "tests/autostart/set_value_denied_win.h"
#include "tests/e2e/harness.h"

namespace {

using namespace czasomir;
using e2e::Model;

std::optional<std::wstring> Stored() {
    return MakeWindowsRejestr()->ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
}

// A tick the registry refuses for lack of rights asks for them with an
// administrator's filtered token; an elevated token has none to ask for. The elevated run is refused
// too (it inherits the lock): the box goes back and a message tells why.
TEST(Elevation, ARefusedTickAsksForRightsOnlyWithAFilteredToken) {
    MakeWindowsRejestr()->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    e2e::App app(std::nullopt, L"/autostart:tak", L"Mój Czasomir");  // a folder to start from: ends at once
    for (const bool limited : {true, false}) {  // asks with the limited token only
        SCOPED_TRACE(limited);
        e2e::Process run(app.exe(), e2e::Quoted(app.exe()), app.folder(), limited);
        if (!run.started()) GTEST_SKIP() << "this process has no limited token to start the program with";
        HWND main = run.mainWindow(), message = nullptr;
        ASSERT_NE(main, nullptr);
        test::SetValueDenied lock(HKEY_LOCAL_MACHINE, kAutostartKey);
        ASSERT_TRUE(lock.locked());
        const DWORD processes = run.processes();
        PostMessageW(run.control(Model().Check1), BM_CLICK, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return (message = e2e::FindWindowOf(run.id(), L"#32770")) && IsWindowVisible(message); }));
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

TEST(Elevation, TheElevatedModeMakesItsOneChangeBesideARunningCopyAndShowsNothing) {
    e2e::App app("3725\r\n", L"", L"Mój Czasomir");
    ASSERT_NE(app.mainWindow(), nullptr);
    const std::wstring mine = e2e::Quoted(app.exe(), L"/auto");
    const std::tuple<const wchar_t*, DWORD, std::optional<std::wstring>> cases[] = {
        {L"/autostart:on", 0, mine}, {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, mine}, {L"/autostart:off", 0, {}},
        {L"/autostart:tak", 87, {}}};
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
}

}  // namespace
