// Each window as Windows shows it, at 96 and 144 DPI: its client size and
// icons, and for every control its rectangle, font, text colour on the screen
// and the pointer over it, held against the windows' design (twips, points,
// RGB). The forms run in this process on the Win32 backend, with the
// program's resources linked in; another DPI runs in a copy of this test
// started with the screen set to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/resource_ids.h"
#include "platform/toolkit_win.h"
#include "tests/e2e/harness.h"
#include "ui/about/form2.h"

namespace {

struct ControlLook {
    const wchar_t* name;
    int left, top, width, height;  // twips
    const wchar_t* face = nullptr;  // nullptr: no text; L"": the window's default font, 8 pt regular
    double points = 8;
    int weight = 400;
    bool italic = false, underline = false;
    COLORREF ink = CLR_INVALID;  // the text's colour; CLR_INVALID: drawn by the theme, not checked
    bool hand = false;           // the About box's hand pointer over it, else the arrow
};
struct WindowLook {
    const char* name;
    tk::Form& (*make)(tk::Platform&);
    int width, height;  // client area, twips
    std::vector<ControlLook> controls;
};

const COLORREF kText = GetSysColor(COLOR_BTNTEXT), kBlue = RGB(0, 0, 255);
const WindowLook kWindows[] = {
    {"main", [](tk::Platform& p) -> tk::Form& { return *new czasomir::Form1(p, *new czasomir::test::MemoryRejestr); },
     4080, 3720,
     {{L"Picture1", 3360, 240, 615, 375}, {L"Check1", 480, 3240, 3135, 375, L""}, {L"Command1", 840, 2160, 2415, 735, L""},
      {L"Label1", 120, 1080, 3855, 855, L"Times New Roman", 26.25, 700, false, false, kText},
      {L"Image1", 840, 120, 2400, 675}}},
    {"About", [](tk::Platform& p) -> tk::Form& { return *new czasomir::Form2(p); }, 4845, 4290,
     {{L"Command1", 1560, 3480, 1695, 495, L""}, {L"Label5", 360, 2880, 1455, 255, L"MS Sans Serif", 8.25, 400, false, true, kBlue, true},
      {L"Label4", 360, 2400, 1935, 255, L"MS Sans Serif", 8.25, 400, false, true, kBlue, true},
      {L"Label3", 360, 1920, 855, 255, L"", 8, 400, false, false, kText}, {L"Label2", 360, 1440, 3735, 255, L"", 8, 400, false, false, kText},
      {L"Label1", 120, 240, 4575, 855, L"Times New Roman", 36, 700, true, false, kText}}},
};

// Delivers this thread's messages for a while: paints, and the X server catching up with them.
void Settle() {
    MSG m;
    for (const ULONGLONG end = GetTickCount64() + 400; GetTickCount64() < end; Sleep(10))
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    BITMAP mask{};
    if (!GetIconInfo(icon, &info)) return {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask), DeleteObject(info.hbmColor);
    return {mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
}

class Look : public ::testing::TestWithParam<int> {};

TEST_P(Look, WindowsAndControlsAsDesigned) {
    const int dpi = GetParam();
    HDC screen = GetDC(nullptr);
    const int own = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (own != dpi) {  // a copy of this test at that DPI
        ASSERT_FALSE(GetEnvironmentVariableW(L"CZASOMIR_LOOK_COPY", nullptr, 0)) << "the screen is at " << own << " DPI";
        SetEnvironmentVariableW(L"CZASOMIR_LOOK_COPY", L"1");
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::wstring filter = e2e::fs::path(std::string(test->test_suite_name()) + "." + test->name()).wstring();
        e2e::Process copy(tk::win::ModulePath(), e2e::Quoted(tk::win::ModulePath(), L"--gtest_filter=" + filter), e2e::fs::current_path());
        EXPECT_TRUE(copy.waitForExit(60000));
        EXPECT_EQ(copy.exitCode(), 0u);
        const DWORD normal = 96;
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &normal, sizeof normal);
        SetEnvironmentVariableW(L"CZASOMIR_LOOK_COPY", nullptr);
        return;
    }
    // Left to the end of the process: destroying a shown window costs Wine seconds without a window manager.
    auto& platform = *new tk::Win32Platform;
    auto pixels = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDCURSOR)),
                  arrow = LoadCursorW(nullptr, IDC_ARROW);
    int x = 0;
    for (const WindowLook& look : kWindows) {
        SCOPED_TRACE(look.name);
        tk::Form& form = look.make(platform);
        platform.Create(form);
        HWND window = reinterpret_cast<HWND>(form.handle());
        ASSERT_NE(window, nullptr);
        if (auto* main = dynamic_cast<czasomir::Form1*>(&form)) main->Label1.setCaption(L"01 : 02 : 06");
        SetWindowPos(window, HWND_TOP, x, 0, 0, 0, SWP_NOSIZE);
        platform.Show(form);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        const e2e::ScreenCopy shot(window);
        RECT client{}, frame{};
        GetClientRect(window, &client);
        GetWindowRect(window, &frame);
        x = frame.right + 10;
        EXPECT_EQ(std::vector<LONG>({client.right, client.bottom}), std::vector<LONG>({pixels(look.width), pixels(look.height)}));
        // Both pictures of the icon, at this DPI; the small one is also the tray's.
        const auto icon = [&](WPARAM which) { return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)); };
        EXPECT_EQ(IconSize(icon(ICON_BIG)).cx, MulDiv(32, dpi, 96));
        EXPECT_EQ(IconSize(icon(ICON_SMALL)).cy, MulDiv(16, dpi, 96));
        EXPECT_EQ(reinterpret_cast<HICON>(form.iconHandle()), icon(ICON_SMALL));
        std::vector<HFONT> fonts;
        for (const ControlLook& c : look.controls) {
            const auto it = std::find_if(form.controls().begin(), form.controls().end(), [&](auto* k) { return k->name() == c.name; });
            ASSERT_NE(it, form.controls().end()) << c.name;
            SCOPED_TRACE(testing::Message() << c.name);
            HWND child = reinterpret_cast<HWND>((*it)->handle());
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                      std::vector<LONG>({pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)}));
            EXPECT_EQ(IsWindowVisible(child) != FALSE, c.name != std::wstring(L"Picture1"));
            if (!c.face) continue;
            LOGFONTW f{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof f, &f);
            EXPECT_EQ(std::tuple(std::wstring(*c.face ? c.face : f.lfFaceName), f.lfHeight, f.lfWeight, f.lfItalic, f.lfUnderline, f.lfCharSet),
                      std::tuple(std::wstring(f.lfFaceName), -std::lround(c.points * dpi / 72), static_cast<LONG>(c.weight), BYTE{c.italic},
                                 BYTE{c.underline}, BYTE{EASTEUROPE_CHARSET}));
            fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
            SendMessageW(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(GetCursor(), c.hand ? hand : arrow);
            if (c.ink == CLR_INVALID) continue;
            EXPECT_GT(shot.Count(child, [&](COLORREF p) { return p == c.ink; }), 0);
            EXPECT_EQ(shot.At(child, 0, 0), GetSysColor(COLOR_BTNFACE));  // an opaque background, the window's own
        }
        // Laid out anew (moved to another screen): the fonts of the old layout are released.
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        for (HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
    }
    // The hand of the links: 32 x 32 at 96 DPI, pointing from its top-left corner.
    ICONINFO cursor{};
    ASSERT_TRUE(GetIconInfo(hand, &cursor));
    EXPECT_EQ(std::tuple(cursor.xHotspot, cursor.yHotspot, IconSize(hand).cx), std::tuple(0ul, 0ul, MulDiv(32, dpi, 96)));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Look, ::testing::Values(96, 144));

}  // namespace
