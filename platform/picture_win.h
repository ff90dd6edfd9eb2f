// A picture kept in the program's BITMAP resources, drawn at its own size
// (scaled with the DPI) with its transparent pixels left unpainted.
#pragma once

#include <windows.h>

#include "platform/handles_win.h"

namespace tk::win {

// The colour that marks a bitmap's transparent pixels. The build makes the
// banner's bitmap from app/res/banner.svg with its transparent pixels in
// this colour (app/CMakeLists.txt); no visible pixel of it has this colour.
inline constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

class Picture {
public:
    // Empty when the resource is missing or cannot be loaded.
    static Picture FromResource(HINSTANCE module, int resourceId);

    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    // Its size in pixels at `dpi` (its own pixels at 96 DPI).
    SIZE Size(UINT dpi) const;
    void Draw(HDC dc, int x, int y, UINT dpi) const;

private:
    UniqueBitmap bitmap_;
    SIZE pixels_{};  // its own size
};

}  // namespace tk::win
