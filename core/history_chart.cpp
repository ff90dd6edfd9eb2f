#include "core/history_chart.h"

#include <algorithm>

#include "core/calendar.h"
#include "core/decimal_text.h"
#include "core/elapsed_text.h"

namespace czasomir {

namespace {

std::wstring TwoDigits(int value) { return (value < 10 ? L"0" : L"") + DecimalText<wchar_t>(value); }

}  // namespace

const wchar_t* WeekdayName(std::int32_t day) {
    static const wchar_t* const kNames[] = {L"pn", L"wt", L"śr", L"cz", L"pt", L"so", L"nd"};
    return kNames[Weekday(day)];
}

HistoryChart MakeHistoryChart(const DayHistory& history, std::int32_t today) {
    HistoryChart chart;
    std::int32_t longest = 0;
    for (std::int32_t day = today - kChartDays + 1; day <= today; ++day) {
        const CivilDate date = DateOfDay(day);
        ChartDay bar;
        bar.day = day;
        bar.seconds = history.Seconds(day);
        bar.label = std::wstring(WeekdayName(day)) + L"\n" + DecimalText<wchar_t>(date.day);
        bar.toolTip = std::wstring(WeekdayName(day)) + L" " + TwoDigits(date.day) + L"." + TwoDigits(date.month) +
                      L"." + DecimalText<wchar_t>(date.year) + L": " + FormatElapsed(bar.seconds);
        longest = std::max(longest, bar.seconds);
        chart.summary += (chart.summary.empty() ? L"" : L"; ") + bar.toolTip;
        chart.days.push_back(std::move(bar));
    }
    // At most six steps of a round number of hours up to the longest bar's hour.
    const int hours = std::max(1, (longest + 3599) / 3600);
    for (const int step : {1, 2, 3, 4, 5, 6, 8, 10, 12, 24}) {
        chart.stepHours = step;
        if ((hours + step - 1) / step <= 6) break;
    }
    chart.hours = (hours + chart.stepHours - 1) / chart.stepHours * chart.stepHours;
    return chart;
}

}  // namespace czasomir
