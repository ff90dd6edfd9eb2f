// The main window as it appears on the screen: saved as screenshots/main.bmp
// in the build tree (the test command turns it into a PNG) and checked for the
// pixels that matter: the banner's transparent corner, the time display's ink,
// and both lines of the check box caption.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "tests/e2e/harness.h"

namespace {

class ScreenCopy {
public:
    // The screen's pixels under the window.
    explicit ScreenCopy(HWND window) {
        GetWindowRect(window, &rect_);
        width_ = rect_.right - rect_.left;
        height_ = rect_.bottom - rect_.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, rect_.left, rect_.top, SRCCOPY);
        SelectObject(memory, old);
        info_.biSize = sizeof info_;
        info_.biWidth = width_;
        info_.biHeight = height_;  // bottom-up, as a BMP file keeps it
        info_.biPlanes = 1;
        info_.biBitCount = 32;
        info_.biCompression = BI_RGB;
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        GetDIBits(memory, bitmap, 0, static_cast<UINT>(height_), pixels_.data(), reinterpret_cast<BITMAPINFO*>(&info_),
                  DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    // The colour at a point of the screen.
    COLORREF At(POINT p) const {
        const int x = p.x - rect_.left, y = p.y - rect_.top;
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        const DWORD bgrx = pixels_[static_cast<std::size_t>(height_ - 1 - y) * width_ + x];
        return RGB((bgrx >> 16) & 0xff, (bgrx >> 8) & 0xff, bgrx & 0xff);
    }

    // Pixels darker than mid-grey inside a child's rectangle, rows top to bottom.
    std::vector<int> DarkPixelsPerRow(HWND child) const {
        RECT r{};
        GetWindowRect(child, &r);
        std::vector<int> rows;
        for (LONG y = r.top; y < r.bottom; ++y) {
            int dark = 0;
            for (LONG x = r.left; x < r.right; ++x) {
                const COLORREF c = At({x, y});
                dark += c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
            }
            rows.push_back(dark);
        }
        return rows;
    }

    // A 24-bit BMP file: no alpha channel for a viewer to misread.
    bool SaveBmp(const std::filesystem::path& file) const {
        std::filesystem::create_directories(file.parent_path());
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
        BITMAPINFOHEADER info = info_;
        info.biBitCount = 24;
        BITMAPFILEHEADER header{};
        header.bfType = 0x4d42;  // "BM"
        header.bfOffBits = sizeof header + sizeof info;
        header.bfSize = header.bfOffBits + static_cast<DWORD>(rows.size());
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(reinterpret_cast<const char*>(&info), sizeof info);
        out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
        return static_cast<bool>(out);
    }

private:
    RECT rect_{};
    int width_ = 0, height_ = 0;
    BITMAPINFOHEADER info_{};
    std::vector<DWORD> pixels_;
};

POINT ScreenPoint(HWND child, int x, int y) {
    POINT p{x, y};
    ClientToScreen(child, &p);
    return p;
}

// Runs of rows that hold ink, separated by empty rows: the lines of text.
int TextLines(const std::vector<int>& rows) {
    int lines = 0;
    bool inLine = false;
    for (int dark : rows) {
        if (dark > 0 && !inLine) ++lines;
        inLine = dark > 0;
    }
    return lines;
}

TEST(Screenshot, MainWindowShowsBannerTimeButtonAndReadableCheckBox) {
    const czasomir::Form1& model = e2e::MainWindowModel();
    e2e::App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    app.waitIdle();
    Sleep(300);  // the X server catches up with the last paint

    const ScreenCopy shot(main);
    EXPECT_TRUE(shot.SaveBmp(e2e::ScreenshotDirectory() / L"main.bmp"));

    HWND banner = app.control(model.Image1.id());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(shot.At(ScreenPoint(banner, 0, 0)), face);      // transparent corner of the GIF
    EXPECT_EQ(shot.At(ScreenPoint(banner, 159, 44)), face);
    EXPECT_NE(shot.At(ScreenPoint(banner, 80, 22)), face);    // the picture itself

    EXPECT_EQ(TextLines(shot.DarkPixelsPerRow(app.control(model.Label1.id()))), 1);
    EXPECT_EQ(TextLines(shot.DarkPixelsPerRow(app.control(model.Check1.id()))), 2);
    const std::vector<int> checkRows = shot.DarkPixelsPerRow(app.control(model.Check1.id()));
    EXPECT_EQ(checkRows.back(), 0);  // nothing cut off at the bottom edge
}

}  // namespace
