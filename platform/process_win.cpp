// The process's services: single instance, command line, paths, clock, shell.
#include "platform/toolkit_win.h"

#include <aclapi.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

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

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Where the file name begins: just after the last separator.
std::size_t NameStart(const std::wstring& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) --i;
    return i;
}

// The path with its short (8.3) names made long, upper-cased: one text per
// file or folder, whatever the spelling. Names not there yet (a folder still
// to be made) follow the long form of the part that is there.
std::wstring PathKeyOf(std::wstring path) {
    if (path.empty()) return path;
    std::wstring full(path.size() + MAX_PATH, L'\0');
    DWORD n = GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
    if (n >= full.size()) {
        full.resize(n);
        n = GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
    }
    if (n > 0 && n < full.size())
        path.assign(full.data(), n);
    else if (const std::size_t name = NameStart(path); name > 1 && name < path.size())
        path = PathKeyOf(path.substr(0, name - 1)) + path.substr(name - 1);
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

// FNV-1a over a key: one name per file or folder.
std::wstring InstanceName(const std::wstring& key) {
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : key) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 1099511628211ull;
    }
    std::wstring name = L"Global\\Czasomir-0000000000000000";
    for (std::size_t i = name.size(); hash != 0; hash >>= 4) name[--i] = L"0123456789ABCDEF"[hash & 0xF];
    return name;
}

}  // namespace

// One message number per executable file.
UINT win::AnotherStartMessage() {
    static const UINT message =
        RegisterWindowMessageW((InstanceName(PathKeyOf(ModulePath())).substr(7) + L".Show").c_str());
    return message;
}

// Posted to every top-level window: only the copy from the same file knows the
// number. It may take the foreground, as this start was the user's doing.
void Win32Platform::WakeOtherInstance() {
    AllowSetForegroundWindow(ASFW_ANY);
    PostMessageW(HWND_BROADCAST, win::AnotherStartMessage(), 0, 0);
}

Handle Win32Platform::TrayPicture(int iconResource) {
    const int size = TrayPictureSize();
    win::UniqueIcon& icon = trayPictures_[iconResource * 4096 + size];
    if (!icon) icon.reset(win::LoadScaledIcon(iconResource, size));
    return reinterpret_cast<Handle>(icon.get());
}

// The mutex stays open for the life of the process: while it runs, a copy
// that chose the same data folder finds it. Global\, in every session: two
// users of one shared program folder, or one user signed in twice, never write
// one czas.dat at once; each user's own folder has a name of its own.
bool Win32Platform::AnotherInstanceRunning(const std::wstring& dataFolder) {
    if (instanceAnswer_ < 0) {
        SetLastError(ERROR_SUCCESS);
        instanceMutex_.reset(CreateMutexW(nullptr, FALSE, InstanceName(PathKeyOf(dataFolder)).c_str()));
        const DWORD error = GetLastError();
        // Access denied: the object is another user's (or this user's with
        // other rights), whose copy uses this very folder.
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

std::wstring Win32Platform::ExecutableKey() { return PathKeyOf(ModulePath()); }

bool Win32Platform::UserOwnsFile(const std::wstring& file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    bool same = false;
    HANDLE opened = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) {
        const win::UniqueHandle token(opened);
        union {
            TOKEN_USER user;
            BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
        } info;
        DWORD size = 0;
        same = GetTokenInformation(token.get(), TokenUser, &info, sizeof info, &size) && owner &&
               EqualSid(owner, info.user.User.Sid);
    }
    LocalFree(descriptor);
    return same;
}

// The environment's LOCALAPPDATA, which costs nothing to read; the shell's
// answer (loading shell32) only when it is missing.
std::wstring Win32Platform::LocalAppDataFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
    if (n >= folder.size()) {
        folder.resize(n);
        n = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
    }
    if (n > 0 && n < folder.size()) {
        folder.resize(n);
    } else {
        folder.assign(MAX_PATH, L'\0');
        const win::ShellLibrary shell;
        const auto known = shell.Function<decltype(&SHGetFolderPathW)>("SHGetFolderPathW");
        if (!known || FAILED(known(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder.data()))) return {};
        folder.resize(static_cast<std::size_t>(lstrlenW(folder.c_str())));
    }
    while (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
    return folder;
}

double Win32Platform::TimeOfDaySeconds() { return LocalNow().timeOfDay; }

void Win32Platform::ShellOpen(Handle owner, const std::wstring& target) {
    const win::ShellLibrary shell;
    const auto execute = shell.Function<decltype(&ShellExecuteW)>("ShellExecuteW");
    if (!execute) return;
    shell.KeepLoaded();
    win::InitComForShell();
    execute(reinterpret_cast<HWND>(owner), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The local date from the file time of the local calendar's reading: no time
// zone arithmetic of our own, and date and time from one reading.
LocalTime Win32Platform::LocalNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    FILETIME asFileTime{};
    SystemTimeToFileTime(&t, &asFileTime);
    constexpr ULONGLONG kTicksPerDay = 864000000000ull;  // 100 ns ticks
    constexpr LONG kDaysFrom1601To1970 = 134774;
    const ULONGLONG ticks = (static_cast<ULONGLONG>(asFileTime.dwHighDateTime) << 32) | asFileTime.dwLowDateTime;
    return {static_cast<std::int32_t>(static_cast<LONG>(ticks / kTicksPerDay) - kDaysFrom1601To1970),
            t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0};
}

std::wstring Win32Platform::TempDirectory() {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, path);
    if (n == 0 || n > MAX_PATH) return L".";
    while (n > 1 && path[n - 1] == L'\\' && path[n - 2] != L':') --n;
    return std::wstring(path, n);
}

// Without a registered program ShellExecuteEx fails with ERROR_NO_ASSOCIATION
// (it shows nothing, being asked not to); then Windows' "Open with" dialog
// lets the user pick one, and may register it.
void Win32Platform::OpenDocument(Handle owner, const std::wstring& file) {
    const win::ShellLibrary shell;
    const auto execute = shell.Function<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    if (!execute) return;
    shell.KeepLoaded();
    win::InitComForShell();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = reinterpret_cast<HWND>(owner);
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (execute(&info) || GetLastError() != ERROR_NO_ASSOCIATION) return;
    OPENASINFO openAs{};
    openAs.pcszFile = file.c_str();
    openAs.oaifInFlags = OAIF_ALLOW_REGISTRATION | OAIF_REGISTER_EXT | OAIF_EXEC;
    if (const auto openWith = shell.Function<HRESULT(WINAPI*)(HWND, const OPENASINFO*)>("SHOpenWithDialog"))
        openWith(reinterpret_cast<HWND>(owner), &openAs);
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
                  ((icon.flags & kTrayTip) ? NIF_TIP | NIF_SHOWTIP : 0) | ((icon.flags & kTrayInfo) ? NIF_INFO : 0);
    data.uCallbackMessage = icon.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(icon.icon);
    lstrcpynW(data.szTip, icon.tip.c_str(), static_cast<int>(std::size(data.szTip)));
    // A notification: the title is the program's name, which the shell needs to show the icon beside it.
    lstrcpynW(data.szInfo, icon.info.c_str(), static_cast<int>(std::size(data.szInfo)));
    lstrcpynW(data.szInfoTitle, L"Czasomir", static_cast<int>(std::size(data.szInfoTitle)));
    data.dwInfoFlags = icon.infoFlags;
    data.hBalloonIcon = reinterpret_cast<HICON>(icon.icon);
    const DWORD request = op == TrayOp::Add      ? NIM_ADD
                          : op == TrayOp::Delete ? NIM_DELETE
                          : op == TrayOp::Focus  ? NIM_SETFOCUS
                                                 : NIM_MODIFY;
    if (!notify(request, &data)) return false;
    if (op == TrayOp::Add) {  // notifications in the fourth manner: the keyboard and the menu key reported
        data.uVersion = NOTIFYICON_VERSION_4;
        notify(NIM_SETVERSION, &data);
    }
    return true;
}

}  // namespace tk
