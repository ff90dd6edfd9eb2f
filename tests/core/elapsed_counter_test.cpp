#include "core/elapsed_counter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace czasomir {
namespace {

constexpr std::int32_t kDay = 86400;
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(WholeSeconds, RoundsHalvesToEvenAndKeepsReadingsWithinTheDay) {
    EXPECT_EQ(WholeSeconds(2.5), 2);
    EXPECT_EQ(WholeSeconds(3.5), 4);
    EXPECT_EQ(WholeSeconds(36000.4), 36000);
    EXPECT_EQ(WholeSeconds(36000.6), 36001);
    EXPECT_EQ(WholeSeconds(0.5), 0);
    EXPECT_EQ(WholeSeconds(86399.2), 86399);
    EXPECT_EQ(WholeSeconds(86399.5), 86400);
    EXPECT_EQ(WholeSeconds(86400.0), 86400);
    EXPECT_EQ(WholeSeconds(-3.0), 0);
    EXPECT_EQ(WholeSeconds(1e12), 86400);
    EXPECT_EQ(WholeSeconds(kNaN), 0);
}

// Real-time readings in these tests start at 500 s: the clock's origin is not the run's start.
TEST(Counting, CountsWholeSecondsOfTheRunOnTopOfTheStoredTotal) {
    ElapsedCounter c;
    c.StoredSeconds = 50;
    c.StartCounting(36000.4, 500.0);
    EXPECT_EQ(c.StartTick, 36000);
    EXPECT_EQ(c.Tick(500.2), 51);  // a rounded second after only 0.2 s
    EXPECT_EQ(c.NowTick, 36001);
    EXPECT_EQ(c.Tick(559.6), 110);
    EXPECT_EQ(c.TotalSeconds, 110);
}

TEST(Counting, ATickAtTheStartSecondLeavesTheFlagAlone) {
    ElapsedCounter c;
    c.StoredSeconds = 7;
    c.PastMidnight = kTrue;
    c.StartCounting(1000.0, 500.0);
    EXPECT_EQ(c.Tick(500.2), 7);
    EXPECT_EQ(c.PastMidnight, kTrue);
    c.Tick(501.0);
    EXPECT_EQ(c.PastMidnight, kFalse);
}

TEST(Counting, StopFoldsInTheLastTickAndStartBeginsANewRun) {
    ElapsedCounter c;
    c.StartCounting(100.0, 500.0);
    c.Tick(560.0);
    c.StopCounting();
    EXPECT_EQ(c.StoredSeconds, 60);
    EXPECT_EQ(c.TotalSeconds, 60);
    c.StartCounting(5000.0, 9000.0);
    EXPECT_EQ(c.TotalSeconds, 60);  // unchanged until the first tick
    EXPECT_EQ(c.Tick(9010.0), 70);
}

TEST(Counting, ANegativeStoredTotalCountsUpThroughZero) {
    ElapsedCounter c;
    c.StoredSeconds = -100;
    c.StartCounting(500.0, 0.0);
    EXPECT_EQ(c.Tick(150.0), 50);
}

// The real-time clock never runs back; a reading that does (or is NaN) must not take time away.
TEST(Counting, AnEarlierOrNaNReadingLeavesTheRunAsLongAsItWas) {
    ElapsedCounter c;
    c.StartCounting(36000.0, 500.0);
    EXPECT_EQ(c.Tick(600.0), 100);
    EXPECT_EQ(c.Tick(550.0), 100);
    EXPECT_EQ(c.Tick(kNaN), 100);
    EXPECT_EQ(c.Tick(100.0), 100);
    EXPECT_EQ(c.Tick(601.0), 101);
}

// A run from 22:00:00 across two midnights: each 86400 s of real time is one day.
TEST(Midnight, TheWalkThroughAcrossTwoMidnightsHasNoJump) {
    ElapsedCounter c;
    c.StartCounting(79200.0, 500.0);
    EXPECT_EQ(c.Tick(500.0 + 7199.6), 7200);
    EXPECT_EQ(c.NowTick, 86400);
    EXPECT_EQ(c.DayCount, 0);
    EXPECT_EQ(c.Tick(500.0 + 7200.2), 7200);
    EXPECT_EQ(c.NowTick, 0);
    EXPECT_EQ(c.DayCount, 1);
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.Tick(500.0 + kDay), kDay);
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.Tick(500.0 + kDay + 1), kDay + 1);
    EXPECT_EQ(c.PastMidnight, kFalse);
    EXPECT_EQ(c.Tick(500.0 + kDay + 7200.4), kDay + 7200);
    EXPECT_EQ(c.DayCount, 2);
}

// No tick fell between the evening and the next day's StartTick (the computer slept): still counted.
TEST(Midnight, DaysWithoutATickInThemAreCounted) {
    ElapsedCounter c;
    c.StartCounting(72000.0, 500.0);
    c.Tick(8500.0);
    EXPECT_EQ(c.Tick(500.0 + kDay + 1000), kDay + 1000);
    EXPECT_EQ(c.DayCount, 1);
    EXPECT_EQ(c.Tick(500.0 + 3 * kDay + 5000), 3 * kDay + 5000);
    EXPECT_EQ(c.DayCount, 3);
    EXPECT_EQ(c.NowTick, 77000);
}

TEST(Reset, WhileCountingAfterAMidnightStartsAgainFromZero) {
    ElapsedCounter c;
    c.StoredSeconds = 500;
    c.StartCounting(80000.0, 0.0);
    c.Tick(6500.0);
    ASSERT_EQ(c.DayCount, 1);
    c.ResetCounter(100.3, 6500.3);
    EXPECT_EQ(c.StoredSeconds, 0);
    EXPECT_EQ(c.TotalSeconds, 0);
    EXPECT_EQ(c.DayCount, 0);
    EXPECT_EQ(c.PastMidnight, kTrue);  // left for the next ticks to clear
    EXPECT_EQ(c.Tick(6500.4), 0);
    EXPECT_EQ(c.Tick(6560.0), 60);
    EXPECT_EQ(c.PastMidnight, kFalse);
}

TEST(Reset, WhileStoppedTheNextRunCountsFromZero) {
    ElapsedCounter c;
    c.StoredSeconds = 12345;
    c.TotalSeconds = 12345;
    c.ResetCounter(3000.0, 0.0);
    EXPECT_EQ(c.StoredSeconds, 0);
    EXPECT_EQ(c.TotalSeconds, 0);
    c.StartCounting(4000.0, 100.0);
    EXPECT_EQ(c.Tick(105.0), 5);
}

// Runs that begin in the half second either side of midnight (StartTick 86400
// or 0) count every midnight they cross, whatever flag an earlier run left.
TEST(BoundaryRun, StartedEitherSideOfMidnightCountsEveryDay) {
    for (const double start : {86399.5, 86399.9, 0.0, 0.3}) {
        for (const std::int16_t staleFlag : {kFalse, kTrue}) {
            ElapsedCounter c;
            c.StoredSeconds = 100;
            c.PastMidnight = staleFlag;
            c.StartCounting(start, 500.0);
            for (double t = 0.2; t < 3 * kDay + 10; t += 3599.9) {
                const std::int32_t total = c.Tick(500.0 + t);
                ASSERT_NEAR(total, 100 + t, 1.001) << "start " << start << ", after " << t << " s";
                ASSERT_EQ(total, c.NowTick - c.StartTick + 100 + c.DayCount * kDay);
            }
        }
    }
}

TEST(Overflow, DaysBeyond24855FailAndLeaveTheTotal) {
    ElapsedCounter c;
    c.StartCounting(50000.0, 0.0);
    EXPECT_EQ(c.Tick(24855.0 * kDay), 24855 * kDay);
    EXPECT_EQ(c.Tick(24855.0 * kDay + 11647), kMax);
    EXPECT_THROW(c.Tick(24855.0 * kDay + 11648), CounterOverflow);
    EXPECT_EQ(c.TotalSeconds, kMax);
    EXPECT_THROW(c.Tick(40000.0 * kDay), CounterOverflow);  // the day count itself is far too big
    EXPECT_THROW(c.Tick(1e300), CounterOverflow);
    EXPECT_EQ(c.TotalSeconds, kMax);
    c.ResetCounter(1000.0, 0.0);  // a new run counts again
    EXPECT_EQ(c.Tick(2.0), 2);
}

TEST(Overflow, StoredTotalsNearEitherEnd) {
    ElapsedCounter top;
    top.StoredSeconds = kMax;
    top.TotalSeconds = kMax;
    top.StartCounting(1000.0, 0.0);
    EXPECT_EQ(top.Tick(0.0), kMax);
    EXPECT_THROW(top.Tick(1.0), CounterOverflow);
    EXPECT_EQ(top.TotalSeconds, kMax);
    EXPECT_EQ(top.NowTick, 1001);

    ElapsedCounter bottom;  // d + stored < min before the day is added
    bottom.StoredSeconds = kMin;
    bottom.StartCounting(86000.0, 0.0);
    EXPECT_EQ(bottom.Tick(1.0), kMin + 1);
    EXPECT_THROW(bottom.Tick(500.0), CounterOverflow);
    EXPECT_EQ(bottom.TotalSeconds, kMin + 1);
    EXPECT_EQ(bottom.DayCount, 1);

    ElapsedCounter sum;  // d + stored fits, adding the days does not
    sum.StoredSeconds = kMax - 10000;
    sum.StartCounting(50000.0, 0.0);
    EXPECT_EQ(sum.Tick(0.0), kMax - 10000);
    EXPECT_THROW(sum.Tick(kDay - 1000.0), CounterOverflow);
    EXPECT_EQ(sum.TotalSeconds, kMax - 10000);
}

}  // namespace
}  // namespace czasomir
