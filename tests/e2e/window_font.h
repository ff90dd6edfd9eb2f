// The font a window of this process was given (WM_SETFONT), as a LOGFONT.
#pragma once

#include <windows.h>

namespace e2e {

inline LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

}  // namespace e2e
