// The core's deciders, as tables of cases.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "core/calendar.h"
#include "core/elapsed_counter.h"
#include "core/elapsed_text.h"
#include "core/history_chart.h"
#include "core/session_watch.h"
#include "core/standby_clock.h"

namespace czasomir {
namespace {

constexpr std::int32_t kDay = 86400;

TEST(WholeSeconds, RoundsHalvesToEvenWithinTheDay) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {36000.4, 36000}, {36000.6, 36001}, {0.5, 0}, {86399.2, 86399}, {86399.5, kDay},
        {-3.0, 0}, {1e12, kDay}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (auto [reading, whole] : cases) EXPECT_EQ(WholeSeconds(reading), whole) << reading;
}

// Only real time counts: a reading earlier than the latest, or NaN, adds nothing (the clock's origin is not the run's start).
TEST(Counter, AnEarlierReadingAddsNothing) {
    ElapsedCounter c;
    c.StartCounting(36000, 500);
    for (auto [seconds, total] : {std::pair{100.0, 100}, {50.0, 100}, {std::numeric_limits<double>::quiet_NaN(), 100}, {-400.0, 100}, {101.0, 101}})
        EXPECT_EQ(c.Tick(500 + seconds), total) << seconds;
}

TEST(Calendar, DayNumbersDatesAndWeekdays) {
    struct Case { CivilDate date; std::int32_t day; int weekday; };  // weekday 0: Monday
    const Case cases[] = {{{1970, 1, 1}, 0, 3}, {{1969, 12, 31}, -1, 2}, {{2000, 2, 29}, 11016, 1},
                          {{2026, 12, 7}, 20794, 0}, {{2028, 3, 1}, 21244, 2}, {{1600, 3, 1}, -135080, 2}, {{9999, 12, 31}, 2932896, 4}};
    for (const auto& [date, day, weekday] : cases) {
        EXPECT_EQ(DayNumber(date), day) << date.year << '-' << date.month << '-' << date.day;
        EXPECT_EQ(DateOfDay(day), date) << day;
        EXPECT_EQ(Weekday(day), weekday) << day;
    }
    const std::pair<CivilDate, bool> validity[] = {{{2024, 2, 29}, true}, {{2000, 2, 29}, true}, {{2023, 2, 29}, false}, {{1900, 2, 29}, false},
        {{2026, 4, 31}, false}, {{2026, 12, 31}, true}, {{2026, 13, 1}, false}, {{2026, 1, 0}, false}, {{0, 1, 1}, false}};
    for (const auto& [date, valid] : validity) EXPECT_EQ(IsValidDate(date), valid) << date.year << '-' << date.month << '-' << date.day;
}

// Changes of the total counted at moments of the local clock (day, time of day), then the lines, in order.
TEST(DayHistory, ChangesGoToTheDaysTheyWereCountedOn) {
    struct Change { std::int32_t day; double timeOfDay; std::int32_t change; };
    struct Case { const char* name; std::vector<Change> changes; std::vector<std::pair<std::int32_t, std::int32_t>> lines; };
    const Case cases[] = {
        {"one day", {{100, 3600, 5}, {100, 3601, 1}}, {{100, 6}}},
        {"a tick across midnight is split", {{101, 2.4, 5}}, {{100, 3}, {101, 2}}},
        {"just after midnight", {{101, 0.4, 4}}, {{100, 4}}},
        {"a long tick over whole days", {{103, 600, 2 * kDay + 1000}}, {{100, 400}, {101, kDay}, {102, kDay}, {103, 600}}},
        {"25 hours at most", {{100, 80000, 80000}, {100, 86000, 20000}, {101, 10, 10}}, {{100, 90000}, {101, 10}}},
        {"a take-back across midnight", {{100, 86000, 600}, {101, 100, 200}, {101, 200, -500}}, {{100, 400}, {101, 0}}},
        {"a take-back never below 0", {{100, 500, 10}, {100, 600, -300}}, {{100, 0}}},
        {"an earlier date goes before", {{100, 500, 10}, {90, 500, 5}, {95, 500, -3}, {95, 600, 7}}, {{90, 5}, {95, 7}, {100, 10}}}};
    for (const auto& [name, changes, expected] : cases) {
        DayHistory history;
        for (const auto& [day, timeOfDay, change] : changes) history.Count(day, timeOfDay, change);
        std::vector<std::pair<std::int32_t, std::int32_t>> lines;
        for (const auto& line : history.lines()) lines.emplace_back(line.day, history.Seconds(line.day));
        EXPECT_EQ(lines, expected) << name;
    }
}

// The last 14 days up to Monday 2026-12-07: labels, tooltips and the scale.
TEST(HistoryChart, FourteenDaysTodayAtTheRightScaleFittedToTheLongest) {
    constexpr std::int32_t kToday = 20794;
    struct Case { const char* name; std::vector<std::pair<std::int32_t, std::int32_t>> days; int hours, step; };
    const Case cases[] = {{"empty", {}, 1, 1},
                          {"one day", {{kToday, 7800}, {kToday - 14, 80000}, {kToday + 1, 80000}}, 3, 1},
                          {"14 full days", {}, 24, 4},
                          {"a longest day of 25 h", {{kToday - 13, 90000}, {kToday - 5, 3600}}, 25, 5}};
    for (auto [name, days, hours, step] : cases) {
        if (std::string(name) == "14 full days")
            for (std::int32_t d = kToday - 13; d <= kToday; ++d) days.emplace_back(d, kDay);
        DayHistory history;
        for (const auto& [day, seconds] : days) history.Add(day, seconds);
        const HistoryChart chart = MakeHistoryChart(history, kToday);
        ASSERT_EQ(chart.days.size(), 14u) << name;
        EXPECT_EQ(std::make_pair(chart.hours, chart.stepHours), std::make_pair(hours, step)) << name;
        for (const ChartDay& bar : chart.days) EXPECT_EQ(bar.seconds, history.Seconds(bar.day)) << name;
        EXPECT_EQ(chart.days.front().label, L"wt\n24") << name;
        EXPECT_EQ(chart.days.back().label, L"pn\n7") << name;
        EXPECT_EQ(chart.days.back().toolTip, L"pn 07.12.2026: " + FormatElapsed(history.Seconds(kToday))) << name;
        // What a screen reader reads: the 14 tooltips, oldest first, 27 characters each, "; " between them.
        EXPECT_EQ(std::make_tuple(chart.summary.size(), chart.summary.substr(0, 58), chart.summary.substr(404 - 29)),
                  std::make_tuple(std::size_t{404}, L"wt 24.11.2026: " + FormatElapsed(history.Seconds(kToday - 13)) +
                                      L"; śr 25.11.2026: " + FormatElapsed(history.Seconds(kToday - 12)) + L"; ",
                                  L"; " + chart.days.back().toolTip)) << name;
    }
    std::wstring week;
    for (std::int32_t d = kToday; d < kToday + 7; ++d) week += WeekdayName(d);
    EXPECT_EQ(week, L"pnwtśrczptsond");
}

// Only time really spent in standby is left out, whatever the display does; a display that turns on ends a
// standby whose resume was not reported; a second suspend, or a resume without one, changes nothing.
// What Windows tells of the session when the watch begins: the lock flag reads the other way round on Windows 7.
TEST(SessionAtStart, DisconnectedAndLockedAsEachWindowsWritesThem) {
    const std::tuple<unsigned long, int, long, bool, bool, bool> cases[] = {  // level, state, flags, Windows 8: disconnected, locked
        {1, 0, 0, true, false, true}, {1, 0, 1, true, false, false}, {1, 0, 1, false, false, true}, {1, 0, 0, false, false, false},
        {1, 4, -1, true, true, false}, {2, 4, 0, true, false, false}};
    for (const auto& [level, state, flags, windows8, disconnected, locked] : cases) {
        const SessionAtStart at = ReadSessionAtStart(level, state, flags, windows8);
        EXPECT_EQ(std::pair(at.disconnected, at.locked), std::pair(disconnected, locked)) << level << state << flags << windows8;
    }
}

TEST(StandbyClock, LeavesOutOnlyTheStandby) {
    using enum StandbyClock::Report;
    const struct { const char* name; std::vector<std::pair<double, StandbyClock::Report>> reports; double reads; } cases[] = {
        {"DisplayOffWithoutStandby", {{10, DisplayOff}, {50, DisplayOn}}, 100},
        {"StandbyEnteredAndLeft", {{10, Suspend}, {15, Suspend}, {50, Resume}, {60, Resume}}, 60},
        {"BothAtOnce", {{10, DisplayOff}, {10, Suspend}, {50, DisplayOn}, {50, Resume}}, 60},
        {"DarkBeforeTheStandby", {{10, DisplayOff}, {30, Suspend}, {50, Resume}, {70, DisplayOn}}, 80},
        {"ResumeWithoutSuspend", {{10, Resume}, {20, DisplayOn}}, 100},
        {"ResumeNeverComes", {{10, Suspend}, {40, DisplayOff}, {70, DisplayOn}, {90, Resume}}, 40},
        {"StillInStandby", {{10, Suspend}, {20, Resume}, {30, Suspend}, {40, Resume}, {50, Suspend}}, 30},
    };
    for (const auto& c : cases) {
        StandbyClock clock;
        for (auto [at, report] : c.reports) clock.Reported(report, at);
        EXPECT_EQ(clock.Read(100), c.reads) << c.name;
    }
}

}  // namespace
}  // namespace czasomir
