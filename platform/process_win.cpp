// The process's services: single instance, command line, paths, clock, shell.
#include "platform/toolkit_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>
#include <iterator>

#include "platform/command_line.h"
#include "platform/shell_win.h"

namespace tk {

std::wstring win::ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: a long path
    }
}

namespace {

using win::ModulePath;

// FNV-1a over the upper-cased path: one name per executable file, whatever the letter case.
std::wstring InstanceMutexName() {
    std::wstring path = ModulePath();
    if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : path) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 1099511628211ull;
    }
    std::wstring name = L"Global\\Czasomir-0000000000000000";
    for (std::size_t i = name.size(); hash != 0; hash >>= 4) name[--i] = L"0123456789ABCDEF"[hash & 0xF];
    return name;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Where the file name begins: just after the last separator.
std::size_t NameStart(const std::wstring& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) --i;
    return i;
}

}  // namespace

// One message number per executable file, as the mutex's name.
UINT win::AnotherStartMessage() {
    static const UINT message = RegisterWindowMessageW((InstanceMutexName().substr(7) + L".Show").c_str());
    return message;
}

// Posted to every top-level window: only the copy from the same file knows the
// number. It may take the foreground, as this start was the user's doing.
void Win32Platform::WakeOtherInstance() {
    AllowSetForegroundWindow(ASFW_ANY);
    PostMessageW(HWND_BROADCAST, win::AnotherStartMessage(), 0, 0);
}

Handle Win32Platform::TrayPicture(int iconResource) {
    win::UniqueIcon& icon = trayPictures_[iconResource];
    if (!icon) {
        HICON loaded = nullptr;
        if (SUCCEEDED(LoadIconMetric(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource), LIM_SMALL, &loaded)))
            icon.reset(loaded);
    }
    return reinterpret_cast<Handle>(icon.get());
}

// The mutex stays open for the life of the process: while it runs, a copy
// started from the same file finds it (in any session, hence Global\).
bool Win32Platform::AnotherInstanceRunning() {
    if (instanceAnswer_ < 0) {
        SetLastError(ERROR_SUCCESS);
        instanceMutex_.reset(CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str()));
        const DWORD error = GetLastError();
        // Access denied: another user's instance holds it.
        instanceAnswer_ = (error == ERROR_ALREADY_EXISTS || (!instanceMutex_ && error == ERROR_ACCESS_DENIED)) ? 1 : 0;
    }
    return instanceAnswer_ == 1;
}

std::wstring Win32Platform::ArgumentText() { return ArgumentsAfterProgram(GetCommandLineW(), ModulePath()); }

// The path before the last separator, C:\Tools for C:\Tools\Czasomir.exe; a
// drive's root keeps its separator: C:\ for C:\Czasomir.exe.
std::wstring Win32Platform::AppDirectory() {
    const std::wstring path = ModulePath();
    std::size_t end = NameStart(path);
    if (end > 1 && path[end - 2] != L':') --end;
    return path.substr(0, end);
}

// The file name without its extension: "Czasomir" for C:\Tools\Czasomir.exe.
std::wstring Win32Platform::ExeName() {
    const std::wstring path = ModulePath();
    std::wstring name = path.substr(NameStart(path));
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot != 0) name.resize(dot);
    return name;
}

void Win32Platform::EndProcess() { ExitProcess(0); }

double Win32Platform::TimeOfDaySeconds() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

double Win32Platform::RealTimeSeconds() { return GetTickCount64() / 1000.0; }

void Win32Platform::ShellOpen(Handle owner, const std::wstring& target) {
    const win::ShellLibrary shell;
    const auto execute = shell.Function<decltype(&ShellExecuteW)>("ShellExecuteW");
    if (!execute) return;
    shell.KeepLoaded();
    win::InitComForShell();
    execute(reinterpret_cast<HWND>(owner), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Platform::NotifyIcon(TrayOp op, const TrayIcon& icon) {
    const win::ShellLibrary shell;  // released after the call: the icon lives on in the taskbar
    const auto notify = shell.Function<decltype(&Shell_NotifyIconW)>("Shell_NotifyIconW");
    if (!notify) return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(icon.window);
    data.uID = icon.id;
    data.uFlags = ((icon.flags & kTrayMessage) ? NIF_MESSAGE : 0) | ((icon.flags & kTrayIcon) ? NIF_ICON : 0) |
                  ((icon.flags & kTrayTip) ? NIF_TIP | NIF_SHOWTIP : 0);
    data.uCallbackMessage = icon.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(icon.icon);
    lstrcpynW(data.szTip, icon.tip.c_str(), static_cast<int>(std::size(data.szTip)));
    const DWORD request = op == TrayOp::Add ? NIM_ADD : op == TrayOp::Delete ? NIM_DELETE : NIM_MODIFY;
    if (!notify(request, &data)) return false;
    if (op == TrayOp::Add) {  // notifications in the fourth manner: the keyboard and the menu key reported
        data.uVersion = NOTIFYICON_VERSION_4;
        notify(NIM_SETVERSION, &data);
    }
    return true;
}

}  // namespace tk
