// Each window as Windows shows it, at 96 and 144 DPI: its client size, frame
// and icons, for every control its rectangle, font and text colour on the
// screen, the chart's bars, and the pointer over every part of the window,
// held against the windows' design (twips, points, RGB, hours); and the
// controls that paint themselves keep no GDI object a paint. The forms run in
// this process on the Win32 backend, with the program's resources linked in;
// another DPI runs in a copy of this test started with the screen set to it.
// Then in high contrast, with a palette of its own: the parts of each window
// in its colours, painted anew at once; and what a screen reader is told. The
// main window at 96 DPI is saved as screenshots/main.bmp and main-contrast.bmp,
// the History and Settings windows as history.bmp and settings.bmp (README's
// pictures). The History window's tooltips, its copy for a spreadsheet program
// and Escape come last.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>

#include "core/history_chart.h"
#include "storage/history_file.h"
#include "platform/dpi_win.h"
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
    bool hand = false;           // a link's pointing hand over it (not checked: it follows the pointer), else the arrow
    std::vector<double> bars = {};  // a chart's bars from the left, each a part of its scale's height
};
struct WindowLook {
    tk::Form& (*make)(tk::Platform&);
    int width, height;  // client area, twips
    DWORD boxes;        // which of the minimise and maximise boxes and the sizing frame it has
    std::vector<ControlLook> controls;
};

// A fortnight of half an hour more each day, up to 7 hours today (the scale ends at 8 hours); the first day only 5
// seconds, still a bar.
czasomir::DayHistory& Fortnight(std::int32_t today) {
    auto& history = *new czasomir::DayHistory;
    for (int i = 1; i <= czasomir::kChartDays; ++i) history.Add(today - czasomir::kChartDays + i, i == 1 ? 5 : i * 1800);
    return history;
}

const COLORREF kText = GetSysColor(COLOR_BTNTEXT), kFace = GetSysColor(COLOR_BTNFACE);
// A label in the window's default font, in the window's text colour; a link's colour is the theme's.
ControlLook Label(const wchar_t* name, int left, int top, int width, int height, bool link = false) {
    return {name, left, top, width, height, L"", 8, 400, false, false, link ? CLR_INVALID : kText, link};
}
const WindowLook kWindows[] = {
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form1(p, *new czasomir::test::MemoryRejestr); }, 4080, 3720,
     WS_MINIMIZEBOX,
     {{L"Picture1", 3360, 240, 615, 375}, {L"Check1", 480, 3240, 3135, 375, L""}, {L"Command1", 840, 2160, 2415, 735, L""},
      {L"Label1", 120, 1080, 3855, 855, L"Times New Roman", 26.25, 700, false, false, kText}, {L"Image1", 840, 120, 2400, 675}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form2(p); }, 4845, 4290, 0,
     {{L"Command1", 1560, 3480, 1695, 495, L""}, Label(L"Label5", 360, 2880, 1455, 255, true), Label(L"Label4", 360, 2400, 1935, 255, true),
      Label(L"Label3", 360, 1920, 855, 255), Label(L"Label2", 360, 1440, 3735, 255),
      {L"Label1", 120, 240, 4575, 855, L"Times New Roman", 36, 700, true, false, kText}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form3(p, Fortnight(20000), 20000, L"C:\\Dane"); }, 6300, 5700, 0,
     {Label(L"Label1", 240, 240, 2160, 255), Label(L"Label2", 2400, 240, 2400, 255), Label(L"Label3", 240, 540, 2160, 255),
      Label(L"Label4", 2400, 540, 2400, 255), Label(L"Label5", 240, 840, 2160, 255), Label(L"Label6", 2400, 840, 2400, 255),
      Label(L"Label7", 240, 4260, 5820, 255), Label(L"Label8", 240, 4515, 5820, 480),
      {.name = L"Chart1", .left = 240, .top = 1260, .width = 5820, .height = 2850,
       .bars = {5 / 28800., .125, .1875, .25, .3125, .375, .4375, .5, .5625, .625, .6875, .75, .8125, .875}},
      {L"Command2", 2640, 5100, 1695, 375, L""}, {L"Command1", 4365, 5100, 1695, 375, L""}}},
    {[](tk::Platform& p) -> tk::Form& { return *new czasomir::Form4(p, {}); }, 5115, 2415, 0,
     {{L"Check1", 240, 240, 2280, 315, L""}, {L"Text1", 2580, 240, 480, 315, L""}, Label(L"Label1", 3375, 270, 180, 255),
      {L"Text2", 3600, 240, 480, 315, L""}, {L"Check2", 240, 720, 2280, 315, L""}, {L"Text3", 2580, 720, 480, 315, L""},
      {L"Check3", 240, 1200, 4635, 315, L""}, {L"Command1", 2100, 1800, 1335, 375, L""}, {L"Command2", 3540, 1800, 1335, 375, L""}}},
};

LONG IconWidth(HICON icon) {
    ICONINFO info{};
    BITMAP mask{};
    if (GetIconInfo(icon, &info)) GetObjectW(info.hbmMask, sizeof mask, &mask), DeleteObject(info.hbmMask), DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

// High contrast, as Wine cannot switch it on, and a palette Windows would not choose.
struct Contrast : tk::Win32Platform {
    bool on = false;
    bool HighContrast() override { return on; }
};
const int kPaletteParts[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
const COLORREF kPalette[] = {RGB(40, 0, 60), RGB(255, 255, 0)};

// What a screen reader is told of a control: its name, role and value.
const struct Said { const wchar_t *form, *control, *name; long role; } kSaid[] = {
    {L"Form1", L"Image1", L"Czasomir - mierzy czas pracy", ROLE_SYSTEM_GRAPHIC}, {L"Form1", L"Command1", L"Stop"},
    {L"Form1", L"Label1", L"01 : 02 : 06"}, {L"Form2", L"Label3", L"Wersja 1.1"}, {L"Form2", L"Command1", L"OK"},
    {L"Form3", L"Chart1", L"Czas z ostatnich 14 dni", ROLE_SYSTEM_CHART}, {L"Form3", L"Command2", L"Otwórz plik"},
    {L"Form4", L"Command1", L"OK"}, {L"Form4", L"Command2", L"Anuluj"}};

void Settle() {  // the X server catches up with the paint
    MSG m;
    for (const ULONGLONG end = GetTickCount64() + 400; GetTickCount64() < end; Sleep(10))
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

// The chart's bars as the screen shows them: each stands on the lowest line of
// the scale (whose lines are evenly spaced) as high as its part of the scale,
// in the middle three fifths of its equal share of the width the lines span.
void ExpectBars(const e2e::ScreenCopy& shot, HWND chart, const std::vector<double>& bars) {
    RECT r{};
    GetClientRect(chart, &r);
    const COLORREF line = GetSysColor(COLOR_3DSHADOW), bar = GetSysColor(COLOR_HIGHLIGHT);
    std::vector<int> lines;
    int left = 0, right = 0;  // the ends of the lowest line
    for (int y = 0; y < r.bottom; ++y) {
        int n = 0, first = -1, last = -1;
        for (int x = 0; x < r.right; ++x)
            if (shot.At(chart, x, y) == line) ++n, last = x, first = first < 0 ? x : first;
        if (n * 4 > r.right) lines.push_back(y), left = first, right = last + 1;
    }
    ASSERT_GE(lines.size(), 2u);
    EXPECT_LT(right, r.right);  // a margin at the right
    const int zero = lines.back(), height = zero - lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_NEAR(lines[i] - lines[i - 1], height / (lines.size() - 1.0), 1) << lines[i];
    for (const int y : lines) {  // each line's label left of it, in the middle of its height
        int top = r.bottom, bottom = -1;
        for (int row = y - height / 8; row <= y + height / 8; ++row)
            for (int x = 0; x < left; ++x)
                if (shot.At(chart, x, row) == GetSysColor(COLOR_BTNTEXT)) top = std::min(top, row), bottom = row;
        EXPECT_LE(std::abs(top + bottom - 2 * y), (bottom - top) * 2 / 3) << "the label of the line at " << y;
    }
    std::vector<RECT> seen;  // each run of columns with the bars' colour
    for (int x = 0; x < r.right; ++x) {
        int top = r.bottom, bottom = -1;
        for (int y = 0; y < r.bottom; ++y)
            if (shot.At(chart, x, y) == bar) top = std::min(top, y), bottom = y;
        if (bottom < 0) continue;
        if (seen.empty() || seen.back().right != x) seen.push_back({x, top, x, bottom});
        seen.back().right = x + 1;
    }
    ASSERT_EQ(seen.size(), bars.size());
    const double slot = static_cast<double>(right - left) / bars.size();
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const RECT& s = seen[i];
        const int from = left + static_cast<int>(std::lround(i * slot)), to = left + static_cast<int>(std::lround((i + 1) * slot));
        EXPECT_TRUE(std::abs(s.left - (from + (to - from) / 5)) <= 1 && std::abs(s.right - (to - (to - from) / 5)) <= 1 &&
                    std::abs(s.top - (zero - bars[i] * height)) <= 1 && s.bottom == zero - 1)
            << "bar " << i << " at " << s.left << "," << s.top << " to " << s.right << "," << s.bottom;
        int ink = 0;  // its day's label under it
        for (int y = zero + 1; y < r.bottom; ++y)
            for (int x = from; x < to; ++x) ink += shot.At(chart, x, y) == GetSysColor(COLOR_BTNTEXT);
        EXPECT_GT(ink, 0) << "the label of bar " << i;
    }
}

// How many more GDI objects this process may make (GetGuiResources is a stub under Wine): made until refused.
int GdiRoom() {
    std::vector<HRGN> made;
    while (HRGN region = CreateRectRgn(0, 0, 1, 1)) made.push_back(region);
    for (HRGN region : made) DeleteObject(region);
    return static_cast<int>(made.size());
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
    auto& platform = *new Contrast;
    EXPECT_FALSE(platform.Win32Platform::HighContrast());  // as Windows answers it: off on this screen
    auto pixels = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), ibeam = LoadCursorW(nullptr, IDC_IBEAM);
    int x = 0;
    for (const WindowLook& look : kWindows) {
        tk::Form& form = look.make(platform);
        platform.Create(form);
        HWND window = reinterpret_cast<HWND>(form.handle());
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(testing::Message() << form.name());
        if (form.name() == L"Form1")  // (no RTTI in the Windows build: forms are told apart by name) counting, as README's picture shows it
            static_cast<czasomir::Form1&>(form).Label1.setCaption(L"01 : 02 : 06"),
                static_cast<czasomir::Form1&>(form).Command1.setCaption(L"Stop");
        RECT frame{};
        GetWindowRect(window, &frame);
        if (x + frame.right - frame.left > GetSystemMetrics(SM_CXSCREEN)) x = 0;  // on the screen, above the others
        SetWindowPos(window, HWND_TOP, x, 0, 0, 0, SWP_NOSIZE);
        platform.Show(form);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        const e2e::ScreenCopy shot(window);
        const std::wstring& name = form.name();  // README's pictures are copies
        if (dpi == 96 && name != L"Form2") shot.Save(name == L"Form1" ? L"main" : name == L"Form3" ? L"history" : L"settings");
        // High contrast comes on with a palette of its own: every part is painted anew in it at once.
        const COLORREF saved[] = {GetSysColor(kPaletteParts[0]), GetSysColor(kPaletteParts[1])};
        const auto contrastOn = [&](bool on, const COLORREF* palette) {
            SetSysColors(2, kPaletteParts, palette);
            Settle();  // Windows repaints after the colours, the program after the settings message alone
            platform.on = on;
            SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            Settle();
        };
        contrastOn(true, kPalette);
        const e2e::ScreenCopy contrast(window);
        contrastOn(false, saved);
        if (&look == kWindows && dpi == 96) contrast.Save(L"main-contrast");
        RECT client{};
        GetClientRect(window, &client);
        GetWindowRect(window, &frame);
        x = frame.right + 10;
        const LONG boxes = GetWindowLongW(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME);
        EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, boxes}),
                  std::vector<LONG>({pixels(look.width), pixels(look.height), static_cast<LONG>(look.boxes)}));
        // Both pictures of the icon, at this DPI; the small one is also the tray's.
        const auto icon = [&](WPARAM which) { return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)); };
        EXPECT_EQ(std::tuple(IconWidth(icon(ICON_BIG)), IconWidth(icon(ICON_SMALL)), reinterpret_cast<HICON>(form.iconHandle())),
                  std::tuple(MulDiv(32, dpi, 96), MulDiv(16, dpi, 96), icon(ICON_SMALL)));
        std::vector<HFONT> fonts;
        std::vector<HWND> hands, painting;  // the controls that paint themselves
        const auto childNamed = [&](const wchar_t* name) -> std::pair<tk::Control*, HWND> {
            for (tk::Control* k : form.controls())
                if (k->name() == name) return {k, reinterpret_cast<HWND>(k->handle())};
            return {nullptr, nullptr};
        };
        for (const ControlLook& c : look.controls) {
            const HWND child = childNamed(c.name).second;
            ASSERT_NE(child, nullptr) << c.name;
            SCOPED_TRACE(testing::Message() << c.name);
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(child)}),
                      std::vector<LONG>({pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height), c.name != std::wstring(L"Picture1")}));
            // The background is the window's own (the banner's corner is see-through), also behind the text; the text
            // in its colour; in high contrast, both the palette's.
            if (!c.face || c.ink != CLR_INVALID)
                EXPECT_EQ(std::pair(shot.At(child, 0, 0), contrast.At(child, 0, 0)), std::pair(kFace, kPalette[0]));
            if (!c.bars.empty()) ExpectBars(shot, child, c.bars);
            if (c.hand) hands.push_back(child);
            wchar_t cls[32] = L"";
            GetClassNameW(child, cls, 32);
            if (IsWindowVisible(child) && !wcsncmp(cls, L"Czasomir.", 9)) painting.push_back(child);
            if (!lstrcmpiW(cls, L"Edit"))  // a spin box's arrows step this box
                EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(GetWindow(child, GW_HWNDNEXT), UDM_GETBUDDY, 0, 0)), child);
            if (!c.face) continue;
            LOGFONTW f{};
            GetObjectW(fonts.emplace_back(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))), sizeof f, &f);
            EXPECT_EQ(std::tuple(std::wstring(*c.face ? c.face : f.lfFaceName), f.lfHeight, f.lfWeight, f.lfItalic, f.lfUnderline, f.lfCharSet),
                      std::tuple(std::wstring(f.lfFaceName), -std::lround(c.points * dpi / 72), static_cast<LONG>(c.weight), BYTE{c.italic},
                                 BYTE{c.underline}, BYTE{EASTEUROPE_CHARSET}));
            if (c.ink != CLR_INVALID)
                EXPECT_EQ(std::pair(shot.Count(child, [&](COLORREF p) { return p == c.ink; }) > 0,
                                    contrast.Count(child, [&](COLORREF p) { return p == kPalette[1]; }) > 0),
                          std::pair(true, true));
        }
        // The pointer over every part of the window, the background too.
        for (int py = 0; py < client.bottom; py += dpi / 12)
            for (int px = 0; px < client.right; px += dpi / 12) {
                HWND under = ChildWindowFromPointEx(window, {px, py}, CWP_SKIPINVISIBLE);
                SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                wchar_t cls[8]{};  // an edit box's own pointer is the I-beam
                if (std::find(hands.begin(), hands.end(), under) == hands.end())
                    ASSERT_EQ(GetCursor(), GetClassNameW(under, cls, 8) && !lstrcmpiW(cls, L"Edit") ? ibeam : arrow) << "at " << px << "," << py;
            }
        // Painted again and again (a window dragged over it), none keeps a GDI object a paint.
        for (HWND h : painting) {
            const int room = GdiRoom();
            for (int i = 0; i < 200; ++i) SendMessageW(h, WM_PAINT, 0, 0);
            EXPECT_GT(GdiRoom(), room - 100) << h;
        }
        for (const Said& said : kSaid) {
            if (form.name() != said.form) continue;
            const auto [control, child] = childNamed(said.control);
            SCOPED_TRACE(testing::Message() << said.control);
            IAccessible* object = nullptr;
            ASSERT_EQ(AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object)), S_OK);
            VARIANT self{}, role{};
            self.vt = VT_I4;  // CHILDID_SELF
            BSTR name = nullptr, value = nullptr;
            object->get_accName(self, &name), object->get_accRole(self, &role), object->get_accValue(self, &value);
            const bool chart = control->kind() == tk::Kind::BarChart;
            EXPECT_EQ(std::tuple(std::wstring(name ? name : L"?"), said.role ? role.lVal : said.role, std::wstring(value && chart ? value : L"")),
                      std::tuple(std::wstring(said.name), said.role, chart ? czasomir::MakeHistoryChart(Fortnight(20000), 20000).summary : L""));
            SysFreeString(name), SysFreeString(value), object->Release();
        }
        if (form.name() == L"Form2") {  // the links from the keyboard: Tab, Enter, Space, a click
            auto* about = static_cast<czasomir::Form2*>(&form);
            int opened = 0;
            about->Label4.onClick = [&] { ++opened; };
            const HWND link = childNamed(L"Label4").second;
            EXPECT_EQ(GetNextDlgTabItem(window, childNamed(L"Command1").second, FALSE), link);
            for (WPARAM key : {VK_RETURN, VK_SPACE, VK_TAB}) {
                MSG press{link, WM_KEYDOWN, key, 0};
                platform.ProcessMessage(press);
            }
            const NMHDR click{link, static_cast<UINT_PTR>(about->Label4.id()), NM_CLICK};
            SendMessageW(window, WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
            EXPECT_EQ(opened, 3);
        }
        if (const HWND banner = childNamed(L"Image1").second) {  // its words, in the text's colour on the face's; else the picture
            EXPECT_EQ(std::tuple(contrast.Count(banner, [&](COLORREF p) { return p != kPalette[0] && p != kPalette[1]; }),
                                 contrast.Count(banner, [&](COLORREF p) { return p == kPalette[1]; }) > 20,
                                 shot.Count(banner, [&](COLORREF p) { return p != kFace && p != kText; }) > 100),
                      std::tuple(0, true, true));
        }
        if (form.name() == L"Form4") {
            auto* settings = static_cast<czasomir::Form4*>(&form);  // the hours: typed, stepped within range, arrows at the right
            HWND hours = reinterpret_cast<HWND>(settings->Text1.handle());
            RECT box{}, arrows{};
            GetWindowRect(hours, &box), GetWindowRect(GetWindow(hours, GW_HWNDNEXT), &arrows), SetWindowTextW(hours, L"23");
            SendMessageW(hours, WM_KEYDOWN, VK_UP, 0);
            EXPECT_EQ(std::tuple(settings->Text1.text(), arrows.left, arrows.top), std::tuple(std::wstring(L"23"), box.right, box.top));
        }
        // Laid out anew (moved to another screen): the fonts of the old layout are released.
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        for (HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
        if (form.name() == L"Form3") {  // one tooltip a bar; "Otwórz plik" hands a copy to the program for .csv; Escape closes
            int tools = 0;
            for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
                if (GetWindow(tip, GW_OWNER) == window) tools += static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
            EXPECT_EQ(tools, czasomir::kChartDays);
            EXPECT_EQ(GetWindow(window, GW_CHILD), childNamed(L"Command1").second);  // OK first in the tab order
            const e2e::fs::path opened = e2e::fs::temp_directory_path() / L"czasomir-e2e-opened.csv";
            const std::wstring command = L"cmd.exe /c copy /y \"%1\" \"" + opened.wstring() + L"\"";
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {  // Wine's shell reads the machine's classes only
                RegSetKeyValueW(root, L"Software\\Classes\\.csv", nullptr, REG_SZ, L"CzasomirTest.csv", 34);
                RegSetKeyValueW(root, L"Software\\Classes\\CzasomirTest.csv\\shell\\open\\command", nullptr, REG_SZ,
                                command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
            }
            SendMessageW(childNamed(L"Command2").second, BM_CLICK, 0, 0);
            EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Read(opened) == czasomir::FormatHistory(Fortnight(20000)); }));
            for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
                RegDeleteTreeW(root, L"Software\\Classes\\CzasomirTest.csv"), RegDeleteTreeW(root, L"Software\\Classes\\.csv");
            e2e::fs::remove(opened);
            MSG escape{childNamed(L"Command1").second, WM_KEYDOWN, VK_ESCAPE, 0};
            platform.ProcessMessage(escape);
            EXPECT_FALSE(IsWindow(window));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, Look, ::testing::Values(96, 144));

}  // namespace
