// Dots per inch: per-monitor awareness, the DPI of a window, and the system
// metrics and fonts at a given DPI. The newer functions are looked up at run
// time, so the program still starts on Windows 7 (where everything is 96 DPI
// or the system DPI).
#pragma once

#include <windows.h>

namespace tk::win {

void EnablePerMonitorDpiAwareness();
UINT WindowDpi(HWND window);
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }
int SystemMetric(int index, UINT dpi);
// The window rectangle that gives a client area of `client` for this style.
RECT WindowRectForClient(RECT client, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi);
// The system's message font, as it should look at `dpi`.
LOGFONTW MessageFont(UINT dpi);

}  // namespace tk::win
