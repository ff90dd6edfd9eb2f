// What a screen reader is told of a window of the program's own class (the
// banner, the chart): oleacc's standard object for the window, with the name,
// role and value the program gives. oleacc, OLE Automation and COM are loaded
// at the first request only, so a run that nobody reads aloud never maps them.
#pragma once

#include <windows.h>

#include <string>

namespace tk::win {

struct AccessibleTexts {
    std::wstring name, value;
    long role = 0;  // ROLE_SYSTEM_GRAPHIC, ROLE_SYSTEM_CHART, ...
};
inline constexpr long kRoleGraphic = 0x28, kRoleChart = 0x11;

// Reads the texts of the window now; called at every question, so they follow the data.
using AccessibleReader = AccessibleTexts (*)(HWND window);

// WM_GETOBJECT: the object for OBJID_CLIENT; 0 (the default object) for any
// other request or when the object cannot be made.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, AccessibleReader read);

}  // namespace tk::win
