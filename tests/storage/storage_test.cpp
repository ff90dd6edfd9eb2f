// czas.dat: the line read and written, loading, and saves that fail.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "storage/time_file.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max(), kMin = std::numeric_limits<std::int32_t>::min();

TEST(ParseTotal, TheFirstLineIsOneSignedIntegerOrNothing) {
    const std::pair<std::string, std::optional<std::int32_t>> cases[] = {
        {"3725\r\n", 3725}, {"-100\r\n", -100}, {"42\r\n17\r\n", 42}, {"42\nx", 42}, {"42\rx", 42}, {"42", 42},
        {" \t42 \t\r\n", 42}, {"+42", 42}, {"-0042", -42}, {"2147483647", kMax}, {"-2147483648\r\n", kMin},
        {std::string(63, '0') + "7", 7}, {std::string(64, '0') + "7", {}}, {std::string(60, ' ') + "5    ", {}},
        {"", {}}, {"\r\n42\r\n", {}}, {"   \r\n", {}}, {"-", {}}, {"+-5", {}}, {"- 5", {}}, {"4 2", {}},
        {"12.5", {}}, {"1e3", {}}, {"12abc", {}}, {"0x10", {}}, {"\xEF\xBB\xBF" "5", {}}, {"5\v", {}},
        {std::string("5\0", 2), {}}, {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999999", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseTotal(text), value) << '"' << text << '"';
    for (std::int32_t v : {kMin, -1, 0, 9, kMax}) EXPECT_EQ(ParseTotal(FormatTotalLine(v)), v);
}

TEST(TimeFile, LoadsANumberLeavesAnythingElseAndCreatesAMissingFile) {
    TestDir dir;
    const TimeFile file(Wide(dir.path));
    std::string huge(4 << 20, '\xFF');
    huge.replace(0, 5, "12345");
    const std::pair<std::optional<std::string>, std::int32_t> cases[] = {
        {std::nullopt, 0}, {"-100\r\n", -100}, {"2147483647\r\n", kMax}, {"", 0}, {"czas\r\n", 0}, {huge, 0}};
    for (const auto& [content, value] : cases) {
        fs::remove(dir / "czas.dat");
        if (content) Write(dir / "czas.dat", *content);
        ElapsedCounter counter;
        file.LoadOrCreate(counter);
        EXPECT_EQ(counter.StoredSeconds, value);
        EXPECT_EQ(counter.TotalSeconds, value);
        EXPECT_EQ(Read(dir / "czas.dat"), content.value_or("0\r\n"));  // read, never rewritten
    }
    Write(dir / "czas.dat", "42\r\n");
    std::ofstream writer(dir / "czas.dat", std::ios::app);  // another program has it open for writing
    ElapsedCounter counter;
    file.LoadOrCreate(counter);
    EXPECT_EQ(counter.StoredSeconds, 42);
    writer.close();
    fs::remove(dir / "czas.dat");
    fs::create_directories(dir / "czas.dat" / "inner");  // there but unreadable: left alone
    file.LoadOrCreate(counter);
    EXPECT_TRUE(fs::exists(dir / "czas.dat" / "inner"));
}

TEST(TimeFile, SaveReplacesTheLineWhole) {
    TestDir dir;
    const TimeFile file(Wide(dir.path));
    ElapsedCounter counter;
    for (std::int32_t total : {kMin, 5}) {
        counter.TotalSeconds = total;
        file.SaveTotal(counter);
        EXPECT_EQ(Read(dir / "czas.dat"), FormatTotalLine(total));
    }
    // Another program reading it for a moment delays the save but does not make it fail.
    auto reader = std::make_unique<std::ifstream>(dir / "czas.dat", std::ios::binary);
    std::thread release([&] { std::this_thread::sleep_for(std::chrono::milliseconds(20)), reader.reset(); });
    counter.TotalSeconds = 6;
    EXPECT_NO_THROW(file.SaveTotal(counter));
    release.join();
    EXPECT_EQ(Read(dir / "czas.dat"), "6\r\n");
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
}

TEST(TimeFile, ASaveThatCannotBeMadeFailsAndLeavesWhatWasThere) {
    TestDir dir;
    ElapsedCounter counter;
    Write(dir / "plik", "77\r\n");
    EXPECT_THROW(TimeFile(Wide(dir / "plik")).SaveTotal(counter), SaveFailed);  // a folder that is a file
    fs::create_directories(dir / "czas.dat" / "inner");                          // czas.dat cannot be replaced
    EXPECT_THROW(TimeFile(Wide(dir.path)).SaveTotal(counter), SaveFailed);
    EXPECT_TRUE(fs::exists(dir / "czas.dat" / "inner"));
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
    EXPECT_EQ(Read(dir / "plik"), "77\r\n");
}

}  // namespace
}  // namespace czasomir::test
