// The toolkit over Win32: forms become top-level windows, controls child
// windows (STATIC, BUTTON, tooltips and two classes of this program's own),
// timers SetTimer timers, and the message loop delivers the events.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "platform/handles_win.h"
#include "platform/toolkit.h"

namespace tk {

namespace win {
struct FormWindow;  // a form's window and everything that belongs to it (toolkit_win.cpp)
std::wstring ModulePath();  // the running executable's full path (process_win.cpp)
UINT AnotherStartMessage();  // posted by a second start to the copy that runs (process_win.cpp)
}

class Win32Platform : public Platform {
public:
    Win32Platform();  // per-monitor DPI awareness, common controls, window classes
    ~Win32Platform() override;

    // Process.
    bool AnotherInstanceRunning() override;
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

    int Run(Form& startup) override;

    double RealTimeSeconds() override;  // GetTickCount64: counts sleep, ignores clock changes

    // Administrator rights and the user (elevation_win.cpp).
    bool CanElevate() override;
    void RunElevated(Form& owner, const std::wstring& arguments, std::function<void(ElevatedRun)> done) override;
    void ShowMessage(Form& owner, const std::wstring& text) override;

    // Notification area and a second start.
    Handle TrayPicture(int iconResource) override;  // LoadIconMetric (process_win.cpp)
    void PopupMenu(Form& owner, MenuItem& menu) override;
    void ToForeground(Form& form) override;
    void WakeOtherInstance() override;  // process_win.cpp

    // One message of the loop: keyboard navigation for the form it belongs to
    // (Tab, Space, Enter, access keys), then the window procedure.
    void ProcessMessage(MSG& message);
    // The tooltip window of a form (0 when it has none); for tests.
    Handle ToolTipWindow(const Form& form) const;

private:
    win::FormWindow* Find(const Form& form) const;
    win::FormWindow* FindByHandle(HWND hwnd) const;

    std::map<const Form*, std::unique_ptr<win::FormWindow>> windows_;
    const Form* startup_ = nullptr;
    win::UniqueHandle instanceMutex_;
    int instanceAnswer_ = -1;  // the single-instance test's answer, once asked
    std::map<int, win::UniqueIcon> trayPictures_;
};

}  // namespace tk
