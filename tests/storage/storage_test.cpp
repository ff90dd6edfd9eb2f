// czas.dat: the line read and written, loading, and saves that fail; historia.csv's lines and saves.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "storage/history_file.h"
#include "storage/time_file.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max(), kMin = std::numeric_limits<std::int32_t>::min();

TEST(ParseTotal, TheFirstLineIsOneSignedIntegerOrNothing) {
    const std::pair<std::string, std::optional<std::int32_t>> cases[] = {
        {"3725\r\n", 3725}, {"-100\r\n", -100}, {"42\r\n17\r\n", 42}, {"42\nx", 42}, {"42\rx", 42}, {"42", 42},
        {" \t42 \t\r\n", 42}, {"+42", 42}, {"-0042", -42}, {"2147483647", kMax}, {"-2147483648\r\n", kMin},
        {"3725 ", 3725}, {"3725 \r\n", 3725}, {" 3725", 3725}, {"\t3725\t\t\t\r\n", 3725},
        {std::string(63, '0') + "7", 7}, {std::string(64, '0') + "7", {}}, {std::string(60, ' ') + "5    ", {}},
        {"", {}}, {"\r\n42\r\n", {}}, {"   \r\n", {}}, {"-", {}}, {"+-5", {}}, {"- 5", {}}, {"4 2", {}},
        {"12.5", {}}, {"1e3", {}}, {"12abc", {}}, {"0x10", {}}, {"\xEF\xBB\xBF" "5", {}}, {"5\v", {}},
        {std::string("5\0", 2), {}}, {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999999", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseTotal(text), value) << '"' << text << '"';
    for (std::int32_t v : {kMin, -1, 0, 9, kMax}) EXPECT_EQ(ParseTotal(FormatTotalLine(v)), v);
}

// A save replaces the line whole; a reader holding the file for a moment delays it but does not make it fail. One that
// cannot be made (the folder is a file, czas.dat a folder, which the load leaves alone too) fails and leaves what was there.
TEST(TimeFile, SaveReplacesTheLineWholeOrFailsAndLeavesWhatWasThere) {
    TestDir dir;
    const TimeFile file(Wide(dir.path));
    ElapsedCounter counter;
    for (std::int32_t total : {kMin, 5}) {
        counter.TotalSeconds = total;
        file.SaveTotal(counter);
        EXPECT_EQ(Read(dir / "czas.dat"), FormatTotalLine(total));
    }
    auto reader = std::make_unique<std::ifstream>(dir / "czas.dat", std::ios::binary);
    std::thread release([&] { std::this_thread::sleep_for(std::chrono::milliseconds(20)), reader.reset(); });
    counter.TotalSeconds = 6;
    EXPECT_NO_THROW(file.SaveTotal(counter));
    release.join();
    EXPECT_EQ(Read(dir / "czas.dat"), "6\r\n");
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
    std::ofstream writer(dir / "czas.dat", std::ios::app);  // another program has it open for writing: still read
    file.LoadOrCreate(counter);
    EXPECT_EQ(counter.StoredSeconds, 6);
    writer.close();
    EXPECT_THROW(TimeFile(Wide(dir / "czas.dat")).SaveTotal(counter), SaveFailed);
    EXPECT_EQ(Read(dir / "czas.dat"), "6\r\n");
    fs::remove(dir / "czas.dat");
    fs::create_directories(dir / "czas.dat" / "inner");
    file.LoadOrCreate(counter);  // there but unreadable: left alone
    EXPECT_THROW(file.SaveTotal(counter), SaveFailed);
    EXPECT_TRUE(fs::exists(dir / "czas.dat" / "inner"));
    EXPECT_FALSE(fs::exists(dir / "czas.dat.new"));
}

// The start reads a number from czas.dat, leaves anything else as it is and creates a missing file (the first rows).
// A replace cut short at each step where it is two (FAT, exFAT: the old file goes, then the new one takes its name),
// for czas.dat and historia.csv: the start takes the newest whole content and finishes the replace; the probe before
// it never removes a new file. Rows: cut while writing the new file, before the old one went, after; done; czas.dat
// unreadable; no whole total anywhere.
TEST(TimeFile, LoadsANumberLeavesAnythingElseAndLosesNothingOfAReplaceCutShort) {
    const std::string h100 = "data;sekundy\r\n2026-12-06;100\r\n", h200 = "data;sekundy\r\n2026-12-06;200\r\n", no;
    std::string huge(4 << 20, '\xFF');
    huge.replace(0, 5, "12345");
    const struct { std::optional<std::string> old; std::string fresh; const std::string &days, &newDays; std::int32_t total, seconds; } cases[] = {
        {{}, no, no, no, 0, 0}, {"-100\r\n", no, no, no, -100, 0}, {"2147483647\r\n", no, no, no, kMax, 0}, {"", no, no, no, 0, 0},
        {"czas\r\n", no, no, no, 0, 0}, {huge, no, no, no, 0, 0},
        {"100\r\n", "2", h100, no, 100, 100}, {"100\r\n", "200\r\n", h100, h200, 100, 100}, {{}, "200\r\n", no, h200, 200, 200},
        {"200\r\n", no, h200, no, 200, 200}, {"czas\r\n", "200\r\n", no, no, 200, 0}, {{}, "20", no, no, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        TestDir dir;
        if (c.old) Write(dir / "czas.dat", *c.old);
        for (const auto& [name, bytes] : {std::pair{"czas.dat.new", c.fresh}, {"historia.csv", c.days},
                                          {"historia.csv.new", c.newDays.empty() ? h200.substr(0, 27) : c.newDays}})
            if (!bytes.empty()) Write(dir / name, bytes);
        const TimeFile file(Wide(dir.path));
        EXPECT_TRUE(file.Writable());
        ElapsedCounter counter;
        file.LoadOrCreate(counter);
        HistoryFile history(Wide(dir.path));
        history.Load();
        EXPECT_EQ(std::pair(counter.StoredSeconds, counter.TotalSeconds), std::pair(c.total, c.total));
        EXPECT_EQ(Read(dir / "czas.dat"), c.old.value_or(FormatTotalLine(c.total)));  // read, never rewritten
        EXPECT_EQ(fs::exists(dir / "czas.dat.new"), !c.fresh.empty() && Read(dir / "czas.dat") != c.fresh);  // unless moved
        EXPECT_EQ(history.days().Seconds(20793), c.seconds);
        EXPECT_EQ(Read(dir / "historia.csv"), c.days.empty() ? c.newDays : c.days);
    }
}

// historia.csv read and written again: what it becomes, and 2026-12-06's seconds in it.
TEST(HistoryText, LinesThatCannotBeReadAreKeptWhereTheyAreAndCountForNothing) {
    const std::string kept = "data;sekundy\r\nzepsute;5\r\n2026-02-30;5\r\n2026-12-06;90001\r\n2026-12-06;-1\r\n2026-12-6;5\r\n"
                             "2026/12-06;5\r\n2026-12/06;5\r\n2026-12-06;\r\n\r\ndata;sekundy\r\n2026-12-06;0007\r\n2026-12-06;8\r\n2026-12-05;9\r\n";
    struct Case { std::string bytes, written; std::int32_t seconds; };
    const Case cases[] = {
        {"data;sekundy\r\n2026-12-06;90000\r\n", "data;sekundy\r\n2026-12-06;90000\r\n", 90000}, {"", "data;sekundy\r\n", 0},
        {"\xEF\xBB\xBF" "data;sekundy\n2026-12-06;100", "data;sekundy\r\n2026-12-06;100\r\n", 100},
        {"2026-12-06;100\r\n", "data;sekundy\r\n2026-12-06;100\r\n", 100},
        {kept, "data;sekundy\r\nzepsute;5\r\n2026-02-30;5\r\n2026-12-06;90001\r\n2026-12-06;-1\r\n2026-12-6;5\r\n2026/12-06;5\r\n"
               "2026-12/06;5\r\n2026-12-06;\r\n\r\ndata;sekundy\r\n2026-12-06;7\r\n2026-12-06;8\r\n2026-12-05;9\r\n", 7}};
    for (const auto& [bytes, written, seconds] : cases) {
        const DayHistory history = ParseHistory(bytes);
        EXPECT_EQ(FormatHistory(history), written) << bytes;
        EXPECT_EQ(history.Seconds(20793), seconds) << bytes;
    }
}

TEST(HistoryFile, AMissingFileIsMadeAtTheSaveOneThatCannotBeReadIsNeverReplacedByTheNewDays) {
    TestDir dir;
    const auto loaded = [&] {  // with 5 s of 2026-12-07 counted since
        HistoryFile file(Wide(dir.path));
        file.Load();
        file.days().Add(20794, 5);
        return file;
    };
    HistoryFile fresh = loaded();
    EXPECT_FALSE(fs::exists(dir / "historia.csv"));
    fresh.Save();
    EXPECT_EQ(Read(dir / "historia.csv"), "data;sekundy\r\n2026-12-07;5\r\n");

    fs::remove(dir / "historia.csv");
    fs::create_directories(dir / "historia.csv" / "inner");  // there, but not readable as a file
    HistoryFile later = loaded();
    EXPECT_THROW(later.Save(), SaveFailed);
    EXPECT_TRUE(fs::exists(dir / "historia.csv" / "inner"));
    fs::remove_all(dir / "historia.csv");
    Write(dir / "historia.csv", "data;sekundy\r\n2026-12-06;50\r\n2026-12-07;100\r\n");
    later.Save();  // read now: the days counted meanwhile are added to the file's
    EXPECT_EQ(Read(dir / "historia.csv"), "data;sekundy\r\n2026-12-06;50\r\n2026-12-07;105\r\n");

    const std::string huge = "data;sekundy\r\n" + std::string(kHistoryFileLimit, 'x');
    Write(dir / "historia.csv", huge);
    EXPECT_THROW(loaded().Save(), SaveFailed);
    EXPECT_EQ(fs::file_size(dir / "historia.csv"), huge.size());
}

}  // namespace
}  // namespace czasomir::test
