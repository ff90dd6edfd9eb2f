// The bar chart control over Win32: a window of this program's own class that
// paints a BarChart's data with GDI at the window's size and font (so it is
// sharp at any DPI), with one tooltip a bar.
#pragma once

#include <windows.h>

#include "platform/toolkit.h"

namespace tk::win {

inline constexpr wchar_t kBarChartClass[] = L"Czasomir.BarChart";

LRESULT CALLBACK BarChartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The chart window shows that control's data, now and after each change.
void AttachBarChart(HWND chart, const BarChart& control);
// The control's data changed: tooltips and picture are made anew.
void BarChartChanged(HWND chart);

}  // namespace tk::win
