// Starting a copy of Czasomir.exe that is already in place (a second
// instance, a restart in the same folder, a command line of one's own), and
// reading the state of its windows from this process.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/e2e/harness.h"

namespace e2e_more {

// Under Wine, WaitForInputIdle can come back while the startup sequence is
// still running (the window exists, its texts are still empty, it is not
// shown yet). These wait for the state that only the end of startup gives.

inline std::wstring ControlText(HWND main, int id) { return e2e::WindowText(GetDlgItem(main, id)); }

// Normal mode: the window is shown last, after the display and the button got their texts.
inline bool WaitShownStarted(HWND main, int timeoutMs = 10000) {
    const auto& model = e2e::MainWindowModel();
    return main && e2e::WaitUntil([&] {
        return IsWindowVisible(main) && !ControlText(main, model.Label1.id()).empty() &&
               !ControlText(main, model.Command1.id()).empty();
    }, timeoutMs);
}

// Tray mode: counting, display written, and hidden for a while (the first
// show, which comes after the tray steps, hides it again at once).
inline bool WaitTrayStarted(HWND main, int timeoutMs = 10000) {
    const auto& model = e2e::MainWindowModel();
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    ULONGLONG hiddenSince = 0;
    while (main && GetTickCount64() < end) {
        const bool settled = !IsWindowVisible(main) && ControlText(main, model.Command1.id()) == L"Stop" &&
                             !ControlText(main, model.Label1.id()).empty();
        if (!settled) {
            hiddenSince = 0;
        } else if (hiddenSince == 0) {
            hiddenSince = GetTickCount64();
        } else if (GetTickCount64() - hiddenSince >= 300) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// One process, ended (if still running) when this goes.
class Process {
public:
    // commandLine is passed as it is: quote the exe's path yourself when you want it quoted.
    Process(const std::filesystem::path& exe, std::wstring commandLine, const std::filesystem::path& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                           &startup, &info)) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
            id_ = info.dwProcessId;
        }
    }
    // The exe with its path quoted, then the arguments.
    static std::wstring Quoted(const std::filesystem::path& exe, const std::wstring& arguments = L"") {
        return L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { kill(); }

    bool started() const { return process_ != nullptr; }
    HANDLE handle() const { return process_; }
    DWORD id() const { return id_; }

    HWND mainWindow(int timeoutMs = 10000) {
        if (window_ && IsWindow(window_)) return window_;
        if (!process_) return nullptr;
        e2e::WaitUntil([&] { return (window_ = e2e::FindMainWindow(id_)) != nullptr || !running(); }, timeoutMs);
        if (window_) WaitForInputIdle(process_, static_cast<DWORD>(timeoutMs));
        return window_;
    }
    bool running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    bool waitForExit(int timeoutMs = 10000) const {
        return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        if (process_) GetExitCodeProcess(process_, &code);
        return code;
    }
    void kill() {
        if (!process_) return;
        if (running()) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
        }
        CloseHandle(process_);
        process_ = nullptr;
    }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// Sets an environment variable of this process (inherited by the programs it
// starts) and puts the old value back when it goes.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t old[1024];
        const DWORD n = GetEnvironmentVariableW(name, old, 1024);
        if (n > 0 && n < 1024) old_ = old;
        SetEnvironmentVariableW(name, value);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr); }

private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// "hh : mm : ss" as seconds; nothing when the text is not of that form.
inline std::optional<std::int64_t> DisplayedSeconds(const std::wstring& text) {
    unsigned h = 0, m = 0, s = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%u : %u : %u%lc", &h, &m, &s, &rest) != 3) return std::nullopt;
    if (m > 59 || s > 59) return std::nullopt;
    return std::int64_t{h} * 3600 + m * 60 + s;
}

// The one line "<integer>\r\n" of czas.dat; nothing when the bytes are anything else.
inline std::optional<std::int64_t> StoredSeconds(const std::optional<std::string>& bytes) {
    if (!bytes || bytes->size() < 3 || bytes->size() > 13) return std::nullopt;
    const std::string& b = *bytes;
    if (b.compare(b.size() - 2, 2, "\r\n") != 0) return std::nullopt;
    std::size_t i = b[0] == '-' ? 1 : 0;
    if (i == b.size() - 2) return std::nullopt;
    std::int64_t value = 0;
    for (; i < b.size() - 2; ++i) {
        if (b[i] < '0' || b[i] > '9') return std::nullopt;
        value = value * 10 + (b[i] - '0');
    }
    return b[0] == '-' ? -value : value;
}

// The tray icon that the shell holds for (window, id), asked about from this
// process: a change of nothing succeeds only for an icon that is there.
inline bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

inline bool DeleteTrayIcon(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

}  // namespace e2e_more
