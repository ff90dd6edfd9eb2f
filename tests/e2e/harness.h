// End-to-end tests: Czasomir.exe run as the user runs it, in a folder of its
// own, driven through its windows from this process.
#pragma once

#include <windows.h>

#include <cstdint>
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

// The main window's control ids and menu commands that the tests drive, from that model.
namespace ids {
inline int Command1() { return MainWindowModel().Command1.id(); }
inline int Label1() { return MainWindowModel().Label1.id(); }
inline int Picture1() { return MainWindowModel().Picture1.id(); }
inline int Check1() { return MainWindowModel().Check1.id(); }
inline int FileClose() { return MainWindowModel().mnuPlikZamknij.id; }
}  // namespace ids

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

// A top-level window of a process with the given class, or null; with
// `visibleOnly`, only a visible one.
HWND FindWindowOf(DWORD processId, const wchar_t* className, bool visibleOnly = false);
// The main window ("Czasomir.Form1") of a process, or null.
HWND FindMainWindow(DWORD processId);

using Variables = std::vector<std::pair<std::wstring, std::wstring>>;

// Sets environment variables of this process (inherited by the programs it
// starts) and puts the old values back when it goes.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Variables& variables);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

// One process started from this one, ended (if still running) when this goes.
class Process {
public:
    // commandLine is passed as it is: quote the exe's path yourself when you
    // want it quoted. `environment` is set for this child only.
    Process(const std::filesystem::path& exe, std::wstring commandLine, const std::filesystem::path& folder,
            const Variables& environment = {});
    // The exe with its path quoted, then the arguments.
    static std::wstring Quoted(const std::filesystem::path& exe, const std::wstring& arguments = L"");
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool started() const { return process_ != nullptr; }
    HANDLE handle() const { return process_; }
    DWORD id() const { return id_; }

    // The process's "Czasomir.Form1" window once its startup has finished
    // (display filled, back in its message loop); null when none came.
    HWND mainWindow(int timeoutMs = 10000);
    HWND control(int id);  // a child of the main window by control id
    std::wstring text(int controlId);

    void click(int controlId);  // BM_CLICK on a button or check box
    void choose(int menuCommand);  // a menu item, as if chosen
    void close();  // the close box
    void waitIdle(int timeoutMs = 10000);  // until the program waits for input again

    bool waitForExit(int timeoutMs = 10000) const;
    bool running() const;
    DWORD exitCode() const;
    void kill();

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

struct Launch {
    std::wstring folderName = L"Czasomir";  // the folder that holds the copy of the exe
    std::optional<std::string> czasDat;     // czas.dat written beside the exe first
    std::wstring arguments;                 // the command line after the exe's quoted path
    bool testHooks = false;
    Variables environment;  // set for the child only
};

// A launch with the fields the tests mostly change, the rest as they are by default.
Launch With(std::optional<std::string> czasDat, std::wstring arguments = L"", bool testHooks = false,
            std::wstring folderName = L"Czasomir");

// One run of the program from a copy of the exe in a fresh folder. The
// process is ended (if still running) and the folder removed when this goes,
// so a failing test leaves nothing behind.
class App : public Process {
public:
    explicit App(const Launch& launch = {});
    ~App();

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path exe() const { return folder_ / L"Czasomir.exe"; }

    std::optional<std::string> czasDat() const;  // its bytes; nothing when missing

private:
    App(const Launch& launch, const std::filesystem::path& root);
    std::filesystem::path root_, folder_;
};

// Under Wine, WaitForInputIdle can come back while the startup sequence is
// still running (the window exists, its texts are still empty, it is not
// shown yet). These wait for the state that only the end of startup gives.

// Normal mode: the window is shown last, after the display and the button got their texts.
bool WaitShownStarted(HWND main, int timeoutMs = 10000);

// "hh : mm : ss" as seconds; nothing when the text is not of that form.
std::optional<std::int64_t> DisplayedSeconds(const std::wstring& text);

// The one line "<integer>\r\n" of czas.dat; nothing when the bytes are anything else.
std::optional<std::int64_t> StoredSeconds(const std::optional<std::string>& bytes);

// The tray icon that the shell holds for (window, id), asked about from this
// process: a change of nothing succeeds only for an icon that is there.
bool TrayIconExists(HWND window, UINT id);

}  // namespace e2e
