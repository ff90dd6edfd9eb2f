// The toolkit over Win32: forms become top-level windows, controls child
// windows (STATIC, BUTTON, SysLink, tooltips and three classes of this program's own),
// timers SetTimer timers, and the message loop delivers the events.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "core/session_watch.h"
#include "core/standby_clock.h"
#include "platform/handles_win.h"
#include "platform/toolkit.h"

namespace tk {

namespace win {
struct FormWindow;  // a form's window and everything that belongs to it (toolkit_win.cpp)
std::wstring ModulePath();  // the running executable's full path (process_win.cpp)
UINT AnotherStartMessage();  // posted by a second start to the copy that runs (process_win.cpp)
// The session's state when the lock watch begins, as WTSQuerySessionInformationW
// tells it (use_win.cpp); nothing is known when a function is missing or the query fails.
using SessionQuery = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
using SessionFree = void(WINAPI*)(PVOID);
czasomir::SessionAtStart QuerySessionAtStart(SessionQuery query, SessionFree release, bool windows8OrLater);
}

class Win32Platform : public Platform {
public:
    Win32Platform();  // per-monitor DPI awareness, common controls, window classes
    ~Win32Platform() override;

    // Process.
    bool AnotherInstanceRunning(const std::wstring& dataFolder) override;
    std::wstring ArgumentText() override;
    std::wstring AppDirectory() override;
    std::wstring ExeName() override;
    [[noreturn]] void EndProcess() override;
    double TimeOfDaySeconds() override;

    // Forms and controls.
    void Create(Form& form) override;
    void Destroy(Form& form) override;
    void Show(Form& form) override;
    void ShowModal(Form& form, Form& owner) override;
    void Hide(Form& form) override;
    bool IsVisible(const Form& form) const override;
    int WindowState(const Form& form) const override;
    void SetWindowState(Form& form, int state) override;
    void Focus(Form& form) override;
    void Focus(Control& control) override;
    void Activate(Form& form) override;
    Handle WindowHandle(const Form& form) const override;
    Handle WindowHandle(const Control& control) const override;
    Handle IconHandle(const Form& form) const override;  // the small (title bar and tray) icon
    double TwipsPerPixel(const Form& form) const override;
    void Changed(Control& control) override;

    void ShellOpen(Handle owner, const std::wstring& target) override;
    bool NotifyIcon(TrayOp op, const TrayIcon& icon) override;
    bool ShowBalloon(const TrayIcon& icon) override;  // shell_win.cpp

    int Run(Form& startup) override;

    double RealTimeSeconds() override;  // the unbiased interrupt time, less Modern Standby (use_win.cpp)

    // Administrator rights and the user (elevation_win.cpp).
    bool CanElevate() override;
    void RunElevated(Form& owner, const std::wstring& arguments, std::function<void(ElevatedRun)> done) override;
    void ShowMessage(Form& owner, const std::wstring& text) override;
    std::wstring FinalExePath() override;                  // location_win.cpp
    std::vector<std::wstring> ProtectedFolders() override;

    // Where the data lives (process_win.cpp), and asking before it goes (question_win.cpp).
    std::wstring LocalAppDataFolder() override;
    std::wstring ExecutableKey() override;
    bool UserOwnsFile(const std::wstring& file) override;
    bool SessionEnding() override;  // toolkit_win.cpp
    bool AskYesNo(Form& owner, const std::wstring& text) override;

    // The local calendar and documents for other programs (process_win.cpp).
    LocalTime LocalNow() override;
    std::wstring TempDirectory() override;
    void OpenDocument(Handle owner, const std::wstring& file) override;

    // Whether the computer is in use, and settings (use_win.cpp; the first two toolkit_win.cpp).
    void CaptionChanged(Form& form) override;
    void MenuItemChanged(Form& form, const MenuItem& item) override;
    std::uint32_t TickCountMs() override;
    std::uint32_t LastInputTickMs() override;
    void WatchSession(Form& form) override;
    int ReadProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                       int fallback) override;
    bool WriteProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                         int value) override;
    std::wstring ReadProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
    bool WriteProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                          const std::wstring& text) override;
    // From the window procedure of a form: WM_POWERBROADCAST (suspend, resume,
    // the console display's state), the session service's ready event,
    // WM_WTSSESSION_CHANGE.
    static constexpr UINT kSessionServiceReady = WM_APP + 2;
    void WatchStandby(HWND window);
    void PowerBroadcast(WPARAM event, LPARAM data);
    void SessionServiceReady(Form& form);
    void SessionChanged(Form& form, WPARAM code);

    // Notification area and a second start.
    Handle TrayPicture(int iconResource) override;  // process_win.cpp
    int TrayPictureSize() const;                    // at the display's scale now (shell_win.cpp)
    bool PopupMenu(Form& owner, MenuItem& menu) override;
    void ToForeground(Form& form) override;
    void WakeOtherInstance() override;  // process_win.cpp
    void RegisterRestart(const std::wstring& arguments) override;

    bool HighContrast() override;  // SPI_GETHIGHCONTRAST; virtual for tests, as Wine's is always off

    // One message of the loop: keyboard navigation for the form it belongs to
    // (Tab, Space, Enter, access keys), then the window procedure.
    void ProcessMessage(MSG& message);

private:
    win::FormWindow* Find(const Form& form) const;
    win::FormWindow* FindByHandle(HWND hwnd) const;

    std::map<const Form*, std::unique_ptr<win::FormWindow>> windows_;
    const Form* startup_ = nullptr;
    win::UniqueHandle instanceMutex_;
    int instanceAnswer_ = -1;  // the single-instance test's answer, once asked

    czasomir::StandbyClock standby_;
    // The session watch; at logon it may wait for the session service.
    struct SessionHooks {
        ~SessionHooks();
        czasomir::SessionWatch watch;
        win::UniqueHandle ready;  // Global\TermSrvReadyEvent, while waited for
        HANDLE wait = nullptr;    // the thread pool's wait on it
    } session_;
    std::map<int, win::UniqueIcon> trayPictures_;  // resource * 4096 + size: the shell may still show an older one
};

}  // namespace tk
