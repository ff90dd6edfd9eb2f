// The baseline of the benchmark: one window with a label, a push button and a
// check box (themed, as Czasomir's, in minimal_window_cc6), nothing else. With
// "/tick" it also does what a counting stopwatch does at the least: a 200 ms
// timer that writes a new text into the label.
#include <windows.h>

#include <cwchar>

namespace {

HWND label;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: {
        static unsigned ticks;
        const unsigned seconds = ++ticks / 5;
        wchar_t text[32];
        std::swprintf(text, 32, L"%02u : %02u : %02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
        SetWindowTextW(label, text);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = Proc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"MinimalWindow";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 278, 292, nullptr, nullptr, instance, nullptr);
    label = CreateWindowExW(0, L"STATIC", L"00 : 00 : 00", WS_CHILD | WS_VISIBLE | SS_CENTER, 8, 72, 257, 57, window,
                            nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Start", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 56, 144, 161, 49, window,
                    nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Automatycznie", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 32, 216, 209,
                    25, window, nullptr, instance, nullptr);
    if (std::wcscmp(arguments, L"/tick") == 0) SetTimer(window, 1, 200, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
