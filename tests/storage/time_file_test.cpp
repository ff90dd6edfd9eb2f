#include "storage/time_file.h"

#include "test_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace czasomir {
namespace {

using test::PathOf;
using test::ReadBytes;
using test::TestDir;
using test::Wide;
using test::WriteBytes;
namespace fs = std::filesystem;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

ElapsedCounter Loaded(const TimeFile& file) {
    ElapsedCounter counter;
    file.LoadOrCreate(counter);
    EXPECT_EQ(counter.TotalSeconds, counter.StoredSeconds);
    return counter;
}

ElapsedCounter WithTotal(std::int32_t total) {
    ElapsedCounter counter;
    counter.TotalSeconds = total;
    return counter;
}

TEST(ParseTotal, ReadsAnOptionallySignedIntegerOnTheFirstLine) {
    EXPECT_EQ(ParseTotal("3725\r\n"), 3725);
    EXPECT_EQ(ParseTotal("-100\r\n"), -100);
    EXPECT_EQ(ParseTotal("0\r\n"), 0);
    EXPECT_EQ(ParseTotal("42\r\n17\r\n"), 42);
    EXPECT_EQ(ParseTotal("42\nx"), 42);
    EXPECT_EQ(ParseTotal("42\rx"), 42);
    EXPECT_EQ(ParseTotal("42"), 42);  // no line end
    EXPECT_EQ(ParseTotal(" \t42 \t\r\n"), 42);
    EXPECT_EQ(ParseTotal("+42"), 42);
    EXPECT_EQ(ParseTotal("-0042"), -42);
    EXPECT_EQ(ParseTotal("2147483647"), kMax);
    EXPECT_EQ(ParseTotal("-2147483648\r\n"), kMin);
    EXPECT_EQ(ParseTotal(std::string(60, '0') + "7"), 7);
}

TEST(ParseTotal, AnythingElseOnTheFirstLineGivesNoValue) {
    const std::string bad[] = {
        "", "\r\n", "\r\n42\r\n", "   \r\n", "-", "+", "--5", "+-5", "- 5", "4 2", "12.5", "12,5",
        "1e3", "12abc", "abc", "0x10", "\xEF\xBB\xBF" "5\r\n", "5\v", std::string("5\0", 2),
        "2147483648", "-2147483649", "3000000000\r\n", "99999999999999999999999",
        std::string(60, ' ') + "5" + std::string(10, ' '),  // a first line beyond the limit
        std::string(kTimeFileLineLimit + 1, '1'),
    };
    for (const std::string& text : bad) {
        EXPECT_EQ(ParseTotal(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(FormatTotalLine, WritesTheExactLine) {
    EXPECT_EQ(FormatTotalLine(0), "0\r\n");
    EXPECT_EQ(FormatTotalLine(-100), "-100\r\n");
    EXPECT_EQ(FormatTotalLine(kMax), "2147483647\r\n");
    EXPECT_EQ(FormatTotalLine(kMin), "-2147483648\r\n");
    for (const std::int32_t v : {kMin, kMin + 1, -1, 0, 1, 9, 10, kMax - 1, kMax}) {
        EXPECT_EQ(ParseTotal(FormatTotalLine(v)), v);
    }
}

TEST(LoadOrCreate, AMissingFileIsCreatedHoldingZero) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    EXPECT_EQ(PathOf(file.path()), dir / "czas.dat");
    const ElapsedCounter counter = Loaded(file);
    EXPECT_EQ(counter.StoredSeconds, 0);
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "0\r\n");
}

TEST(LoadOrCreate, ReadsTheStoredTotal) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    for (const auto& [content, value] : {std::pair<std::string, std::int32_t>{"3725\r\n", 3725},
                                         {"-100\r\n", -100},
                                         {"42\r\n17\r\n", 42},
                                         {"2147483647\r\n", kMax},
                                         {"-2147483648\r\n", kMin}}) {
        WriteBytes(PathOf(file.path()), content);
        EXPECT_EQ(Loaded(file).StoredSeconds, value) << content;
        EXPECT_EQ(ReadBytes(PathOf(file.path())), content);
    }
}

TEST(LoadOrCreate, AFileWithoutANumberGivesZeroAndIsLeftUntouched) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    std::string huge(4 << 20, '\xFF');
    huge.replace(0, 5, "12345");  // a number, but the first line is 4 MiB long
    for (const std::string& content : {std::string(), std::string("3000000000\r\n"),
                                       std::string("czas\r\n"), std::string("\r\n5\r\n"), huge}) {
        WriteBytes(PathOf(file.path()), content);
        EXPECT_EQ(Loaded(file).StoredSeconds, 0);
        EXPECT_EQ(ReadBytes(PathOf(file.path())), content);
    }
}

TEST(LoadOrCreate, AnUnreadableCzasDatIsLeftAlone) {
    TestDir dir;
    fs::create_directory(dir / "czas.dat");
    fs::create_directory(dir / "czas.dat" / "inner");
    const TimeFile file(Wide(dir.path()));
    EXPECT_EQ(Loaded(file).StoredSeconds, 0);
    EXPECT_TRUE(fs::is_directory(PathOf(file.path())));
    EXPECT_TRUE(fs::exists(PathOf(file.path()) / "inner"));
}

TEST(LoadOrCreate, ADirectoryThatCannotHoldTheFileGivesZero) {
    TestDir dir;
    WriteBytes(dir / "plik", "77\r\n");
    const TimeFile file(Wide(dir / "plik"));  // a path through a regular file
    EXPECT_EQ(Loaded(file).StoredSeconds, 0);
    EXPECT_EQ(ReadBytes(dir / "plik"), "77\r\n");
}

TEST(SaveTotal, WritesTheExactLineAndReadsBackAtBothEnds) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    file.SaveTotal(WithTotal(kMax));
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "2147483647\r\n");
    EXPECT_EQ(Loaded(file).StoredSeconds, kMax);
    file.SaveTotal(WithTotal(kMin));
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "-2147483648\r\n");
    EXPECT_EQ(Loaded(file).StoredSeconds, kMin);
    file.SaveTotal(WithTotal(5));  // a shorter line leaves nothing of the longer one
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "5\r\n");
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
}

TEST(SaveTotal, AfterAResetWritesZeroIntoAnEmptyFile) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    WriteBytes(PathOf(file.path()), "");
    ElapsedCounter counter = Loaded(file);
    counter.StartCounting(100.0, 0.0);
    counter.Tick(100.0);
    file.SaveTotal(counter);
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "100\r\n");
    counter.ResetCounter(300.0, 200.0);
    file.SaveTotal(counter);
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "0\r\n");
}

TEST(SaveTotal, ATemporaryFileThatCannotBeWrittenFailsAndKeepsTheOldTotal) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    WriteBytes(PathOf(file.path()), "3725\r\n");
    fs::create_directory(dir / "czas.dat.new");
    EXPECT_THROW(file.SaveTotal(WithTotal(1)), SaveFailed);
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "3725\r\n");
}

TEST(SaveTotal, AFileThatCannotBeReplacedFailsAndLeavesNoTemporaryFile) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    fs::create_directory(dir / "czas.dat");
    WriteBytes(dir / "czas.dat" / "inner", "9");
    EXPECT_THROW(file.SaveTotal(WithTotal(1)), SaveFailed);
    EXPECT_EQ(ReadBytes(dir / "czas.dat" / "inner"), "9");
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
}

TEST(SaveTotal, AMissingDirectoryFails) {
    TestDir dir;
    WriteBytes(dir / "plik", "77\r\n");
    const TimeFile file(Wide(dir / "plik"));
    try {
        file.SaveTotal(WithTotal(1));
        ADD_FAILURE() << "the save did not fail";
    } catch (const SaveFailed& failure) {
        EXPECT_NE(std::string(failure.what()).find("czas.dat"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(ReadBytes(dir / "plik"), "77\r\n");
}

// Another program reading czas.dat for a moment (with the sharing of a plain
// C++ stream, which on Windows refuses a rename over the file) delays the save
// but does not make it fail.
TEST(SaveTotal, AFileHeldBrieflyByAnotherReaderIsStillReplaced) {
    TestDir dir;
    const TimeFile file(Wide(dir.path()));
    WriteBytes(PathOf(file.path()), "1\r\n");
    auto reader = std::make_unique<std::ifstream>(PathOf(file.path()), std::ios::binary);
    ASSERT_TRUE(reader->is_open());
    std::thread release([&reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reader.reset();
    });
    EXPECT_NO_THROW(file.SaveTotal(WithTotal(2)));
    release.join();
    EXPECT_EQ(ReadBytes(PathOf(file.path())), "2\r\n");
}

}  // namespace
}  // namespace czasomir
