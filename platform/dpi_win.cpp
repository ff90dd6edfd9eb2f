#include "platform/dpi_win.h"

namespace tk::win {

namespace {

template <class F>
F User32Function(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

void EnablePerMonitorDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    const auto kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
    if (auto set = User32Function<SetContext>("SetProcessDpiAwarenessContext")) {
        if (set(kPerMonitorAwareV2) || set(kPerMonitorAware)) return;
    }
    if (auto aware = User32Function<BOOL(WINAPI*)()>("SetProcessDPIAware")) aware();
}

UINT WindowDpi(HWND window) {
    static const auto getDpi = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpi && window) {
        UINT dpi = getDpi(window);
        if (dpi) return dpi;
    }
    return SystemDpi();
}

int SystemMetric(int index, UINT dpi) {
    static const auto forDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

RECT WindowRectForClient(RECT client, DWORD style, bool hasMenu, DWORD exStyle, UINT dpi) {
    static const auto adjust =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT r = client;
    if (!adjust || !adjust(&r, style, hasMenu, exStyle, dpi)) {
        r = client;
        AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    }
    return r;
}

LOGFONTW MessageFont(UINT dpi) {
    static const auto forDpi =
        User32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return metrics.lfMessageFont;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
        return metrics.lfMessageFont;
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    return font;
}

}  // namespace tk::win
