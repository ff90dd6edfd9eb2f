// The end-to-end harness: Czasomir.exe run as the user runs it, from a copy in
// a fresh folder, driven through its windows from this process.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "storage/history_file.h"
#include "storage/time_file.h"
#include "tests/support.h"

namespace e2e {

namespace fs = std::filesystem;

// The main window as the program describes it (ids, bounds, menu commands), on the headless platform.
inline const czasomir::Form1& Model() {
    static tk::HeadlessPlatform platform;
    static czasomir::test::MemoryRejestr registry;
    static czasomir::Form1 form(platform, registry);
    return form;
}

inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !done(); Sleep(20))
        if (GetTickCount64() >= end) return false;
    return true;
}

// A window's text, also another process's.
inline std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The control with the focus in that window's thread.
inline HWND FocusOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A top-level window of the process with that class, or null.
inline HWND FindWindowOf(DWORD processId, const wchar_t* className) {
    HWND window = nullptr;
    DWORD pid = 0;
    while ((window = FindWindowExW(nullptr, window, className, nullptr)) && (GetWindowThreadProcessId(window, &pid), pid != processId)) {
    }
    return window;
}

// "hh : mm : ss" as seconds; nothing for any other text.
inline std::optional<std::int64_t> Seconds(const std::wstring& text) {
    unsigned h = 0, m = 0, s = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%u : %u : %u%lc", &h, &m, &s, &rest) != 3 || m > 59 || s > 59) return std::nullopt;
    return std::int64_t{h} * 3600 + m * 60 + s;
}

// A file's bytes; nothing when it cannot be read.
inline std::optional<std::string> Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

// The value of czas.dat when it holds exactly one line as the program writes it.
inline std::optional<std::int32_t> WholeLine(const std::optional<std::string>& bytes) {
    const auto value = bytes ? czasomir::ParseTotal(*bytes) : std::nullopt;
    return value && czasomir::FormatTotalLine(*value) == *bytes ? value : std::nullopt;
}

// Posts a key's press and release to a window, and gives its program a moment to take them.
inline void Press(HWND to, WPARAM key) {
    PostMessageW(to, WM_KEYDOWN, key, 1), PostMessageW(to, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001)), Sleep(500);
}

// historia.csv with one line: `seconds` on today's local date.
inline std::string HistoryFile(int seconds) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    czasomir::DayHistory days;
    days.Add(czasomir::DayNumber({now.wYear, now.wMonth, now.wDay}), seconds);
    return czasomir::FormatHistory(days);
}

// The tray icon (window, id) as the shell holds it: changing nothing succeeds only for an icon that is there.
inline bool TrayIconExists(HWND window, UINT id = 1) {
    NOTIFYICONDATAW data{sizeof data, window, id};
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The exe's path quoted, then the arguments.
inline std::wstring Quoted(const fs::path& exe, const std::wstring& arguments = L"") {
    return L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
}

// The limited half of this process's token; null when it has none.
inline HANDLE LimitedToken() {
    HANDLE token = nullptr;
    TOKEN_ELEVATION_TYPE type{};
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) && type == TokenElevationTypeFull)
        GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size);
    CloseHandle(token);
    return linked.LinkedToken;
}

// One process, ended (if still running) when this goes. A `limited` one runs
// with the limited half of this process's token, as an administrator's
// programs run while User Account Control is on (started() is false when there
// is none), in a job that counts the processes started in it.
class Process {
public:
    Process(const fs::path& exe, std::wstring commandLine, const fs::path& folder, bool limited = false) {
        const HANDLE token = limited ? LimitedToken() : nullptr;
        if (limited && !token) return;  // nothing starts
        STARTUPINFOW startup{sizeof startup};
        // No standard handles, as Explorer starts it: under Wine a child (and any process it starts, Wine's
        // desktop among them) would otherwise get this test's output, and hold it open after the test ends.
        startup.dwFlags = STARTF_USESTDHANDLES;
        PROCESS_INFORMATION info{};
        wchar_t* line = commandLine.data();
        const wchar_t* in = folder.c_str();
        if (token ? CreateProcessAsUserW(token, exe.c_str(), line, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, in, &startup, &info)
                  : CreateProcessW(exe.c_str(), line, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, in, &startup, &info)) {
            AssignProcessToJobObject(job_, info.hProcess);
            ResumeThread(info.hThread);
            CloseHandle(info.hThread);
            process_ = info.hProcess;
            id_ = info.dwProcessId;
        }
        if (token) CloseHandle(token);
    }
    ~Process() { kill(), CloseHandle(job_); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The main window once its startup is over; with `shown`, once it is also shown (normal mode). Under Wine the
    // wait for input idle can come back while startup still runs: the display gets its text then, the window is shown last.
    HWND mainWindow(bool shown = true) {
        WaitUntil([&] {
            if (!window_) window_ = FindWindowOf(id_, L"Czasomir.Form1");
            return !running() || (window_ && !text(Model().Label1).empty() && (!shown || IsWindowVisible(window_)));
        });
        waitIdle();
        return window_;
    }
    // A shown top-level window of this process with that class, once it runs its message loop; null when none comes.
    HWND window(const wchar_t* className) const {
        HWND found = nullptr;
        DWORD_PTR ignored = 0;
        if (!WaitUntil([&] { return (found = FindWindowOf(id_, className)) && IsWindowVisible(found); })) return nullptr;
        SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        return found;
    }
    HWND control(const tk::Control& c) { return GetDlgItem(window_ ? window_ : mainWindow(false), c.id()); }
    std::wstring text(const tk::Control& c) { return WindowText(control(c)); }
    std::optional<std::int64_t> shown() { return Seconds(text(Model().Label1)); }
    void click(const tk::Control& c) { SendMessageW(control(c), BM_CLICK, 0, 0), waitIdle(); }
    void post(UINT message, WPARAM w = 0, LPARAM l = 0) { PostMessageW(mainWindow(false), message, w, l), waitIdle(); }
    void waitIdle() {  // a sent message returns once the program is back in its message loop
        DWORD_PTR ignored = 0;
        if (process_) WaitForInputIdle(process_, 10000);
        if (window_) SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    }
    bool waitForExit(int timeoutMs = 10000) const { return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }
    bool running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        return process_ && GetExitCodeProcess(process_, &code) ? code : STILL_ACTIVE;
    }
    void kill() {
        if (process_) TerminateProcess(process_, 1), WaitForSingleObject(process_, 10000), CloseHandle(process_);
        process_ = nullptr;
    }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }
    bool started() const { return process_ != nullptr; }
    DWORD processes() const {  // started in the job so far
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION account{};
        QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &account, sizeof account, nullptr);
        return account.TotalProcesses;
    }

private:
    HANDLE job_ = CreateJobObjectW(nullptr, nullptr);
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// A copy of the exe in a fresh folder (named `folderName`, below `under`),
// czas.dat beside it when given, started with `arguments`; the folder goes when this goes.
class App : public Process {
public:
    explicit App(std::optional<std::string> czasDat = std::nullopt, const std::wstring& arguments = L"",
                 const std::wstring& folderName = L"Czasomir", bool testHooks = false,
                 const fs::path& under = fs::temp_directory_path())
        : App(Placed(czasDat, folderName, testHooks, under), arguments) {}
    ~App() {
        kill();
        std::error_code ignored;  // the image may stay held a moment after the end
        WaitUntil([&] { return fs::remove_all(folder_.parent_path(), ignored) != static_cast<std::uintmax_t>(-1); }, 2000);
    }
    const fs::path& folder() const { return folder_; }
    fs::path exe() const { return folder_ / L"Czasomir.exe"; }
    std::optional<std::string> czasDat() const { return Read(folder_ / L"czas.dat"); }
    // Another start of the same copy, with this command line.
    Process again(const std::wstring& commandLine) const { return Process(exe(), commandLine, folder_); }

private:
    App(const fs::path& folder, const std::wstring& arguments)
        : Process(folder / L"Czasomir.exe", Quoted(folder / L"Czasomir.exe", arguments), folder), folder_(folder) {}
    static fs::path Placed(const std::optional<std::string>& czasDat, const std::wstring& name, bool testHooks,
                           const fs::path& under) {
        static int runs = 0;
        const fs::path folder = under /
                                (L"czasomir-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs)) / name;
        fs::create_directories(folder);
        fs::copy_file(fs::path(testHooks ? CZASOMIR_TESTHOOKS_EXE : CZASOMIR_EXE).make_preferred(), folder / L"Czasomir.exe");
        if (czasDat) std::ofstream(folder / L"czas.dat", std::ios::binary) << *czasDat;
        return folder;
    }
    fs::path folder_;
};

// The screen's pixels under a window, at one moment.
class ScreenCopy {
public:
    explicit ScreenCopy(HWND window) {
        GetWindowRect(window, &rect_);
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), rect_.right - rect_.left, rect_.bottom - rect_.top, 1, 32}};
        HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        if (HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen, rect_.left, rect_.top, SRCCOPY);
            GdiFlush();
            pixels_.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + info.bmiHeader.biWidth * info.bmiHeader.biHeight);
            for (DWORD& pixel : pixels_) pixel &= 0xFFFFFF;  // no alpha: a picture viewer would take it for transparency
            SelectObject(memory, old), DeleteObject(bitmap);
        }
        DeleteDC(memory), ReleaseDC(nullptr, screen);
    }
    // At a point of a child window; CLR_INVALID outside the copy.
    COLORREF At(HWND child, int x, int y) const {
        POINT p{x, y};
        ClientToScreen(child, &p);
        const LONG width = rect_.right - rect_.left, row = rect_.bottom - 1 - p.y, column = p.x - rect_.left;
        if (pixels_.empty() || column < 0 || column >= width || row < 0 || p.y < rect_.top) return CLR_INVALID;
        const DWORD bgrx = pixels_[row * width + column];  // rows bottom-up, as the DIB holds them
        return RGB(bgrx >> 16 & 0xff, bgrx >> 8 & 0xff, bgrx & 0xff);
    }
    // The pixels of a child window for which `test` holds.
    int Count(HWND child, const std::function<bool(COLORREF)>& test) const {
        RECT r{};
        GetClientRect(child, &r);
        int n = 0;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x) n += At(child, x, y) != CLR_INVALID && test(At(child, x, y));
        return n;
    }
    // As screenshots/<name>.bmp in the build tree (the test command turns it into a PNG).
    void Save(const wchar_t* name) const {
        BITMAPINFOHEADER info{sizeof info, rect_.right - rect_.left, rect_.bottom - rect_.top, 1, 32};
        const DWORD bytes = static_cast<DWORD>(pixels_.size() * sizeof(DWORD)), offset = sizeof(BITMAPFILEHEADER) + sizeof info;
        const BITMAPFILEHEADER header{0x4d42, offset + bytes, 0, 0, offset};  // "BM"
        const fs::path folder = fs::path(CZASOMIR_SCREENSHOT_DIR).make_preferred();
        fs::create_directories(folder);
        std::ofstream out(folder / (std::wstring(name) + L".bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&header), sizeof header).write(reinterpret_cast<const char*>(&info), sizeof info);
        out.write(reinterpret_cast<const char*>(pixels_.data()), bytes);
    }

private:
    RECT rect_{};
    std::vector<DWORD> pixels_;
};

}  // namespace e2e
