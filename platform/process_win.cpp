// The process's services: single instance, command line, paths, clock, shell.
#include "platform/toolkit_win.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "platform/command_line.h"

namespace tk {

namespace {

std::wstring ModulePath() {
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

// FNV-1a over the upper-cased path: one name per executable file, whatever the letter case.
std::wstring InstanceMutexName() {
    std::wstring path = ModulePath();
    if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : path) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 1099511628211ull;
    }
    wchar_t hex[17];
    std::swprintf(hex, 17, L"%016llX", hash);
    return L"Global\\Czasomir-" + std::wstring(hex);
}

}  // namespace

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

std::filesystem::path Win32Platform::AppDirectory() { return std::filesystem::path(ModulePath()).parent_path(); }

std::wstring Win32Platform::ExeName() { return std::filesystem::path(ModulePath()).stem().wstring(); }

void Win32Platform::EndProcess() { ExitProcess(0); }

double Win32Platform::TimeOfDaySeconds() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

void Win32Platform::ShellOpen(Handle owner, const std::wstring& target) {
    ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Platform::NotifyIcon(TrayOp op, const TrayIcon& icon) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(icon.window);
    data.uID = icon.id;
    data.uFlags = ((icon.flags & kTrayMessage) ? NIF_MESSAGE : 0) | ((icon.flags & kTrayIcon) ? NIF_ICON : 0) |
                  ((icon.flags & kTrayTip) ? NIF_TIP : 0);
    data.uCallbackMessage = icon.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(icon.icon);
    lstrcpynW(data.szTip, icon.tip.c_str(), static_cast<int>(std::size(data.szTip)));
    return Shell_NotifyIconW(op == TrayOp::Add ? NIM_ADD : NIM_DELETE, &data) != FALSE;
}

}  // namespace tk
