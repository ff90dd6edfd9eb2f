#include "platform/chart_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/accessible_win.h"

namespace tk::win {

namespace {

struct ChartWindow {
    const BarChart* chart = nullptr;
    HFONT font = nullptr;  // the form's, set by WM_SETFONT
    HWND toolTip = nullptr;
    std::size_t tools = 0;
};

ChartWindow* StateOf(HWND hwnd) { return reinterpret_cast<ChartWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Where everything goes, in pixels, from the client size and the font's line height.
struct Geometry {
    RECT plot{};        // the bars stand on its bottom; the top of the scale is its top
    double slot = 0;    // the width each bar has
    int line = 0;       // a line of text
};

Geometry Measure(HWND hwnd, HDC dc, const BarChart& chart) {
    RECT client{};
    GetClientRect(hwnd, &client);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    Geometry g;
    g.line = std::max<int>(1, metrics.tmHeight);
    int scaleWidth = 0;
    for (const BarChart::Mark& mark : chart.marks()) {
        SIZE size{};
        GetTextExtentPoint32W(dc, mark.label.c_str(), static_cast<int>(mark.label.size()), &size);
        scaleWidth = std::max<int>(scaleWidth, size.cx);
    }
    g.plot = {scaleWidth + g.line / 2, g.line / 2, client.right - g.line / 4, client.bottom - 2 * g.line - g.line / 4};
    g.plot.bottom = std::max(g.plot.bottom, g.plot.top + 1);
    g.slot = chart.bars().empty() ? 0 : static_cast<double>(g.plot.right - g.plot.left) / chart.bars().size();
    return g;
}

int Y(const Geometry& g, double value, double top) {
    return g.plot.bottom - static_cast<int>(std::lround(std::clamp(value / top, 0.0, 1.0) * (g.plot.bottom - g.plot.top)));
}

RECT SlotRect(const Geometry& g, std::size_t i, int top, int bottom) {
    return {g.plot.left + static_cast<int>(std::lround(i * g.slot)), top,
            g.plot.left + static_cast<int>(std::lround((i + 1) * g.slot)), bottom};
}

void Paint(HWND hwnd, HDC dc, const ChartWindow& state) {
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (!state.chart) return;
    const BarChart& chart = *state.chart;
    const HGDIOBJ oldFont = SelectObject(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    const Geometry g = Measure(hwnd, dc, chart);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));

    for (const BarChart::Mark& mark : chart.marks()) {  // the scale: a line and its label at each mark
        const int y = Y(g, mark.value, chart.top());
        RECT line{g.plot.left, y, g.plot.right, y + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
        RECT text{0, y - g.line / 2, g.plot.left - g.line / 4, y + g.line / 2 + 1};
        DrawTextW(dc, mark.label.c_str(), -1, &text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    for (std::size_t i = 0; i < chart.bars().size(); ++i) {
        const BarChart::Bar& bar = chart.bars()[i];
        RECT slot = SlotRect(g, i, g.plot.top, g.plot.bottom);
        const int margin = (slot.right - slot.left) / 5;
        RECT column{slot.left + margin, Y(g, bar.value, chart.top()), slot.right - margin, g.plot.bottom};
        if (bar.value > 0 && column.top == column.bottom) --column.top;  // a short day still shows
        if (bar.value > 0) FillRect(dc, &column, GetSysColorBrush(COLOR_HIGHLIGHT));
        RECT label = SlotRect(g, i, g.plot.bottom + g.line / 4, client.bottom);
        DrawTextW(dc, bar.label.c_str(), -1, &label, DT_CENTER | DT_NOPREFIX | DT_NOCLIP);
    }
    SelectObject(dc, oldFont);
}

// One tool a bar, over its whole slot; made anew when the data, the size or the font change.
void UpdateToolTips(HWND hwnd, ChartWindow& state) {
    if (!state.chart) return;
    if (!state.toolTip)
        state.toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (!state.toolTip) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd;
    for (; state.tools > 0; --state.tools) {
        tool.uId = state.tools - 1;
        SendMessageW(state.toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    HDC dc = GetDC(hwnd);
    const HGDIOBJ oldFont = SelectObject(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    const Geometry g = Measure(hwnd, dc, *state.chart);
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
    RECT client{};
    GetClientRect(hwnd, &client);
    tool.uFlags = TTF_SUBCLASS;
    for (const BarChart::Bar& bar : state.chart->bars()) {
        tool.uId = state.tools;
        tool.rect = SlotRect(g, state.tools, 0, client.bottom);
        tool.lpszText = const_cast<wchar_t*>(bar.toolTip.c_str());
        if (SendMessageW(state.toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) ++state.tools;
    }
}

AccessibleTexts ChartTexts(HWND hwnd) {
    const ChartWindow* state = StateOf(hwnd);
    if (!state || !state->chart) return {};
    return {state->chart->accessibleName, state->chart->summary(), kRoleChart};
}

}  // namespace

void AttachBarChart(HWND chart, const BarChart& control) {
    if (ChartWindow* state = StateOf(chart)) {
        state->chart = &control;
        BarChartChanged(chart);
    }
}

void BarChartChanged(HWND chart) {
    if (ChartWindow* state = StateOf(chart)) UpdateToolTips(chart, *state);
    InvalidateRect(chart, nullptr, TRUE);
}

LRESULT CALLBACK BarChartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ChartWindow* state = StateOf(hwnd);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ChartWindow));
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete state;
        break;
    case WM_DESTROY:
        if (state && state->toolTip) DestroyWindow(state->toolTip), state->toolTip = nullptr;
        break;
    case WM_SETFONT:
        if (state) state->font = reinterpret_cast<HFONT>(wParam);
        BarChartChanged(hwnd);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state ? state->font : nullptr);
    case WM_SIZE: BarChartChanged(hwnd); return 0;
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(hwnd, wParam, lParam, ChartTexts)) return object;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        if (state) Paint(hwnd, dc, *state);
        EndPaint(hwnd, &paint);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tk::win
