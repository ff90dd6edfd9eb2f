// The autostart registration of the real exe against the machine's Run value
// (HKEY_LOCAL_MACHINE, writable under Wine): a tick refused by a DACL on the
// key asks for administrator rights, and the elevated mode, run directly,
// writes and deletes this copy's command.
#include <gtest/gtest.h>

#include "autostart/autostart.h"
#include "tests/autostart/set_value_denied_win.h"
#include "tests/e2e/harness.h"

namespace {

using namespace czasomir;
using e2e::Model;

// The program started with the limited half of this process's token, as an
// administrator's programs start while User Account Control is on, in a job
// that counts the processes started in it (the elevated run among them).
struct LimitedRun {
    explicit LimitedRun(const e2e::App& app) {
        HANDLE token = nullptr;
        TOKEN_ELEVATION_TYPE type{};
        TOKEN_LINKED_TOKEN linked{};
        DWORD size = 0;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        if (GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) && type == TokenElevationTypeFull &&
            GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size)) {
            std::wstring command = e2e::Quoted(app.exe());
            STARTUPINFOW startup{sizeof startup};
            PROCESS_INFORMATION info{};
            if (CreateProcessAsUserW(linked.LinkedToken, app.exe().c_str(), command.data(), nullptr, nullptr, FALSE,
                                     CREATE_SUSPENDED, nullptr, app.folder().c_str(), &startup, &info)) {
                AssignProcessToJobObject(job, info.hProcess);
                ResumeThread(info.hThread);
                CloseHandle(info.hThread), CloseHandle(info.hProcess);
                id = info.dwProcessId;
            }
            CloseHandle(linked.LinkedToken);
        }
        CloseHandle(token);
    }
    ~LimitedRun() { TerminateJobObject(job, 1), CloseHandle(job); }
    DWORD Processes() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION account{};
        QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &account, sizeof account, nullptr);
        return account.TotalProcesses;
    }
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    DWORD id = 0;
};

std::optional<std::wstring> Stored() {
    return MakeWindowsRejestr()->ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
}

TEST(Elevation, ARefusedTickAsksForRightsAndTellsWhyWhenTheElevatedRunIsRefusedToo) {
    MakeWindowsRejestr()->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    e2e::App app(std::nullopt, L"/autostart:tak", L"Mój Czasomir");  // a folder to start from: ends at once
    LimitedRun run(app);
    if (!run.id) GTEST_SKIP() << "this process has no limited token to start the program with";
    HWND main = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (main = e2e::FindWindowOf(run.id, L"Czasomir.Form1")) && IsWindowVisible(main); }));
    auto text = [](HWND window, int id) { return e2e::WindowText(GetDlgItem(window, id)); };
    ASSERT_TRUE(e2e::WaitUntil([&] { return !text(main, Model().Label1.id()).empty(); }));
    SendMessageW(GetDlgItem(main, Model().Command1.id()), BM_CLICK, 0, 0);  // counting
    test::SetValueDenied lock(HKEY_LOCAL_MACHINE, kAutostartKey);
    ASSERT_TRUE(lock.locked());
    const DWORD processes = run.Processes();
    HWND box = GetDlgItem(main, Model().Check1.id()), message = nullptr;
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return (message = e2e::FindWindowOf(run.id, L"#32770")) != nullptr; }));
    EXPECT_GT(run.Processes(), processes);  // the elevated run
    EXPECT_EQ(GetWindow(message, GW_OWNER), main);
    EXPECT_NE(text(message, 0xFFFF).find(L"brak uprawnień administratora"), std::wstring::npos) << text(message, 0xFFFF);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    const auto shown = e2e::Seconds(text(main, Model().Label1.id()));  // behind the message it goes on counting
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Seconds(text(main, Model().Label1.id())) > shown; }, 3000));
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_EQ(Stored(), std::nullopt);
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
