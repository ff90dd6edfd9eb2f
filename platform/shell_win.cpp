#include "platform/shell_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <iterator>

#include "platform/toolkit_win.h"

#include "platform/dpi_win.h"
#include "platform/toolkit_win.h"

namespace tk {

// The small icon's size at the DPI of the startup form's window (the system's
// before it has one): unlike the system's own metric for a running program,
// it follows a change of the display's scale.
int Win32Platform::TrayPictureSize() const {
    return win::SystemMetric(SM_CXSMICON, win::WindowDpi(reinterpret_cast<HWND>(startup_ ? WindowHandle(*startup_) : 0)));
}

}  // namespace tk

namespace tk::win {

// LoadIconWithScaleDown, from the common controls that the program's
// LoadIconMetric comes from (version 6, as the manifest asks: both are there).
HICON LoadScaledIcon(int iconResource, int size) {
    HMODULE controls = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&LoadIconMetric)), &controls);
    const auto scaleDown = reinterpret_cast<decltype(&LoadIconWithScaleDown)>(
        reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconWithScaleDown")));
    HICON icon = nullptr;
    return scaleDown && SUCCEEDED(scaleDown(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource), size, size, &icon))
               ? icon
               : nullptr;
}

// shell32 and ole32 are known DLLs: these names always load the system's copies.
ShellLibrary::ShellLibrary() : module_(LoadLibraryW(L"shell32.dll")) {}

void ShellLibrary::KeepLoaded() const {
    HMODULE pinned = nullptr;
    if (module_) GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"shell32.dll", &pinned);
}

namespace {

template <class F>
F Ole32Function(const char* name) {
    const HMODULE ole32 = LoadLibraryW(L"ole32.dll");  // stays loaded with COM
    return ole32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(ole32, name))) : nullptr;
}

// Without COM the shell still opens what needs no extension.
bool InitializeCom() {
    const auto initialize = Ole32Function<HRESULT(WINAPI*)(void*, DWORD)>("CoInitializeEx");
    return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

}  // namespace

void InitComForShell() {
    static const bool done = InitializeCom();
    (void)done;
}

ThreadCom::ThreadCom() {
    if (InitializeCom()) uninitialize_ = Ole32Function<void(WINAPI*)()>("CoUninitialize");
}

ThreadCom::~ThreadCom() {
    if (uninitialize_) uninitialize_();
}

}  // namespace tk::win

namespace tk {

// The notification of an icon already added: a balloon on Windows 7, a toast
// on Windows 10 and 11 (held back under Focus Assist when its flags ask). The
// request is the icon's, with kTrayInfo (process_win.cpp).
bool Win32Platform::ShowBalloon(const TrayIcon& icon) { return NotifyIcon(TrayOp::Modify, icon); }

}  // namespace tk
