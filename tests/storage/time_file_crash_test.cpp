// Kills a process that keeps saving at random moments: czas.dat must always
// hold one whole line that a save wrote, never a part of one.
#include "storage/time_file.h"

#include "child_process.h"
#include "test_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <random>
#include <thread>

namespace czasomir {
namespace {

using namespace std::chrono_literals;

constexpr int kKills = 200;

std::filesystem::path SaverProgram() {
#ifdef _WIN32
    return test::ExecutableDirectory() / "time_file_saver.exe";
#else
    return test::ExecutableDirectory() / "time_file_saver";
#endif
}

// The value of a file that holds exactly one line as written, else nothing.
std::optional<std::int32_t> WholeLine(const std::string& content) {
    const std::optional<std::int32_t> value = ParseTotal(content);
    if (value && FormatTotalLine(*value) == content) return value;
    return std::nullopt;
}

TEST(SaveTotal, KilledAtRandomMomentsLeavesAWholeLine) {
    test::TestDir dir;
    const TimeFile file(test::Wide(dir.path()));
    file.SaveTotal(ElapsedCounter{});
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pauseMicroseconds(0, 3000);

    std::int64_t last = 0;  // magnitude of the latest total seen
    for (int kill = 0; kill < kKills; ++kill) {
        test::ChildProcess saver(SaverProgram(), dir.path());
        // Kill only once the saver is in its loop, so that the kill falls between
        // (or inside) saves rather than during the process start.
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        // On Windows a reader cannot open the file during the instant of a
        // rename; such a read is skipped.
        std::optional<std::int32_t> seen;
        do {
            if (const std::optional<std::string> content = test::TryReadBytes(test::PathOf(file.path()))) {
                seen = WholeLine(*content);
                ASSERT_TRUE(seen) << "czas.dat held \"" << *content << "\" while the saver ran";
            }
        } while ((!seen || std::llabs(*seen) == last) && std::chrono::steady_clock::now() < deadline);
        ASSERT_TRUE(seen && std::llabs(*seen) != last) << "the saver made no progress";
        std::this_thread::sleep_for(std::chrono::microseconds(pauseMicroseconds(random)));
        saver.Kill();

        const std::string content = test::ReadBytes(test::PathOf(file.path()));
        const std::optional<std::int32_t> value = WholeLine(content);
        ASSERT_TRUE(value) << "after kill " << kill << " czas.dat held \"" << content << '"';
        ASSERT_GE(std::llabs(*value), std::llabs(*seen)) << "an older total came back";
        last = std::llabs(*value);
    }
}

}  // namespace
}  // namespace czasomir
