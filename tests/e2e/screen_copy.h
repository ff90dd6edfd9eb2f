// The screen's pixels under a window, taken at one moment, for the tests that
// look at what another process drew.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace e2e {

class ScreenCopy {
public:
    explicit ScreenCopy(HWND window);

    // The colour at a point of the screen; CLR_INVALID outside the copy.
    COLORREF At(POINT p) const;

    // How many pixels inside a child window's rectangle satisfy `test`.
    int Count(HWND child, const std::function<bool(int r, int g, int b)>& test) const;

    // A 24-bit BMP file: no alpha channel for a viewer to misread. False when
    // there was nothing to copy or the file could not be written.
    bool SaveBmp(const std::filesystem::path& file) const;

private:
    RECT rect_{};
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;  // 0x00RRGGBB, rows bottom-up as a BMP keeps them
};

}  // namespace e2e
