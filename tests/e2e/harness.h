// The end-to-end harness: Czasomir.exe run as the user runs it, from a copy in
// a fresh folder, driven through its windows from this process.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/main/form1.h"

namespace e2e {

namespace fs = std::filesystem;

// The main window as the program describes it (ids, bounds, menu commands), on the headless platform.
const czasomir::Form1& Model();

fs::path ExePath(bool testHooks = false);
fs::path ScreenshotDirectory();

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
std::wstring WindowText(HWND window);  // also another process's window
HWND FocusOf(HWND window);             // the control with the focus in that window's thread
HWND FindWindowOf(DWORD processId, const wchar_t* className);  // a visible top-level window
// "hh : mm : ss" as seconds; nothing for any other text.
std::optional<std::int64_t> Seconds(const std::wstring& text);
// The value of czas.dat when it holds exactly one line as the program writes it.
std::optional<std::int32_t> WholeLine(const std::optional<std::string>& bytes);
// The tray icon (window, id) as the shell holds it, asked from this process.
bool TrayIconExists(HWND window, UINT id = 1);

// The exe's path quoted, then the arguments.
std::wstring Quoted(const fs::path& exe, const std::wstring& arguments = L"");

// One process, ended (if still running) when this goes.
class Process {
public:
    Process(const fs::path& exe, std::wstring commandLine, const fs::path& folder);
    ~Process() { kill(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The main window once its startup is over; with `shown`, once it is also shown (normal mode).
    HWND mainWindow(bool shown = true);
    HWND control(const tk::Control& c) { return GetDlgItem(mainWindow(false), c.id()); }
    std::wstring text(const tk::Control& c) { return WindowText(control(c)); }
    std::optional<std::int64_t> shown() { return Seconds(text(Model().Label1)); }
    void click(const tk::Control& c);  // BM_CLICK, then until it is idle again
    void post(UINT message, WPARAM w = 0, LPARAM l = 0);  // to the main window, then until idle
    void waitIdle();
    bool waitForExit(int timeoutMs = 10000) const;
    bool running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        return process_ && GetExitCodeProcess(process_, &code) ? code : STILL_ACTIVE;
    }
    void kill();
    DWORD id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// A copy of the exe in a fresh folder (named `folderName`), czas.dat beside it
// when given, started with `arguments`; the folder goes when this goes.
class App : public Process {
public:
    explicit App(std::optional<std::string> czasDat = std::nullopt, const std::wstring& arguments = L"",
                 const std::wstring& folderName = L"Czasomir", bool testHooks = false);
    ~App();
    const fs::path& folder() const { return folder_; }
    fs::path exe() const { return folder_ / L"Czasomir.exe"; }
    std::optional<std::string> czasDat() const;
    // Another start of the same copy, with this command line.
    Process again(const std::wstring& commandLine) const { return Process(exe(), commandLine, folder_); }

private:
    App(const fs::path& folder, const std::wstring& arguments, std::nullptr_t);
    fs::path folder_;
};

// The screen's pixels under a window, at one moment.
class ScreenCopy {
public:
    explicit ScreenCopy(HWND window);
    COLORREF At(HWND child, int x, int y) const;  // at a point of a child window
    // The pixels of a child window (of one of its rows, from 0) for which `test` holds.
    int Count(HWND child, const std::function<bool(COLORREF)>& test, int row = -1) const;
    bool Save(const fs::path& bmp) const;

private:
    RECT rect_{};
    std::vector<DWORD> pixels_;  // rows bottom-up, as the DIB holds them
};

}  // namespace e2e
