#include "ui/history/form3.h"

#include "core/decimal_text.h"
#include "core/elapsed_text.h"
#include "core/history_chart.h"
#include "platform/resource_ids.h"
#include "storage/history_file.h"

namespace czasomir {

Form3::Form3(tk::Platform& platform, const DayHistory& history, std::int32_t today, const std::wstring& folder)
    : tk::Form(platform, L"Form3"),
      Label1(*this, L"Label1", {240, 240, 2160, 255}, -1),
      Label2(*this, L"Label2", {2400, 240, 2400, 255}, -1),
      Label3(*this, L"Label3", {240, 540, 2160, 255}, -1),
      Label4(*this, L"Label4", {2400, 540, 2400, 255}, -1),
      Label5(*this, L"Label5", {240, 840, 2160, 255}, -1),
      Label6(*this, L"Label6", {2400, 840, 2400, 255}, -1),
      Chart1(*this, L"Chart1", {240, 1260, 5820, 2850}),
      Label7(*this, L"Label7", {240, 4260, 5820, 255}, -1),
      Label8(*this, L"Label8", {240, 4515, 5820, 480}, -1),
      Command2(*this, L"Command2", {2640, 5100, 1695, 375}, 1),
      Command1(*this, L"Command1", {4365, 5100, 1695, 375}, 0),
      history_(history) {
    caption = L"Czasomir - Historia";
    clientWidth = 6300;
    clientHeight = 5700;
    minButton = false;
    maxButton = false;
    iconResource = IDI_CZASOMIR;
    defaultButton = &Command1;
    cancelButton = &Command1;

    Label1.setCaption(L"Dziś:");
    Label2.setCaption(FormatElapsed(history.Seconds(today)));
    Label3.setCaption(L"Ostatnie 7 dni:");
    Label4.setCaption(FormatElapsed(static_cast<std::int32_t>(history.Sum(today, 7))));
    Label5.setCaption(L"Ostatnie 30 dni:");
    Label6.setCaption(FormatElapsed(static_cast<std::int32_t>(history.Sum(today, 30))));
    Label7.setCaption(L"Dane są zapisywane w folderze:");
    Label8.setCaption(folder);
    Command2.setCaption(L"Otwórz plik");
    Command1.setCaption(L"OK");

    const HistoryChart chart = MakeHistoryChart(history, today);
    std::vector<tk::BarChart::Bar> bars;
    for (const ChartDay& day : chart.days) bars.push_back({day.seconds / 3600.0, day.label, day.toolTip});
    std::vector<tk::BarChart::Mark> marks;
    for (int hour = 0; hour <= chart.hours; hour += chart.stepHours)
        marks.push_back({static_cast<double>(hour), DecimalText<wchar_t>(hour) + L" h"});
    Chart1.accessibleName = kChartName;
    Chart1.setData(std::move(bars), std::move(marks), chart.hours, chart.summary);

    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void Form3::Command1_Click() { unload(); }

// A copy made now, in the temporary folder: a spreadsheet that keeps it open
// never stands in the way of the next save of historia.csv.
void Form3::Command2_Click() {
    if (const auto copy = WriteHistoryCopy(history_, platform().TempDirectory()))
        platform().OpenDocument(handle(), *copy);
}

}  // namespace czasomir
