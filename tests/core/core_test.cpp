// The counter and the display text, as tables of cases.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/elapsed_counter.h"
#include "core/elapsed_text.h"

namespace czasomir {
namespace {

constexpr std::int32_t kDay = 86400, kMax = std::numeric_limits<std::int32_t>::max(),
                       kMin = std::numeric_limits<std::int32_t>::min(), kThrows = 1;  // total 1: the tick overflows

TEST(WholeSeconds, RoundsHalvesToEvenWithinTheDay) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {36000.4, 36000}, {36000.6, 36001}, {0.5, 0}, {86399.2, 86399}, {86399.5, kDay},
        {-3.0, 0}, {1e12, kDay}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (auto [reading, whole] : cases) EXPECT_EQ(WholeSeconds(reading), whole) << reading;
}

TEST(FormatElapsed, TwoDigitsAtLeastSignPerField) {
    const std::pair<std::int32_t, const wchar_t*> cases[] = {
        {0, L"00 : 00 : 00"}, {3725, L"01 : 02 : 05"}, {36610, L"10 : 10 : 10"}, {86399, L"23 : 59 : 59"},
        {360000, L"100 : 00 : 00"}, {kMax, L"596523 : 14 : 07"}, {-61, L"00 : -01 : -01"},
        {-36000, L"-10 : 00 : 00"}, {kMin, L"-596523 : -14 : -08"}};
    for (auto [seconds, text] : cases) EXPECT_EQ(FormatElapsed(seconds), text) << seconds;
}

// A run: the stored total and a stale midnight flag, the start reading, then
// ticks (reading, total after it); the days counted at the end.
struct CounterRun {
    const char* name;
    std::int32_t stored;
    double start;
    std::vector<std::pair<double, std::int32_t>> ticks;
    std::int16_t days;
    std::int16_t staleFlag = 0;
    std::int16_t startDays = 0;  // DayCount set after the start
};
void PrintTo(const CounterRun& c, std::ostream* out) { *out << c.name; }

class Counter : public ::testing::TestWithParam<CounterRun> {};

TEST_P(Counter, CountsEachTickFromTheStoredTotal) {
    const CounterRun& run = GetParam();
    ElapsedCounter c;
    c.StoredSeconds = c.TotalSeconds = run.stored;
    c.PastMidnight = run.staleFlag;
    c.StartCounting(run.start);
    c.DayCount = run.startDays;
    for (auto [reading, total] : run.ticks) {
        const std::int32_t before = c.TotalSeconds;
        if (total == kThrows) {
            EXPECT_THROW(c.Tick(reading), CounterOverflow) << reading;
            EXPECT_EQ(c.TotalSeconds, before);
        } else {
            EXPECT_EQ(c.Tick(reading), total) << reading;
        }
    }
    EXPECT_EQ(c.DayCount, run.days);
}

INSTANTIATE_TEST_SUITE_P(Runs, Counter, ::testing::Values(
    CounterRun{"WholeSecondsOnTopOfTheStored", 50, 36000.4, {{36000.6, 51}, {36060, 110}}, 0},
    CounterRun{"NegativeStoredCountsUpThroughZero", -100, 500, {{550, -50}, {700, 100}}, 0},
    CounterRun{"TwoMidnightsFrom2200", 0, 79200, {{86399.6, 7200}, {0.2, 7200}, {1, 7201}, {79200, kDay}, {79201, kDay + 1},
                                           {0.4, kDay + 7200}}, 2},
    CounterRun{"EarlyHoursCountedOnce", 0, 50000, {{86399, 36399}, {0, 36400}, {1800, 38200}, {3600, 40000}}, 1},
    CounterRun{"StartRoundedUpToMidnight", 10, 86399.7, {{0.2, 10}, {5, 15}}, 1},
    CounterRun{"StartInTheLastSecond", 10, 86399.2, {{86399.6, 11}, {0.2, 11}, {1, 12}}, 1},
    CounterRun{"DaySleptPastTheStartTimeIsLost", 0, 72000, {{80000, 8000}, {73000, 1000}}, 0},
    CounterRun{"ClockSetBackBelowTheStart", 0, 9000, {{10800, 1800}, {7200, 1800 + 82800}}, 1},
    CounterRun{"ClockSetForward", 0, 9000, {{9010, 10}, {16210, 7210}}, 0},
    CounterRun{"BoundaryRunAt86400", 100, 86399.5, {{0.2, 100}, {43200, 43300}, {86399.8, kDay + 100}, {0.2, kDay + 100},
                                             {86399.8, 2 * kDay + 100}}, 2, -1},
    CounterRun{"BoundaryRunAt0", 100, 0.3, {{0.4, 100}, {86399.6, kDay + 100}, {0.2, kDay + 100}, {1, kDay + 101},
                                     {86399.6, 2 * kDay + 100}, {0.2, 2 * kDay + 100}}, 2, -1},
    CounterRun{"BoundaryMidnightOnceNotEveryEarlyTick", 0, 86399.9, {{0, 0}, {0.2, 0}, {5, 5}, {10, 10}}, 1},
    CounterRun{"StoredAtTheTop", kMax, 1000, {{1000, kMax}, {1001, kThrows}}, 0},
    CounterRun{"StoredAtTheBottom", kMin, 1000, {{1001, kMin + 1}, {999, kThrows}}, 1},
    CounterRun{"DaysOverflowTheSum", kMax - 10000, 50000, {{50000, kMax - 10000}, {49000, kThrows}}, 1},
    CounterRun{"Day24855", 0, 50000, {{50000, 24855 * kDay}, {61647, kMax}, {61648, kThrows}}, 24855, 0, 24855},
    CounterRun{"DayCountAtItsLimit", 0, 50000, {{60000, kThrows}, {100, kThrows}}, 32767, 0, 32767}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Counter, StopStartAndResetCarryTheTotal) {
    ElapsedCounter c;
    c.StartCounting(80000);
    c.Tick(0.2);
    c.Tick(1000);
    c.StopCounting();
    EXPECT_EQ(c.StoredSeconds, kDay - 80000 + 1000);
    c.StartCounting(2000);  // a new run: no day carried, the stale flag cleared by the next tick
    EXPECT_EQ(c.Tick(2001), kDay - 80000 + 1001);
    EXPECT_EQ(c.DayCount, 0);
    c.ResetCounter(3000);
    EXPECT_EQ(c.TotalSeconds, 0);
    EXPECT_EQ(c.Tick(3060), 60);
    c.StoredSeconds = kMax - 5;  // a counter that overflowed goes on after a reset
    c.StartCounting(4000);
    EXPECT_THROW(c.Tick(4010), CounterOverflow);
    c.ResetCounter(4010);
    EXPECT_EQ(c.Tick(4012), 2);
}

}  // namespace
}  // namespace czasomir
