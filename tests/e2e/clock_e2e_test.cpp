// The real exe under Wine with its wall clock moved, and a standby, during a
// run: the saved total is the real time that passed outside the standby. The build runs this test with
// libfaketime preloaded (CMakeLists.txt), its offset read from the file named
// by FAKETIME_TIMESTAMP_FILE, which the test rewrites; every process started
// from here inherits that. Wine's tick count follows the monotonic clock,
// which libfaketime leaves alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/e2e/harness.h"

namespace {

TEST(WallClock, ChangesDuringARunAddNothingToTheSavedTotal) {
    const char* file = std::getenv("FAKETIME_TIMESTAMP_FILE");  // a Unix path, reached as drive Z:
    if (!file || !*file) GTEST_SKIP() << "runs under Wine with libfaketime (ctest)";
    const e2e::fs::path offset = e2e::fs::path("Z:" + std::string(file)).make_preferred();
    // Real time moved by `seconds`, for this process and those it starts; replaced
    // whole, never seen half written: libfaketime ends a process that reads a bad offset.
    const auto setClock = [&](long long seconds) {
        e2e::fs::path next = offset;
        std::ofstream(next += L".new") << (seconds < 0 ? "" : "+") << seconds << "\n";
        e2e::fs::rename(next, offset);
    };
    // First, proof that Windows' programs under Wine here see the moved clock (those started from here inherit it).
    const auto year = [] { SYSTEMTIME t; GetSystemTime(&t); return t.wYear; };
    setClock(-1000 * 86400);
    const WORD past = year();
    setClock(0);
    ASSERT_NE(past, year());

    e2e::App app("100\r\n");
    ASSERT_NE(app.mainWindow(), nullptr);
    const ULONGLONG start = GetTickCount64();
    app.click(e2e::Model().Command1);
    // Two seconds in standby, as Windows reports it; then two hours back (to before the run began), then three hours on.
    app.post(WM_POWERBROADCAST, PBT_APMSUSPEND), Sleep(2000), app.post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    for (long long shift : {0LL, -2 * 3600LL, 3 * 3600LL}) setClock(shift), Sleep(1500);
    app.post(WM_CLOSE);
    ASSERT_TRUE(app.waitForExit());
    const double elapsed = (GetTickCount64() - start) / 1000.0 - 2;
    setClock(0);
    const auto saved = e2e::WholeLine(app.czasDat());
    ASSERT_TRUE(saved);
    EXPECT_GE(*saved, 100 + elapsed - 2);
    EXPECT_LE(*saved, 100 + elapsed + 1);
}

}  // namespace
