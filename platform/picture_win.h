// A picture (GIF, BMP, JPEG) kept in the program's RCDATA resources, drawn at
// its own size with its transparent pixels left unpainted.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/handles_win.h"

namespace tk::win {

class Picture {
public:
    // Empty when the resource is missing or cannot be decoded.
    static Picture FromResource(HINSTANCE module, int resourceId);

    explicit operator bool() const { return static_cast<bool>(picture_); }
    // Its size in pixels at `dpi` (its own pixels at 96 DPI).
    SIZE Size(UINT dpi) const;
    void Draw(HDC dc, int x, int y, UINT dpi) const;

private:
    ComPtr<IPicture> picture_;
};

}  // namespace tk::win
