// The main window as it appears on the screen, counting from a stored total:
// saved as screenshots/main.bmp in the build tree (the test command turns it
// into a PNG; README's picture is a copy) and checked for the pixels that
// matter: the banner's transparent corner, the time display's ink, and both
// lines of the check box caption.
#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/screen_copy.h"

namespace {

using e2e::ScreenCopy;

// Pixels darker than mid-grey inside a child's rectangle, rows top to bottom.
std::vector<int> DarkPixelsPerRow(const ScreenCopy& shot, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    std::vector<int> rows;
    for (LONG y = r.top; y < r.bottom; ++y) {
        int dark = 0;
        for (LONG x = r.left; x < r.right; ++x) {
            const COLORREF c = shot.At({x, y});
            dark += c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
        }
        rows.push_back(dark);
    }
    return rows;
}

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
    e2e::App app(e2e::With("3725\r\n"));
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.click(e2e::ids::Command1());
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.text(e2e::ids::Label1()) != L"01 : 02 : 05"; }));
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

    EXPECT_EQ(TextLines(DarkPixelsPerRow(shot, app.control(model.Label1.id()))), 1);
    EXPECT_EQ(TextLines(DarkPixelsPerRow(shot, app.control(model.Check1.id()))), 2);
    const std::vector<int> checkRows = DarkPixelsPerRow(shot, app.control(model.Check1.id()));
    EXPECT_EQ(checkRows.back(), 0);  // nothing cut off at the bottom edge
}

}  // namespace
