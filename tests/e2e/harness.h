// End-to-end tests: Czasomir.exe run as the user runs it, in a folder of its
// own, driven through its windows from this process.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/main/form1.h"

namespace e2e {

// The main window as the program describes it (ids, bounds, captions, menu
// command numbers), built on the headless platform.
const czasomir::Form1& MainWindowModel();

// The executable under test: the shipped build, or the build with test switches.
std::filesystem::path ExePath(bool testHooks = false);

// Where screenshots of this build go (screenshots/ in the build tree).
std::filesystem::path ScreenshotDirectory();

// Polls until `done` holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

struct Launch {
    std::wstring folderName = L"Czasomir";  // the folder that holds the copy of the exe
    std::optional<std::string> czasDat;     // czas.dat written beside the exe first
    std::wstring arguments;                 // the command line after the exe's quoted path
    bool testHooks = false;
    std::vector<std::pair<std::wstring, std::wstring>> environment;  // set for the child only
};

// One run of the program. The destructor ends a process still running and
// removes its folder, so a failing test leaves nothing behind.
class App {
public:
    explicit App(const Launch& launch = {});
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path exe() const { return folder_ / L"Czasomir.exe"; }
    HANDLE process() const { return process_; }
    DWORD processId() const { return processId_; }

    // The process's "Czasomir.Form1" window once it is waiting for input; null when none came.
    HWND mainWindow(int timeoutMs = 10000);
    HWND control(int id);  // a child of the main window by control id
    std::wstring text(int controlId);

    void click(int controlId);  // BM_CLICK on a button or check box
    void choose(int menuCommand);  // a menu item, as if chosen
    void close();  // the close box
    void waitIdle(int timeoutMs = 10000);  // until the program waits for input again

    bool waitForExit(int timeoutMs = 10000);
    bool running() const;
    DWORD exitCode() const;
    void kill();

    std::optional<std::string> czasDat() const;  // its bytes; nothing when missing

private:
    std::filesystem::path root_, folder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// The main window of a process, or null.
HWND FindMainWindow(DWORD processId);

}  // namespace e2e
