// What the History window's bar chart shows: the last days, one bar a day with
// today at the right, each with its label and tooltip, and an hour scale
// fitted to the longest bar.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/day_history.h"

namespace czasomir {

inline constexpr int kChartDays = 14;
// The chart's name for a screen reader.
inline constexpr wchar_t kChartName[] = L"Czas z ostatnich 14 dni";

struct ChartDay {
    std::int32_t day = 0;
    std::int32_t seconds = 0;  // 0: an empty slot
    std::wstring label;        // the weekday and the day of the month, on two lines: "pn\n7"
    std::wstring toolTip;      // "pn 07.12.2026: 02 : 10 : 00"
};

struct HistoryChart {
    std::vector<ChartDay> days;  // oldest first
    int hours = 1;               // the top of the scale, a whole number of steps
    int stepHours = 1;           // between two marks of the scale
    std::wstring summary;        // what a screen reader reads: every day's tooltip, oldest first, joined by "; "
};

HistoryChart MakeHistoryChart(const DayHistory& history, std::int32_t today);

// "pn", "wt", "śr", "cz", "pt", "so", "nd".
const wchar_t* WeekdayName(std::int32_t day);

}  // namespace czasomir
