#include "tests/e2e/screen_copy.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace e2e {

ScreenCopy::ScreenCopy(HWND window) {
    GetWindowRect(window, &rect_);
    width_ = rect_.right - rect_.left;
    height_ = rect_.bottom - rect_.top;
    if (width_ <= 0 || height_ <= 0) {
        width_ = height_ = 0;
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = height_;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, rect_.left, rect_.top, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof(DWORD));
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenCopy::At(POINT p) const {
    const int x = p.x - rect_.left, y = p.y - rect_.top;
    if (pixels_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const DWORD bgrx = pixels_[static_cast<std::size_t>(height_ - 1 - y) * width_ + x];
    return RGB((bgrx >> 16) & 0xff, (bgrx >> 8) & 0xff, bgrx & 0xff);
}

int ScreenCopy::Count(HWND child, const std::function<bool(int r, int g, int b)>& test) const {
    RECT r{};
    GetWindowRect(child, &r);
    int n = 0;
    for (LONG y = std::max(r.top, rect_.top); y < std::min(r.bottom, rect_.bottom); ++y)
        for (LONG x = std::max(r.left, rect_.left); x < std::min(r.right, rect_.right); ++x) {
            const COLORREF c = At({x, y});
            n += c != CLR_INVALID && test(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    return n;
}

bool ScreenCopy::SaveBmp(const std::filesystem::path& file) const {
    if (pixels_.empty()) return false;
    const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
    std::vector<char> rows(stride * height_, 0);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const DWORD bgrx = pixels_[static_cast<std::size_t>(y) * width_ + x];
            char* to = &rows[y * stride + x * 3];
            to[0] = static_cast<char>(bgrx & 0xff);
            to[1] = static_cast<char>((bgrx >> 8) & 0xff);
            to[2] = static_cast<char>((bgrx >> 16) & 0xff);
        }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4d42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(rows.size());
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return static_cast<bool>(out);
}

}  // namespace e2e
