#include "platform/toolkit_win.h"
#include "platform/shell_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "platform/accessible_win.h"
#include "platform/chart_win.h"
#include "platform/dpi_win.h"
#include "platform/picture_win.h"

namespace tk {

namespace win {

struct FormWindow {
    explicit FormWindow(Form& f) : form(f) {}

    Form& form;
    HWND hwnd = nullptr;
    UINT dpi = 96;
    HMENU menu = nullptr;  // the menu bar; it goes with the window
    HWND toolTip = nullptr;  // owned by the window, destroyed with it
    std::map<const Control*, HWND> children;
    UniqueFont defaultFont;
    std::map<const Control*, UniqueFont> ownFonts;  // labels with a font of their own
    std::map<const Control*, Picture> pictures;
    UniqueIcon bigIcon, smallIcon;
    int state = kNormal;     // the window state the form last saw
    bool shown = false;      // displayed at least once
    HWND savedFocus = nullptr;  // the control that had the focus when the window was deactivated
    HWND modalOwner = nullptr;  // disabled while this form is shown modal
    POINT trayAnchor{};  // where the last tray notification to a picture box points (screen)

    Control* ControlById(int id) const {
        for (Control* c : form.controls())
            if (c->id() == id) return c;
        return nullptr;
    }
    Control* ControlByHandle(HWND child) const {
        for (auto& [control, h] : children)
            if (h == child) return const_cast<Control*>(control);
        return nullptr;
    }
};

}  // namespace win

using win::FormWindow;

namespace {

const wchar_t kPictureBoxClass[] = L"Czasomir.PictureBox";
const wchar_t kImageClass[] = L"Czasomir.Image";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

FormWindow* FormOf(HWND hwnd) { return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// From WM_QUERYENDSESSION until WM_ENDSESSION: the session is ending.
bool sessionEnding = false;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// The control behind a child window of one of the program's own classes.
Control* OwnControl(HWND child) {
    FormWindow* w = FormOf(GetParent(child));
    return w ? w->ControlByHandle(child) : nullptr;
}

// Menus ----------------------------------------------------------------------

HMENU BuildMenu(const std::vector<MenuItem*>& items, bool bar) {
    HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
    for (const MenuItem* item : items) {
        if (item->separator())
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else if (!item->items.empty())
            AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(item->items, false)),
                        item->caption.c_str());
        else
            AppendMenuW(menu, MF_STRING | (item->checked ? MF_CHECKED : 0), static_cast<UINT_PTR>(item->id),
                        item->caption.c_str());
    }
    return menu;
}

const MenuItem* FindMenuItem(const std::vector<MenuItem*>& items, int id) {
    for (const MenuItem* item : items) {
        if (item->id == id && !item->separator() && item->items.empty()) return item;
        if (const MenuItem* found = FindMenuItem(item->items, id)) return found;
    }
    return nullptr;
}

// Fonts ------------------------------------------------------------------------

// The form's default font: the system's message font at the window's DPI, in the
// Central European character set, no taller than 8 points so that a two-line
// check box caption fits in its 25 pixels (at 96 DPI).
LOGFONTW DefaultFont(UINT dpi) {
    LOGFONTW font = win::MessageFont(dpi);
    const LONG eightPoints = -MulDiv(8, static_cast<int>(dpi), 72);
    if (font.lfHeight < eightPoints || font.lfHeight > 0) font.lfHeight = eightPoints;
    font.lfCharSet = EASTEUROPE_CHARSET;
    return font;
}

bool IsSerifFace(const std::wstring& face) {
    const bool sans = face.find(L"Sans") != std::wstring::npos;
    return face.find(L"Times") != std::wstring::npos || (face.find(L"Serif") != std::wstring::npos && !sans);
}

LOGFONTW LabelFont(const Font& f, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(f.points * dpi / 72.0 + 0.5);
    font.lfWeight = f.weight;
    font.lfItalic = f.italic;
    font.lfUnderline = f.underline;
    font.lfCharSet = static_cast<BYTE>(f.charset);
    font.lfOutPrecision = OUT_TT_PRECIS;  // a TrueType face scales cleanly; GDI substitutes a missing face
    font.lfQuality = DEFAULT_QUALITY;
    // A face that is not installed falls back to the nearest face of its family.
    font.lfPitchAndFamily = DEFAULT_PITCH | (IsSerifFace(f.face) ? FF_ROMAN : FF_SWISS);
    lstrcpynW(font.lfFaceName, f.face.c_str(), LF_FACESIZE);
    return font;
}

// Child windows --------------------------------------------------------------

// A link's caption as the SysLink control's markup: the whole text is the link.
std::wstring LinkText(const Label& label) { return L"<a>" + label.caption() + L"</a>"; }

// The label behind a link's window, else null.
Label* LinkOf(const FormWindow& w, HWND child) {
    Control* c = w.ControlByHandle(child);
    return c && c->kind() == Kind::Label && static_cast<Label*>(c)->link ? static_cast<Label*>(c) : nullptr;
}

// Focusable controls come first in tab order; the others after them, in order of creation.
std::vector<Control*> InZOrder(const Form& form) {
    auto key = [](const Control* c) { return c->tabIndex() < 0 ? INT_MAX : c->tabIndex(); };
    // Each goes after those with the same key: a stable insertion, which a form's
    // handful of controls needs no merge sort for.
    std::vector<Control*> order;
    for (Control* c : form.controls())
        if (c->kind() != Kind::Timer)
            order.insert(std::upper_bound(order.begin(), order.end(), c,
                                          [&](const Control* a, const Control* b) { return key(a) < key(b); }),
                         c);
    return order;
}

// A spin box: an edit box for digits and, next in the window order, an up-down
// control that steps the number in the edit box (LayOut puts it to the box's right).
HWND CreateSpinBox(FormWindow& w, SpinBox& box, DWORD style) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", box.text().c_str(), style | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL,
                                0, 0, 0, 0, w.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(box.id())), Instance(), nullptr);
    HWND arrows = edit ? CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                         WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
                                         0, w.hwnd, nullptr, Instance(), nullptr)
                       : nullptr;
    if (arrows) {
        SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(box.minimum), box.maximum);
    }
    return edit;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND CreateChild(FormWindow& w, Control& c) {
    DWORD style = WS_CHILD | (c.visible() ? WS_VISIBLE : 0);
    const wchar_t* cls = L"STATIC";
    std::wstring text;
    switch (c.kind()) {
    case Kind::Label: {
        auto& label = static_cast<Label&>(c);
        if (label.link) {
            cls = WC_LINK;
            style |= WS_TABSTOP;
            text = LinkText(label);
            break;
        }
        style |= SS_NOTIFY | SS_NOPREFIX | (label.align == Align::Center ? SS_CENTER : SS_LEFT);
        text = label.caption();
        break;
    }
    case Kind::CommandButton:
        cls = L"BUTTON";
        style |= WS_TABSTOP | (&c == w.form.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        text = static_cast<CommandButton&>(c).caption();
        break;
    case Kind::CheckBox:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE;
        text = static_cast<CheckBox&>(c).caption;
        break;
    case Kind::PictureBox: cls = kPictureBoxClass; break;
    case Kind::Image: cls = kImageClass; break;
    case Kind::BarChart: cls = win::kBarChartClass; break;
    case Kind::SpinBox: return CreateSpinBox(w, static_cast<SpinBox&>(c), style);
    case Kind::Timer: return nullptr;
    }
    return CreateWindowExW(0, cls, text.c_str(), style, 0, 0, 0, 0, w.hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id())), Instance(), nullptr);
}

void AddToolTip(FormWindow& w, HWND child, const std::wstring& text) {
    if (!w.toolTip)
        w.toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.hwnd, nullptr,
                                    Instance(), nullptr);
    if (!w.toolTip) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = w.hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(w.toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetTimerState(FormWindow& w, const Timer& timer) {
    if (timer.enabled())
        SetTimer(w.hwnd, static_cast<UINT_PTR>(timer.id()), static_cast<UINT>(timer.interval()), nullptr);
    else
        KillTimer(w.hwnd, static_cast<UINT_PTR>(timer.id()));
}

void CreateControls(FormWindow& w) {
    for (Control* c : InZOrder(w.form)) {
        HWND child = CreateChild(w, *c);
        if (!child) continue;
        w.children[c] = child;
        if (c->kind() == Kind::CheckBox) {
            auto& box = static_cast<CheckBox&>(*c);
            SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(box.value()), 0);
            if (!box.toolTip.empty()) AddToolTip(w, child, box.toolTip);
        }
        if (c->kind() == Kind::Image)
            w.pictures[c] = win::Picture::FromResource(Instance(), static_cast<Image&>(*c).pictureResource());
        if (c->kind() == Kind::BarChart) win::AttachBarChart(child, static_cast<BarChart&>(*c));
    }
    for (Control* c : w.form.controls())
        if (c->kind() == Kind::Timer) SetTimerState(w, static_cast<Timer&>(*c));
}

void LoadIcons(FormWindow& w) {
    if (!w.form.iconResource) return;
    auto load = [&](int cx, int cy) {  // 150 %: the 32-pixel picture scaled down, sharper than stretched up
        const int width = win::SystemMetric(cx, w.dpi), height = win::SystemMetric(cy, w.dpi);
        HICON icon = width == height ? win::LoadScaledIcon(w.form.iconResource, width) : nullptr;
        return win::UniqueIcon(icon ? icon : static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(w.form.iconResource),
                                                                           IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    };
    w.bigIcon = load(SM_CXICON, SM_CYICON);
    w.smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(w.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(w.bigIcon.get()));
    SendMessageW(w.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(w.smallIcon.get()));
}

// Sizes the window for its client area and places the controls, in pixels at
// the window's DPI; the fonts are made anew for that DPI.
void LayOut(FormWindow& w) {
    w.dpi = win::WindowDpi(w.hwnd);
    const UINT dpi = w.dpi;

    const LONG style = GetWindowLongW(w.hwnd, GWL_STYLE), exStyle = GetWindowLongW(w.hwnd, GWL_EXSTYLE);
    const RECT client{0, 0, win::TwipsToPixels(w.form.clientWidth, dpi), win::TwipsToPixels(w.form.clientHeight, dpi)};
    const RECT frame = win::WindowRectForClient(client, style, w.menu != nullptr, exStyle, dpi);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(w.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes more room than computed: correct by the difference.
    RECT actual{};
    GetClientRect(w.hwnd, &actual);
    if (actual.right != client.right || actual.bottom != client.bottom) {
        width += client.right - actual.right;
        height += client.bottom - actual.bottom;
        SetWindowPos(w.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    LOGFONTW defaultFont = DefaultFont(dpi);
    win::UniqueFont oldDefault = std::move(w.defaultFont);
    w.defaultFont = win::UniqueFont(CreateFontIndirectW(&defaultFont));
    std::map<const Control*, win::UniqueFont> oldFonts = std::move(w.ownFonts);
    w.ownFonts.clear();
    for (auto& [control, child] : w.children) {
        const Bounds& b = control->bounds();
        MoveWindow(child, win::TwipsToPixels(b.left, dpi), win::TwipsToPixels(b.top, dpi),
                   win::TwipsToPixels(b.width, dpi), win::TwipsToPixels(b.height, dpi), TRUE);
        if (control->kind() == Kind::SpinBox)  // the arrows, as wide as a scroll bar, right of the box
            MoveWindow(GetWindow(child, GW_HWNDNEXT), win::TwipsToPixels(b.left + b.width, dpi),
                       win::TwipsToPixels(b.top, dpi), win::SystemMetric(SM_CXVSCROLL, dpi),
                       win::TwipsToPixels(b.height, dpi), TRUE);
        HFONT font = w.defaultFont.get();
        if (control->kind() == Kind::Label && static_cast<const Label*>(control)->hasFont) {
            LOGFONTW own = LabelFont(static_cast<const Label*>(control)->font, dpi);
            font = (w.ownFonts[control] = win::UniqueFont(CreateFontIndirectW(&own))).get();
        }
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (w.toolTip) SendMessageW(w.toolTip, TTM_SETMAXTIPWIDTH, 0, MulDiv(300, static_cast<int>(dpi), 96));
}

HWND FirstTabStop(const FormWindow& w) { return GetNextDlgTabItem(w.hwnd, nullptr, FALSE); }

// Message handlers of a form's window ----------------------------------------

void OnCommand(FormWindow& w, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    const auto from = reinterpret_cast<HWND>(lParam);
    if (!from) {  // a menu command
        if (const MenuItem* item = FindMenuItem(w.form.menu(), id)) Dispatch(item->onClick);
        return;
    }
    Control* c = w.ControlByHandle(from);
    if (!c) return;
    switch (c->kind()) {
    case Kind::CommandButton:
        if (code == BN_CLICKED) static_cast<CommandButton*>(c)->raiseClick();
        break;
    case Kind::CheckBox:
        if (code == BN_CLICKED)
            static_cast<CheckBox*>(c)->userClicked(static_cast<int>(SendMessageW(from, BM_GETCHECK, 0, 0)));
        break;
    case Kind::Label:
        if (code == STN_CLICKED) static_cast<Label*>(c)->raiseClick();
        break;
    case Kind::SpinBox:
        if (code == EN_CHANGE) static_cast<SpinBox*>(c)->userTyped(TextOf(from));
        break;
    default: break;
    }
}

void OnTimer(FormWindow& w, WPARAM id) {
    Control* c = w.ControlById(static_cast<int>(id));
    if (c && c->kind() == Kind::Timer) static_cast<Timer*>(c)->raiseTick();
}

// Labels (and the links' background): the system's colours, whatever they are now.
LRESULT OnControlColor(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// A link clicked (or its default action taken): its Click.
void OnNotify(FormWindow& w, const NMHDR& header) {
    if (header.code != NM_CLICK && header.code != NM_RETURN) return;
    if (Label* link = LinkOf(w, header.hwndFrom)) link->raiseClick();
}

// Colours, high contrast or the theme changed: every part is painted anew at
// once, the common controls told of new colours first.
void OnColoursChanged(FormWindow& w, UINT message) {
    if (message == WM_SYSCOLORCHANGE)
        for (auto& [control, child] : w.children) SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(w.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void OnSize(FormWindow& w, WPARAM kind) {
    if (kind != SIZE_MINIMIZED && kind != SIZE_RESTORED && kind != SIZE_MAXIMIZED) return;
    const int state = kind == SIZE_MINIMIZED ? kMinimized : kNormal;
    if (!w.shown || state == w.state) return;
    w.state = state;
    w.form.raiseResize();
}

void OnActivate(FormWindow& w, WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) return;
    HWND focus = GetFocus();
    if (focus && IsChild(w.hwnd, focus)) w.savedFocus = focus;
}

// The window itself takes no keys: the focus goes on to its control.
void OnSetFocus(FormWindow& w) {
    HWND target = w.savedFocus && IsWindow(w.savedFocus) && IsWindowVisible(w.savedFocus) ? w.savedFocus
                                                                                          : FirstTabStop(w);
    if (target) SetFocus(target);
}

void OnDpiChanged(FormWindow& w, const RECT& suggested) {
    SetWindowPos(w.hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(w);
    w.form.raiseDpiChanged();
}

// Forms on this backend belong to a Win32Platform.
Win32Platform& Backend(FormWindow& w) { return static_cast<Win32Platform&>(w.form.platform()); }

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* w = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        w->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    }
    FormWindow* w = FormOf(hwnd);
    if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Every handler goes through Dispatch; this guard is for the toolkit's own steps.
    try {
        if (message == TaskbarCreatedMessage() && message != 0) {
            w->form.raiseTaskbarCreated();
            return 0;
        }
        if (message == win::AnotherStartMessage() && message != 0) {
            w->form.raiseAnotherStart();
            return 0;
        }
        switch (message) {
        case WM_COMMAND: OnCommand(*w, wParam, lParam); return 0;
        case WM_TIMER: OnTimer(*w, wParam); return 0;
        case WM_CTLCOLORSTATIC: return OnControlColor(reinterpret_cast<HDC>(wParam));
        case WM_NOTIFY: OnNotify(*w, *reinterpret_cast<const NMHDR*>(lParam)); return 0;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: OnColoursChanged(*w, message); return 0;
        case WM_SIZE: OnSize(*w, wParam); return 0;
        case WM_ACTIVATE: OnActivate(*w, wParam); break;
        case WM_SETFOCUS: OnSetFocus(*w); return 0;
        case WM_CLOSE:
            if (w->form.raiseUnload()) w->form.unload();
            return 0;
        case WM_QUERYENDSESSION: sessionEnding = true; return TRUE;
        case WM_ENDSESSION:
            sessionEnding = wParam != FALSE;
            if (wParam) w->form.raiseUnload();  // saves what must survive before Windows ends the process
            return 0;
        case WM_DPICHANGED: OnDpiChanged(*w, *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_POWERBROADCAST: Backend(*w).PowerBroadcast(wParam, lParam); return TRUE;
        case WM_WTSSESSION_CHANGE: Backend(*w).SessionChanged(w->form, wParam); return 0;
        case Win32Platform::kSessionServiceReady: Backend(*w).SessionServiceReady(w->form); return 0;
        default: break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The picture box: a window that reports mouse presses in twips. It is also
// where the shell sends the tray icon's notifications (numbered as a left
// press): the notification's number in the low word of lParam, its point on
// the screen (the pointer, or the icon for the keyboard) in wParam.
LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    int button = 0;
    switch (message) {
    case WM_LBUTTONDOWN: button = 1; break;
    case WM_RBUTTONDOWN: button = 2; break;
    case WM_MBUTTONDOWN: button = 4; break;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        if (auto* box = static_cast<PictureBox*>(OwnControl(hwnd))) {
            if (button == 1) FormOf(GetParent(hwnd))->trayAnchor = {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
            const int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                              (GetKeyState(VK_MENU) < 0 ? 4 : 0);
            const double twips = box->twipsPerPixel();
            // Signed 16-bit pixel positions; the shell's tray messages put their mouse message number in x.
            box->raiseMouseDown(button, shift, GET_X_LPARAM(lParam) * twips, GET_Y_LPARAM(lParam) * twips);
        }
    } catch (...) {
    }
    return 0;
}

// The image's words in high contrast: the title in bold on the upper part, the
// subtitle under it, centred, in the window's text colour on its background
// and without smoothing, so that no other colour appears.
void DrawWords(HDC dc, const RECT& area, const Image& image, UINT dpi) {
    LOGFONTW font = win::MessageFont(dpi);
    font.lfQuality = NONANTIALIASED_QUALITY;
    const int height = area.bottom - area.top;
    RECT top = area, bottom = area;
    top.bottom = bottom.top = area.top + height * 3 / 5;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));  // the window's text colour
    for (const auto& [text, part, weight, share] : {std::tuple(&image.title, &top, FW_BOLD, 55), std::tuple(&image.subtitle, &bottom, FW_NORMAL, 33)}) {
        font.lfHeight = -height * share / 100;
        font.lfWeight = weight;
        win::UniqueFont made(CreateFontIndirectW(&font));
        const HGDIOBJ old = SelectObject(dc, made.get());
        DrawTextW(dc, text->c_str(), -1, part, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
}

win::AccessibleTexts ImageTexts(HWND hwnd) {
    const Control* c = OwnControl(hwnd);
    if (!c || c->kind() != Kind::Image) return {};
    return {static_cast<const Image*>(c)->accessibleName(), L"", win::kRoleGraphic};
}

// The image: its picture at its own size (or its words, in high contrast) over
// the button-face background.
LRESULT CALLBACK ImageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;  // painted whole in WM_PAINT
    if (message == WM_GETOBJECT) {
        if (const LRESULT object = win::AnswerGetObject(hwnd, wParam, lParam, ImageTexts)) return object;
    }
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    FormWindow* w = FormOf(GetParent(hwnd));
    if (Control* c = w ? w->ControlByHandle(hwnd) : nullptr) {
        auto it = w->pictures.find(c);
        if (static_cast<Image*>(c)->showsWords())
            DrawWords(dc, area, *static_cast<Image*>(c), w->dpi);
        else if (it != w->pictures.end())
            it->second.Draw(dc, 0, 0, w->dpi);
    }
    EndPaint(hwnd, &paint);
    return 0;
}

void RegisterWindowClass(const wchar_t* name, WNDPROC proc, HICON icon = nullptr) {
    WNDCLASSEXW cls{};
    if (GetClassInfoExW(Instance(), name, &cls)) return;
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = proc;
    cls.hInstance = Instance();
    cls.hIcon = icon;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = name;
    RegisterClassExW(&cls);
}

bool IsKeyDown(const MSG& m, WPARAM key) { return m.message == WM_KEYDOWN && m.wParam == key; }

}  // namespace

// Platform -----------------------------------------------------------------------

Win32Platform::Win32Platform() {
    win::EnablePerMonitorDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    RegisterWindowClass(kPictureBoxClass, PictureBoxProc);
    RegisterWindowClass(kImageClass, ImageProc);
    RegisterWindowClass(win::kBarChartClass, win::BarChartProc);
}

Win32Platform::~Win32Platform() {
    while (!windows_.empty()) Destroy(windows_.begin()->second->form);
}

FormWindow* Win32Platform::Find(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

FormWindow* Win32Platform::FindByHandle(HWND hwnd) const {
    for (auto& [form, w] : windows_)
        if (w->hwnd == hwnd) return w.get();
    return nullptr;
}

void Win32Platform::Create(Form& form) {
    if (Find(form)) return;
    const std::wstring cls = L"Czasomir." + form.name();
    RegisterWindowClass(cls.c_str(), FormProc);

    auto owned = std::make_unique<FormWindow>(form);
    FormWindow& w = *owned;
    windows_[&form] = std::move(owned);
    w.menu = form.menu().empty() ? nullptr : BuildMenu(form.menu(), true);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (form.minButton ? WS_MINIMIZEBOX : 0) |
                        (form.maxButton ? WS_MAXIMIZEBOX : 0);  // the size comes from LayOut, once the DPI is known
    if (!CreateWindowExW(0, cls.c_str(), form.caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                         w.menu, Instance(), &w)) {
        if (w.menu) DestroyMenu(w.menu);
        windows_.erase(&form);
        return;
    }
    if (auto allow = reinterpret_cast<BOOL(WINAPI*)(HWND, UINT, DWORD, void*)>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")))) {
        allow(w.hwnd, TaskbarCreatedMessage(), 1 /* MSGFLT_ALLOW */, nullptr);  // reaches an elevated process too
        allow(w.hwnd, win::AnotherStartMessage(), 1 /* MSGFLT_ALLOW */, nullptr);
    }
    w.dpi = win::WindowDpi(w.hwnd);
    LoadIcons(w);
    CreateControls(w);
    LayOut(w);
    form.setCreated(true);
}

void Win32Platform::Destroy(Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) {
        form.setCreated(false);
        return;
    }
    std::unique_ptr<FormWindow> w = std::move(it->second);
    windows_.erase(it);
    if (w->modalOwner) {
        // The owner comes back before the dialog goes, so no other window flashes to the front.
        EnableWindow(w->modalOwner, TRUE);
        SetActiveWindow(w->modalOwner);
    }
    SetWindowLongPtrW(w->hwnd, GWLP_USERDATA, 0);  // no more events for this form
    DestroyWindow(w->hwnd);
    form.setCreated(false);
    if (&form == startup_) PostQuitMessage(0);
}

void Win32Platform::Show(Form& form) {
    FormWindow* w = Find(form);
    if (!w || IsWindowVisible(w->hwnd)) return;
    const bool first = !w->shown;
    w->state = kNormal;  // what the window becomes: its own WM_SIZE then reports no change
    ShowWindow(w->hwnd, IsIconic(w->hwnd) ? SW_RESTORE : SW_SHOW);
    w->shown = true;
    w->state = IsIconic(w->hwnd) ? kMinimized : kNormal;
    if (first) {
        if (HWND target = FirstTabStop(*w)) SetFocus(target);
    }
    form.raiseResize();
}

void Win32Platform::ShowModal(Form& form, Form& owner) {
    FormWindow* w = Find(form);
    if (!w) return;
    FormWindow* o = Find(owner);
    if (o) {
        SetWindowLongPtrW(w->hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(o->hwnd));  // stays above its owner
        w->modalOwner = o->hwnd;
        EnableWindow(o->hwnd, FALSE);
    }
    HWND ownerHwnd = o ? o->hwnd : nullptr;
    Show(form);
    MSG message;
    while (Find(form)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            break;
        }
        if (got < 0) break;
        ProcessMessage(message);
    }
    if (Find(form)) Destroy(form);
    if (ownerHwnd && IsWindow(ownerHwnd)) EnableWindow(ownerHwnd, TRUE);
}

void Win32Platform::Hide(Form& form) {
    if (FormWindow* w = Find(form)) ShowWindow(w->hwnd, SW_HIDE);
}

bool Win32Platform::IsVisible(const Form& form) const {
    const FormWindow* w = Find(form);
    return w && IsWindowVisible(w->hwnd);
}

int Win32Platform::WindowState(const Form& form) const {
    const FormWindow* w = Find(form);
    return w ? w->state : kNormal;
}

void Win32Platform::SetWindowState(Form& form, int state) {
    FormWindow* w = Find(form);
    if (!w || w->state == state) return;
    if (IsWindowVisible(w->hwnd))
        ShowWindow(w->hwnd, state == kMinimized ? SW_MINIMIZE : SW_RESTORE);  // WM_SIZE raises Resize
    else
        w->state = state;  // a hidden window is shown restored anyway
}

void Win32Platform::Focus(Form& form) {
    if (FormWindow* w = Find(form); w && IsWindowVisible(w->hwnd)) SetFocus(w->hwnd);
}

void Win32Platform::Focus(Control& control) {
    if (HWND child = reinterpret_cast<HWND>(WindowHandle(control)); child && IsWindowVisible(child)) SetFocus(child);
}

void Win32Platform::Activate(Form& form) {
    if (FormWindow* w = Find(form)) SetActiveWindow(w->hwnd);
}

Handle Win32Platform::WindowHandle(const Form& form) const {
    const FormWindow* w = Find(form);
    return w ? reinterpret_cast<Handle>(w->hwnd) : 0;
}

Handle Win32Platform::WindowHandle(const Control& control) const {
    const FormWindow* w = Find(control.form());
    if (!w) return 0;
    auto it = w->children.find(&control);
    return it == w->children.end() ? 0 : reinterpret_cast<Handle>(it->second);
}

Handle Win32Platform::IconHandle(const Form& form) const {
    const FormWindow* w = Find(form);
    return w ? reinterpret_cast<Handle>(w->smallIcon.get()) : 0;
}

void Win32Platform::CaptionChanged(Form& form) {
    if (FormWindow* w = Find(form)) SetWindowTextW(w->hwnd, form.caption.c_str());
}

void Win32Platform::MenuItemChanged(Form& form, const MenuItem& item) {
    if (FormWindow* w = Find(form); w && w->menu)
        CheckMenuItem(w->menu, static_cast<UINT>(item.id), MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
}

double Win32Platform::TwipsPerPixel(const Form& form) const {
    const FormWindow* w = Find(form);
    return 1440.0 / (w ? w->dpi : win::WindowDpi(nullptr));
}

void Win32Platform::Changed(Control& control) {
    FormWindow* w = Find(control.form());
    if (!w) return;
    if (control.kind() == Kind::Timer) {
        SetTimerState(*w, static_cast<Timer&>(control));
        return;
    }
    HWND child = reinterpret_cast<HWND>(WindowHandle(control));
    if (!child) return;
    switch (control.kind()) {
    case Kind::Label: {
        const auto& label = static_cast<Label&>(control);
        SetWindowTextW(child, (label.link ? LinkText(label) : label.caption()).c_str());
        break;
    }
    case Kind::CommandButton: SetWindowTextW(child, static_cast<CommandButton&>(control).caption().c_str()); break;
    case Kind::CheckBox:  // raises no notification: the check box raises its Click itself
        SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(static_cast<CheckBox&>(control).value()), 0);
        break;
    case Kind::BarChart: win::BarChartChanged(child); break;
    case Kind::SpinBox: SetWindowTextW(child, static_cast<SpinBox&>(control).text().c_str()); break;
    default: break;
    }
}

// The menu of a tray icon: the window first to the front, so that a click
// elsewhere closes the menu; an empty message after it, so that a second
// opening works at once.
bool Win32Platform::PopupMenu(Form& owner, MenuItem& menu) {
    FormWindow* w = Find(owner);
    HMENU popup = w ? BuildMenu(menu.items, false) : nullptr;
    if (!popup) return false;
    for (std::size_t i = 0; i < menu.items.size(); ++i)
        if (menu.items[i]->isDefault) SetMenuDefaultItem(popup, static_cast<UINT>(i), TRUE);
    const HWND window = w->hwnd;
    const POINT at = w->trayAnchor;
    SetForegroundWindow(window);
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const int chosen = static_cast<int>(
        TrackPopupMenuEx(popup, align | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(popup);
    const MenuItem* item = FindMenuItem(menu.items, chosen);
    if (item) Dispatch(item->onClick);
    return item != nullptr;
}

// A window with a dialog or message box open brings that forward instead.
void Win32Platform::ToForeground(Form& form) {
    if (FormWindow* w = Find(form)) SetForegroundWindow(GetLastActivePopup(w->hwnd));
}

void Win32Platform::ProcessMessage(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (FormWindow* w = root ? FindByHandle(root) : nullptr) {
        // Enter or Space on a link opens it.
        if (IsKeyDown(message, VK_RETURN) || IsKeyDown(message, VK_SPACE)) {
            if (Label* link = LinkOf(*w, message.hwnd)) return link->raiseClick();
        }
        // Enter presses the focused push button, else the form's default button;
        // Escape presses its cancel button. A form without them ignores the keys.
        if (IsKeyDown(message, VK_RETURN) || IsKeyDown(message, VK_ESCAPE)) {
            const Control* c = w->ControlByHandle(message.hwnd);
            if (message.wParam == VK_ESCAPE)
                c = w->form.cancelButton;
            else if (!c || c->kind() != Kind::CommandButton)
                c = w->form.defaultButton;
            auto it = c ? w->children.find(c) : w->children.end();
            if (it != w->children.end())
                SendMessageW(root, WM_COMMAND, MAKEWPARAM(c->id(), BN_CLICKED), reinterpret_cast<LPARAM>(it->second));
            return;
        }
        if (IsDialogMessageW(root, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Win32Platform::SessionEnding() { return sessionEnding; }

// The Restart Manager closes the program for an update through its session-end
// messages (ENDSESSION_CLOSEAPP), which save and end it as a session's end does.
void Win32Platform::RegisterRestart(const std::wstring& arguments) {
    RegisterApplicationRestart(arguments.c_str(), RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

bool Win32Platform::HighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

int Win32Platform::Run(Form& startup) {
    startup_ = &startup;
    Create(startup);
    if (FormWindow* w = Find(startup)) WatchStandby(w->hwnd);
    startup.raiseLoad();
    if (!startup.created()) return 0;
    Show(startup);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

}  // namespace tk
