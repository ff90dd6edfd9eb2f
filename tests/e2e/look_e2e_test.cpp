// Each window as Windows shows it, at 96 and 144 DPI: its client size and
// icons, and for every control its rectangle, font, text colour on the screen
// and the pointer over it, held against the windows' design (twips, points,
// RGB). The forms run in this process on the Win32 backend, with the
// program's resources linked in; another DPI runs in a copy of this test
// started with the screen set to it. The main window and the Settings window
// at 96 DPI are saved as screenshots/main.bmp and settings.bmp (README's pictures).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/dpi_win.h"
#include "platform/resource_ids.h"
#include "platform/toolkit_win.h"
#include "tests/e2e/harness.h"
#include "ui/about/form2.h"
#include "ui/history/form3.h"
#include "ui/settings/form4.h"

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
    tk::Form& (*make)(tk::Platform&);
    int width, height;  // client area, twips
    std::vector<ControlLook> controls;
};

const COLORREF kText = GetSysColor(COLOR_BTNTEXT), kBlue = RGB(0, 0, 255), kFace = GetSysColor(COLOR_BTNFACE);
const WindowLook kWindows[] = {
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form1(p, *new czasomir::test::MemoryRejestr); }, 4080, 3720,
     {{L"Picture1", 3360, 240, 615, 375}, {L"Check1", 480, 3240, 3135, 375, L""}, {L"Command1", 840, 2160, 2415, 735, L""},
      {L"Label1", 120, 1080, 3855, 855, L"Times New Roman", 26.25, 700, false, false, kText}, {L"Image1", 840, 120, 2400, 675}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form2(p); }, 4845, 4290,
     {{L"Command1", 1560, 3480, 1695, 495, L""}, {L"Label5", 360, 2880, 1455, 255, L"MS Sans Serif", 8.25, 400, false, true, kBlue, true},
      {L"Label4", 360, 2400, 1935, 255, L"MS Sans Serif", 8.25, 400, false, true, kBlue, true},
      {L"Label3", 360, 1920, 855, 255, L"", 8, 400, false, false, kText}, {L"Label2", 360, 1440, 3735, 255, L"", 8, 400, false, false, kText},
      {L"Label1", 120, 240, 4575, 855, L"Times New Roman", 36, 700, true, false, kText}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form3(p, *new czasomir::DayHistory, 0, L"C:\\Dane"); }, 6300, 5700,
     {{L"Label1", 240, 240, 2160, 255, L"", 8, 400, false, false, kText}, {L"Label2", 2400, 240, 2400, 255, L"", 8, 400, false, false, kText},
      {L"Label6", 2400, 840, 2400, 255, L"", 8, 400, false, false, kText}, {L"Chart1", 240, 1260, 5820, 2850},
      {L"Label8", 240, 4515, 5820, 480, L"", 8, 400, false, false, kText}, {L"Command2", 2640, 5100, 1695, 375, L""},
      {L"Command1", 4365, 5100, 1695, 375, L""}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form4(p, {}); }, 5115, 2415,
     {{L"Check1", 240, 240, 2280, 315, L""}, {L"Text1", 2580, 240, 480, 315, L""},
      {L"Label1", 3375, 270, 180, 255, L"", 8, 400, false, false, kText}, {L"Text2", 3600, 240, 480, 315, L""},
      {L"Check2", 240, 720, 2280, 315, L""}, {L"Text3", 2580, 720, 480, 315, L""}, {L"Check3", 240, 1200, 4635, 315, L""}, {L"Command1", 2100, 1800, 1335, 375, L""}, {L"Command2", 3540, 1800, 1335, 375, L""}}},
};

LONG IconWidth(HICON icon) {
    ICONINFO info{};
    BITMAP mask{};
    if (GetIconInfo(icon, &info)) GetObjectW(info.hbmMask, sizeof mask, &mask), DeleteObject(info.hbmMask), DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

class Look : public ::testing::TestWithParam<int> {};

TEST_P(Look, WindowsAndControlsAsDesigned) {
    const int dpi = GetParam();
    const int own = static_cast<int>(tk::win::WindowDpi(nullptr));  // the screen's, as this process sees it
    const auto setScreenDpi = [](DWORD to) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &to, sizeof to);
    };
    if (own != dpi) {  // a copy of this test at that DPI
        ASSERT_FALSE(GetEnvironmentVariableW(L"CZASOMIR_LOOK_COPY", nullptr, 0)) << "the screen is at " << own << " DPI";
        SetEnvironmentVariableW(L"CZASOMIR_LOOK_COPY", L"1");
        setScreenDpi(dpi);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
        e2e::Process copy(tk::win::ModulePath(), e2e::Quoted(tk::win::ModulePath(), std::wstring(filter.begin(), filter.end())), ".");
        EXPECT_TRUE(copy.waitForExit(60000) && copy.exitCode() == 0);
        return setScreenDpi(96);
    }
    // Left to the end of the process: destroying a shown window costs Wine seconds without a window manager.
    auto& platform = *new tk::Win32Platform;
    auto pixels = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDCURSOR)),
                  arrow = LoadCursorW(nullptr, IDC_ARROW), ibeam = LoadCursorW(nullptr, IDC_IBEAM);
    int x = 0;
    for (const WindowLook& look : kWindows) {
        tk::Form& form = look.make(platform);
        platform.Create(form);
        HWND window = reinterpret_cast<HWND>(form.handle());
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(testing::Message() << form.name());
        if (auto* main = dynamic_cast<czasomir::Form1*>(&form))  // counting, as README's picture shows it
            main->Label1.setCaption(L"01 : 02 : 06"), main->Command1.setCaption(L"Stop");
        RECT frame{};
        GetWindowRect(window, &frame);
        if (x + frame.right - frame.left > GetSystemMetrics(SM_CXSCREEN)) x = 0;  // on the screen, above the others
        SetWindowPos(window, HWND_TOP, x, 0, 0, 0, SWP_NOSIZE);
        platform.Show(form);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        MSG m;  // the X server catches up with the paint
        for (const ULONGLONG end = GetTickCount64() + 400; GetTickCount64() < end; Sleep(10))
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        const e2e::ScreenCopy shot(window);
        if (dpi == 96 && (&look == kWindows || form.name() == L"Form4"))  // README's pictures are copies
            shot.Save(&look == kWindows ? L"main" : L"settings");
        RECT client{};
        GetClientRect(window, &client);
        GetWindowRect(window, &frame);
        x = frame.right + 10;
        EXPECT_EQ(std::vector<LONG>({client.right, client.bottom}), std::vector<LONG>({pixels(look.width), pixels(look.height)}));
        // Both pictures of the icon, at this DPI; the small one is also the tray's.
        const auto icon = [&](WPARAM which) { return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)); };
        EXPECT_EQ(std::tuple(IconWidth(icon(ICON_BIG)), IconWidth(icon(ICON_SMALL)), reinterpret_cast<HICON>(form.iconHandle())),
                  std::tuple(MulDiv(32, dpi, 96), MulDiv(16, dpi, 96), icon(ICON_SMALL)));
        std::vector<HFONT> fonts;
        for (const ControlLook& c : look.controls) {
            const auto it = std::find_if(form.controls().begin(), form.controls().end(), [&](auto* k) { return k->name() == c.name; });
            ASSERT_NE(it, form.controls().end()) << c.name;
            SCOPED_TRACE(testing::Message() << c.name);
            HWND child = reinterpret_cast<HWND>((*it)->handle());
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(child)}),
                      std::vector<LONG>({pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height), c.name != std::wstring(L"Picture1")}));
            // The background is the window's own (the banner's corner is see-through), also behind the text.
            if (!c.face || c.ink != CLR_INVALID) EXPECT_EQ(shot.At(child, 0, 0), kFace);
            if (!c.face) continue;
            LOGFONTW f{};
            GetObjectW(fonts.emplace_back(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))), sizeof f, &f);
            EXPECT_EQ(std::tuple(std::wstring(*c.face ? c.face : f.lfFaceName), f.lfHeight, f.lfWeight, f.lfItalic, f.lfUnderline, f.lfCharSet),
                      std::tuple(std::wstring(f.lfFaceName), -std::lround(c.points * dpi / 72), static_cast<LONG>(c.weight), BYTE{c.italic},
                                 BYTE{c.underline}, BYTE{EASTEUROPE_CHARSET}));
            SendMessageW(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            wchar_t cls[8]{};  // an edit box's own pointer is the I-beam
            EXPECT_EQ(GetCursor(), c.hand ? hand : GetClassNameW(child, cls, 8) && !lstrcmpiW(cls, L"Edit") ? ibeam : arrow);
            if (c.ink != CLR_INVALID) EXPECT_GT(shot.Count(child, [&](COLORREF p) { return p == c.ink; }), 0);
        }
        if (auto* settings = dynamic_cast<czasomir::Form4*>(&form)) {  // the hours: typed, stepped within range, arrows at the right
            HWND hours = reinterpret_cast<HWND>(settings->Text1.handle());
            RECT box{}, arrows{};
            GetWindowRect(hours, &box), GetWindowRect(GetWindow(hours, GW_HWNDNEXT), &arrows), SetWindowTextW(hours, L"23");
            SendMessageW(hours, WM_KEYDOWN, VK_UP, 0);
            EXPECT_EQ(std::tuple(settings->Text1.text(), arrows.left, arrows.top), std::tuple(std::wstring(L"23"), box.right, box.top));
        }
        // Laid out anew (moved to another screen): the fonts of the old layout are released.
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        for (HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, Look, ::testing::Values(96, 144));

}  // namespace
