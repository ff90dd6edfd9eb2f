// The real Czasomir.exe under Wine with its wall clock moved during a run: the
// saved total is the real time that passed. The build runs this test with
// libfaketime preloaded (CMakeLists.txt), its offset read from the file named
// by FAKETIME_TIMESTAMP_FILE, which the test rewrites; every process started
// from here inherits that. Wine's tick count follows the monotonic clock,
// which libfaketime leaves alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/harness.h"

namespace {

using namespace e2e::ids;

// A Unix path as Windows sees it under Wine; empty elsewhere or when unset.
std::filesystem::path DosPathOf(const wchar_t* variable) {
    const auto toDos = reinterpret_cast<wchar_t*(CDECL*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
    char unixPath[4096];
    if (!toDos || !GetEnvironmentVariableA(std::string(variable, variable + wcslen(variable)).c_str(), unixPath,
                                           sizeof unixPath))
        return {};
    wchar_t* dos = toDos(unixPath);
    std::filesystem::path path = dos ? dos : L"";
    HeapFree(GetProcessHeap(), 0, dos);
    return path;
}

// What cmd.exe gives as today's date.
std::string Today() {
    const auto folder = std::filesystem::temp_directory_path();
    e2e::Process cmd(L"C:\\windows\\system32\\cmd.exe", L"cmd /c echo %DATE%>czasomir-date.txt", folder);
    EXPECT_TRUE(cmd.waitForExit());
    std::string date;
    std::getline(std::ifstream(folder / L"czasomir-date.txt"), date);
    return date;
}

TEST(WallClock, ChangesDuringARunAddNothingToTheSavedTotal) {
    const std::filesystem::path offset = DosPathOf(L"FAKETIME_TIMESTAMP_FILE");
    if (offset.empty()) GTEST_SKIP() << "runs under Wine with libfaketime (ctest)";
    ASSERT_TRUE(std::filesystem::exists(DosPathOf(L"LD_PRELOAD"))) << "libfaketime is missing";
    // The wall clock of this process and those it starts: real time moved by `seconds`.
    // Replaced whole, never seen half written: libfaketime ends a process that reads a bad offset.
    const auto setClock = [&](long long seconds) {
        std::filesystem::path next = offset;
        next += L".new";
        std::ofstream(next) << (seconds < 0 ? "" : "+") << seconds << "\n";
        std::filesystem::rename(next, offset);
    };

    // First, proof that the programs started from here see the moved clock.
    setClock(-1000 * 86400);
    const std::string past = Today();
    setClock(0);
    ASSERT_NE(past, Today());

    e2e::App app(e2e::With("100\r\n"));
    ASSERT_TRUE(e2e::WaitShownStarted(app.mainWindow()));
    const ULONGLONG start = GetTickCount64();
    app.click(Command1());
    Sleep(1500);
    setClock(-2 * 3600);  // back two hours, to before the run began
    Sleep(1500);
    setClock(3 * 3600);  // on three hours
    Sleep(1500);
    app.close();
    ASSERT_TRUE(app.waitForExit());
    const double elapsed = (GetTickCount64() - start) / 1000.0;
    setClock(0);

    const auto saved = e2e::StoredSeconds(app.czasDat());
    ASSERT_TRUE(saved);
    EXPECT_GE(*saved, 100 + elapsed - 2);
    EXPECT_LE(*saved, 100 + elapsed + 1);
}

}  // namespace
