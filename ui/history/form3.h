// The History window: the totals of today, the last 7 and the last 30 days,
// a bar chart of the last 14 days, the folder where the data is kept, and a
// button that opens a copy of historia.csv in the program registered for it.
// Shown modal over the main window, which counts and saves behind it; built
// anew for every opening.
#pragma once

#include <cstdint>
#include <string>

#include "core/day_history.h"
#include "platform/toolkit.h"

namespace czasomir {

class Form3 : public tk::Form {
public:
    // The history (read again for the copy), today's date, and the folder
    // that holds historia.csv.
    Form3(tk::Platform& platform, const DayHistory& history, std::int32_t today, const std::wstring& folder);

    // Controls, in order of creation (their ids are 1, 2, ... in this order),
    // in the order a screen reader reads them.
    tk::Label Label1, Label2;  // "Dziś:" and its total
    tk::Label Label3, Label4;  // the last 7 days
    tk::Label Label5, Label6;  // the last 30 days
    tk::BarChart Chart1;       // the last 14 days
    tk::Label Label7, Label8;  // the data folder
    tk::CommandButton Command2;  // "Otwórz plik"
    tk::CommandButton Command1;  // "OK": the default button, and Escape's

    // Handlers.
    void Command1_Click();
    void Command2_Click();

private:
    const DayHistory& history_;
};

}  // namespace czasomir
