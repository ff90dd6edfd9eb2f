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

// Ticks every `step` seconds from `from` up to `to` (both within one day).
void TickThrough(ElapsedCounter& c, double from, double to, double step = 0.2) {
    for (double r = from; r <= to; r += step) c.Tick(r);
}

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
    EXPECT_EQ(WholeSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Counting, CountsWholeSecondsOfTheRunOnTopOfTheStoredTotal) {
    ElapsedCounter c;
    c.StoredSeconds = 50;
    c.StartCounting(36000.4);
    EXPECT_EQ(c.StartTick, 36000);
    EXPECT_EQ(c.Tick(36000.6), 51);  // a rounded second after only 0.2 s
    EXPECT_EQ(c.NowTick, 36001);
    EXPECT_EQ(c.Tick(36060.0), 110);
    EXPECT_EQ(c.TotalSeconds, 110);
}

TEST(Counting, ATickAtTheStartSecondLeavesTheFlagAlone) {
    ElapsedCounter c;
    c.StoredSeconds = 7;
    c.PastMidnight = kTrue;
    c.StartCounting(1000.0);
    EXPECT_EQ(c.Tick(1000.2), 7);
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.DayCount, 0);
    c.Tick(1001.0);
    EXPECT_EQ(c.PastMidnight, kFalse);
}

TEST(Counting, StopFoldsInTheLastTickAndStartBeginsANewRun) {
    ElapsedCounter c;
    c.StartCounting(100.0);
    c.Tick(160.0);
    c.StopCounting();
    EXPECT_EQ(c.StoredSeconds, 60);
    EXPECT_EQ(c.TotalSeconds, 60);
    c.StartCounting(5000.0);
    EXPECT_EQ(c.TotalSeconds, 60);  // unchanged until the first tick
    EXPECT_EQ(c.Tick(5010.0), 70);
}

TEST(Counting, ANegativeStoredTotalCountsUpThroughZero) {
    ElapsedCounter c;
    c.StoredSeconds = -100;
    c.StartCounting(500.0);
    EXPECT_EQ(c.Tick(550.0), -50);
    c.StopCounting();
    EXPECT_EQ(c.StoredSeconds, -50);
    c.StartCounting(800.0);
    EXPECT_EQ(c.Tick(900.0), 50);
}

// A run from 22:00:00 across two midnights.
TEST(Midnight, TheWalkThroughAcrossTwoMidnightsHasNoJump) {
    ElapsedCounter c;
    c.StartCounting(79200.0);
    EXPECT_EQ(c.Tick(86399.6), 7200);
    EXPECT_EQ(c.NowTick, 86400);
    EXPECT_EQ(c.Tick(0.2), 7200);
    EXPECT_EQ(c.NowTick, 0);
    EXPECT_EQ(c.DayCount, 1);
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.Tick(1.0), 7201);
    EXPECT_EQ(c.Tick(79200.0), 86400);
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.Tick(79201.0), 86401);
    EXPECT_EQ(c.PastMidnight, kFalse);
    EXPECT_EQ(c.Tick(0.4), 86400 + 7200);
    EXPECT_EQ(c.DayCount, 2);
}

TEST(Midnight, EarlyHoursAfterAMidnightAreCountedOnce) {
    ElapsedCounter c;
    c.StartCounting(50000.0);
    c.Tick(86399.0);
    TickThrough(c, 0.0, 3600.0, 60.0);
    EXPECT_EQ(c.DayCount, 1);
    EXPECT_EQ(c.TotalSeconds, kDay - 50000 + 3600);
}

TEST(Midnight, AStartJustBeforeMidnightCountsTheFirstMidnight) {
    ElapsedCounter c;
    c.StoredSeconds = 10;
    c.StartCounting(86399.7);
    EXPECT_EQ(c.StartTick, 86400);
    EXPECT_EQ(c.Tick(0.2), 10);
    EXPECT_EQ(c.DayCount, 1);

    ElapsedCounter d;
    d.StoredSeconds = 10;
    d.StartCounting(86399.2);
    EXPECT_EQ(d.StartTick, 86399);
    d.Tick(86399.6);
    EXPECT_EQ(d.PastMidnight, kFalse);
    EXPECT_EQ(d.Tick(0.2), 11);
}

TEST(Midnight, ADaySleptThroughPastTheStartTimeIsNotCounted) {
    ElapsedCounter c;
    c.StartCounting(72000.0);
    c.Tick(80000.0);
    c.Tick(73000.0);  // woke the next day, after 20:00 again: no tick saw the early hours
    EXPECT_EQ(c.DayCount, 0);
    EXPECT_EQ(c.TotalSeconds, 1000);
}

TEST(Clock, SetBackBelowTheStartCountsADaySetForwardAddsTheJump) {
    ElapsedCounter c;
    c.StartCounting(9000.0);  // 02:30
    EXPECT_EQ(c.Tick(10800.0), 1800);  // 03:00
    EXPECT_EQ(c.Tick(7200.0), 1800 + 82800);  // set back to 02:00
    EXPECT_EQ(c.DayCount, 1);

    ElapsedCounter f;
    f.StartCounting(9000.0);
    f.Tick(9010.0);
    EXPECT_EQ(f.Tick(9010.0 + 7200), 7210);
}

TEST(Reset, WhileCountingAfterAMidnightStartsAgainFromZero) {
    ElapsedCounter c;
    c.StoredSeconds = 500;
    c.StartCounting(80000.0);
    c.Tick(86000.0);
    c.Tick(100.0);
    ASSERT_EQ(c.DayCount, 1);
    c.ResetCounter(100.3);
    EXPECT_EQ(c.StoredSeconds, 0);
    EXPECT_EQ(c.TotalSeconds, 0);
    EXPECT_EQ(c.DayCount, 0);
    EXPECT_EQ(c.PastMidnight, kTrue);  // left for the next ticks to clear
    EXPECT_EQ(c.Tick(100.4), 0);
    EXPECT_EQ(c.Tick(160.0), 60);
    EXPECT_EQ(c.PastMidnight, kFalse);
}

TEST(Reset, WhileStoppedTheNextRunCountsFromZero) {
    ElapsedCounter c;
    c.StoredSeconds = 12345;
    c.TotalSeconds = 12345;
    c.ResetCounter(3000.0);
    EXPECT_EQ(c.StoredSeconds, 0);
    EXPECT_EQ(c.TotalSeconds, 0);
    c.StartCounting(4000.0);
    EXPECT_EQ(c.Tick(4005.0), 5);
}

TEST(Restart, StopAfterAMidnightKeepsTheDayAndTheNextRunClearsTheStaleFlag) {
    ElapsedCounter c;
    c.StartCounting(80000.0);
    c.Tick(0.2);
    c.Tick(1000.0);
    c.StopCounting();
    EXPECT_EQ(c.StoredSeconds, kDay - 80000 + 1000);
    c.StartCounting(2000.0);
    EXPECT_EQ(c.DayCount, 0);
    EXPECT_EQ(c.PastMidnight, kTrue);
    c.Tick(2001.0);
    EXPECT_EQ(c.PastMidnight, kFalse);
    EXPECT_EQ(c.TotalSeconds, kDay - 80000 + 1000 + 1);
}

// Runs that begin in the half second either side of midnight (StartTick 86400
// or 0) must count every midnight they cross, whatever flag an earlier run left.
TEST(BoundaryRun, StartedAt86400CountsEveryMidnightEvenWithAStaleFlag) {
    for (const std::int16_t staleFlag : {kFalse, kTrue}) {
        ElapsedCounter c;
        c.StoredSeconds = 100;
        c.PastMidnight = staleFlag;
        c.StartCounting(86399.5);
        ASSERT_EQ(c.StartTick, 86400);
        for (int day = 1; day <= 3; ++day) {
            EXPECT_EQ(c.Tick(0.2), 100 + (day - 1) * kDay) << "day " << day;
            EXPECT_EQ(c.DayCount, day);
            EXPECT_EQ(c.Tick(43200.0), 100 + (day - 1) * kDay + 43200);
            EXPECT_EQ(c.Tick(86399.8), 100 + day * kDay);
        }
    }
}

TEST(BoundaryRun, ResetInTheLastHalfSecondCountsEveryMidnight) {
    ElapsedCounter c;
    c.StartCounting(1000.0);
    c.Tick(86399.0);
    c.ResetCounter(86399.9);
    c.Tick(86400.0);
    c.Tick(0.0);
    c.Tick(86400.0);
    EXPECT_EQ(c.Tick(0.0), kDay);
    EXPECT_EQ(c.DayCount, 2);
}

TEST(BoundaryRun, StartedAt0CountsEveryMidnightEvenWithAStaleFlag) {
    for (const std::int16_t staleFlag : {kFalse, kTrue}) {
        ElapsedCounter c;
        c.StoredSeconds = 100;
        c.PastMidnight = staleFlag;
        c.StartCounting(0.3);
        ASSERT_EQ(c.StartTick, 0);
        EXPECT_EQ(c.Tick(0.4), 100);
        for (int day = 1; day <= 3; ++day) {
            EXPECT_EQ(c.Tick(86399.6), 100 + day * kDay) << "day " << day;
            EXPECT_EQ(c.Tick(0.2), 100 + day * kDay);  // not back by a day
            EXPECT_EQ(c.DayCount, day);
            EXPECT_EQ(c.Tick(1.0), 100 + day * kDay + 1);
        }
    }
}

TEST(BoundaryRun, AMidnightIsCountedOnceNotAtEveryEarlyTick) {
    ElapsedCounter c;
    c.StartCounting(86399.9);
    TickThrough(c, 0.0, 10.0);
    EXPECT_EQ(c.DayCount, 1);
    EXPECT_EQ(c.TotalSeconds, 10);
}

TEST(Overflow, DayCountAtItsLimitFailsWithTheFlagSet) {
    ElapsedCounter c;
    c.StartCounting(50000.0);
    c.Tick(60000.0);
    const std::int32_t before = c.TotalSeconds;
    c.DayCount = std::numeric_limits<std::int16_t>::max();
    EXPECT_THROW(c.Tick(100.0), CounterOverflow);
    EXPECT_EQ(c.DayCount, std::numeric_limits<std::int16_t>::max());
    EXPECT_EQ(c.PastMidnight, kTrue);
    EXPECT_EQ(c.NowTick, 100);
    EXPECT_EQ(c.TotalSeconds, before);
}

TEST(Overflow, DaysBeyond24855FailAndLeaveTheTotal) {
    ElapsedCounter c;
    c.StartCounting(50000.0);
    c.DayCount = 24855;
    EXPECT_EQ(c.Tick(50000.0), 24855 * kDay);
    EXPECT_EQ(c.Tick(50000.0 + 11647), kMax);
    EXPECT_THROW(c.Tick(50000.0 + 11648), CounterOverflow);
    EXPECT_EQ(c.TotalSeconds, kMax);

    ElapsedCounter d;
    d.StartCounting(50000.0);
    d.Tick(60000.0);
    d.DayCount = 24855;
    EXPECT_THROW(d.Tick(100.0), CounterOverflow);  // the 24856th day
    EXPECT_EQ(d.DayCount, 24856);
    EXPECT_EQ(d.TotalSeconds, 10000);
    EXPECT_EQ(d.NowTick, 100);
    EXPECT_EQ(d.PastMidnight, kTrue);
}

TEST(Overflow, StoredTotalsNearEitherEnd) {
    ElapsedCounter top;
    top.StoredSeconds = kMax;
    top.TotalSeconds = kMax;
    top.StartCounting(1000.0);
    EXPECT_EQ(top.Tick(1000.0), kMax);
    EXPECT_THROW(top.Tick(1001.0), CounterOverflow);
    EXPECT_EQ(top.TotalSeconds, kMax);
    EXPECT_EQ(top.NowTick, 1001);
    EXPECT_EQ(top.PastMidnight, kFalse);  // step 3 ran before the failing sum

    ElapsedCounter bottom;
    bottom.StoredSeconds = kMin;
    bottom.StartCounting(1000.0);
    EXPECT_EQ(bottom.Tick(1001.0), kMin + 1);
    EXPECT_THROW(bottom.Tick(999.0), CounterOverflow);  // d + stored < min before the day is added
    EXPECT_EQ(bottom.TotalSeconds, kMin + 1);
    EXPECT_EQ(bottom.DayCount, 1);

    ElapsedCounter sum;  // d + stored fits, adding the days does not
    sum.StoredSeconds = kMax - 10000;
    sum.StartCounting(50000.0);
    EXPECT_EQ(sum.Tick(50000.0), kMax - 10000);
    EXPECT_THROW(sum.Tick(49000.0), CounterOverflow);
    EXPECT_EQ(sum.TotalSeconds, kMax - 10000);
    EXPECT_EQ(sum.DayCount, 1);
}

TEST(Overflow, ACounterThatFailedGoesOnOnceTheTotalFitsAgain) {
    ElapsedCounter c;
    c.StoredSeconds = kMax - 5;
    c.StartCounting(1000.0);
    EXPECT_THROW(c.Tick(1010.0), CounterOverflow);
    c.ResetCounter(1010.0);
    EXPECT_EQ(c.Tick(1012.0), 2);
}

}  // namespace
}  // namespace czasomir
