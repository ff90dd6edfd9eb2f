// Autostart changes that need administrator rights, on the real Czasomir.exe:
// the Run key closed by a DACL for the refused tick, and the elevated mode run
// directly while the key is writable.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "autostart/autostart.h"
#include "autostart/rejestr.h"
#include "tests/autostart/set_value_denied_win.h"
#include "tests/e2e/harness.h"

namespace {

using czasomir::kAutostartKey;
using czasomir::kAutostartRoot;
using czasomir::kAutostartValueName;

// The program started with the limited half of this process's token, as an
// administrator's programs start while User Account Control is on, in a job
// that counts the processes started in it (the elevated run among them).
class LimitedRun {
public:
    explicit LimitedRun(const e2e::App& app) {
        HANDLE token = nullptr;
        TOKEN_ELEVATION_TYPE type{};
        TOKEN_LINKED_TOKEN linked{};
        DWORD size = 0;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        if (GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
            type == TokenElevationTypeFull && GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size)) {
            std::wstring command = e2e::Process::Quoted(app.exe());
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info{};
            if (CreateProcessAsUserW(linked.LinkedToken, app.exe().c_str(), command.data(), nullptr, nullptr, FALSE,
                                     CREATE_SUSPENDED, nullptr, app.folder().c_str(), &startup, &info)) {
                AssignProcessToJobObject(job_, info.hProcess);
                ResumeThread(info.hThread);
                CloseHandle(info.hThread);
                CloseHandle(info.hProcess);
                id = info.dwProcessId;
            }
            CloseHandle(linked.LinkedToken);
        }
        CloseHandle(token);
    }
    ~LimitedRun() {
        TerminateJobObject(job_, 1);
        CloseHandle(job_);
    }
    DWORD Processes() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION account{};
        QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &account, sizeof account, nullptr);
        return account.TotalProcesses;
    }
    DWORD id = 0;

private:
    HANDLE job_ = CreateJobObjectW(nullptr, nullptr);
};

class ElevationE2e : public ::testing::Test {
protected:
    void SetUp() override { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
    void TearDown() override { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
    std::optional<std::wstring> Stored() {
        return registry->ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    }
    static std::wstring Text(HWND window, int id) { return e2e::WindowText(GetDlgItem(window, id)); }

    std::unique_ptr<czasomir::Rejestr> registry = czasomir::MakeWindowsRejestr();
};

TEST_F(ElevationE2e, ARefusedTickAsksForRightsAndTellsWhyWhenTheElevatedRunIsRefusedToo) {
    e2e::App app(e2e::With(std::nullopt, L"/autostart:tak", false, L"Mój Czasomir"));  // no switch of its own
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 87u);
    EXPECT_EQ(app.czasDat(), std::nullopt);

    LimitedRun run(app);
    if (!run.id) GTEST_SKIP() << "this process has no limited token to start the program with";
    HWND main = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (main = e2e::FindMainWindow(run.id)) != nullptr; }));
    ASSERT_TRUE(e2e::WaitShownStarted(main));
    SendMessageW(GetDlgItem(main, e2e::ids::Command1()), BM_CLICK, 0, 0);  // counting

    czasomir::test::SetValueDenied lock(HKEY_LOCAL_MACHINE, kAutostartKey);
    ASSERT_TRUE(lock.locked());
    const DWORD processes = run.Processes();
    HWND box = GetDlgItem(main, e2e::ids::Check1());
    PostMessageW(box, BM_CLICK, 0, 0);
    HWND message = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (message = e2e::FindWindowOf(run.id, L"#32770", true)) != nullptr; }));
    EXPECT_GT(run.Processes(), processes);  // the elevated run
    EXPECT_EQ(GetWindow(message, GW_OWNER), main);
    EXPECT_NE(Text(message, 0xFFFF).find(L"brak uprawnień administratora"), std::wstring::npos) << Text(message, 0xFFFF);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Behind the message the display goes on counting.
    const auto shown = e2e::DisplayedSeconds(Text(main, e2e::ids::Label1()));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::DisplayedSeconds(Text(main, e2e::ids::Label1())) > shown; }, 3000));
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_EQ(Stored(), std::nullopt);
}

TEST_F(ElevationE2e, TheElevatedModeMakesItsOneChangeBesideARunningCopyAndShowsNothing) {
    e2e::App app(e2e::With("3725\r\n", L"", false, L"Mój Czasomir"));
    ASSERT_NE(app.mainWindow(), nullptr);
    const std::wstring mine = L"\"" + app.exe().wstring() + L"\" /auto";
    struct Case {
        const wchar_t* arguments;
        DWORD code;
        std::optional<std::wstring> stored;
    };
    const Case cases[] = {
        {L"/autostart:on", 0, mine},
        {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, mine},
        {L"/autostart:off", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        e2e::Process run(app.exe(), e2e::Process::Quoted(app.exe(), c.arguments), app.folder());
        bool window = false;
        EXPECT_TRUE(e2e::WaitUntil([&] {
            window = window || e2e::FindWindowOf(run.id(), L"Czasomir.Form1") != nullptr;
            return !run.running();
        }));
        EXPECT_FALSE(window) << c.arguments;
        EXPECT_EQ(run.exitCode(), c.code) << c.arguments;
        EXPECT_EQ(Stored(), c.stored) << c.arguments;
    }
    EXPECT_TRUE(app.running());
    EXPECT_EQ(app.czasDat(), "3725\r\n");
}

}  // namespace
