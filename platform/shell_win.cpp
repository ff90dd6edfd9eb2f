#include "platform/shell_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <iterator>

#include "platform/toolkit_win.h"

namespace tk::win {

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
// title is the program's name, which the shell needs to show the icon beside it.
bool Win32Platform::ShowBalloon(const TrayIcon& icon) {
    const win::ShellLibrary shell;
    const auto notify = shell.Function<decltype(&Shell_NotifyIconW)>("Shell_NotifyIconW");
    if (!notify) return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(icon.window);
    data.uID = icon.id;
    data.uFlags = NIF_INFO;
    lstrcpynW(data.szInfo, icon.info.c_str(), static_cast<int>(std::size(data.szInfo)));
    lstrcpynW(data.szInfoTitle, L"Czasomir", static_cast<int>(std::size(data.szInfoTitle)));
    data.dwInfoFlags = icon.infoFlags;
    data.hBalloonIcon = reinterpret_cast<HICON>(icon.icon);
    return notify(NIM_MODIFY, &data) != FALSE;
}

}  // namespace tk
