// A platform without windows, for tests: forms and controls keep their state
// in memory, the clock is a number the test moves, and the test plays the
// user (clicks, menu choices, minimise, close) and the shell.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "core/session_watch.h"
#include "platform/toolkit.h"

namespace tk {

class HeadlessPlatform : public Platform {
public:
    // The process as the program sees it.
    bool anotherInstance = false;
    std::set<std::wstring> runningCopies;  // the data folders other copies hold
    bool filesOwned = true;                // UserOwnsFile's answer for any file
    std::wstring argumentText;
    std::filesystem::path appDirectory = ".";
    std::wstring exeName = L"Czasomir";
    double twipsPerPixel = 15.0;

    // The clock: seconds since some midnight; the time of day is this modulo
    // 86400 (moved by wallClockShift), and the real-time clock runs with it.
    double now = 36000.0;
    // Time passes: moves the clock on, delivering the ticks of enabled timers that fall due, in order.
    void Advance(double seconds);
    // The wall clock alone: seconds it was set forward (negative: back), a
    // time zone or summer-time change included. Real time does not move.
    double wallClockShift = 0;
    // The computer sleeps: time passes with no tick and the real-time clock
    // stands still; on waking (by a key: an input at that moment), each
    // enabled timer that fell due ticks once.
    void Sleep(double seconds, bool wokenByKey = false);

    // Use of the computer: the tick count (ms) follows `now` from tickOrigin,
    // sleep included, and wraps at 2^32; the last input's moment on it.
    std::uint32_t tickOrigin = 0;
    std::uint32_t lastInputTick = 36000000;  // the input of the start
    void Input(double stampedLater = 0);     // keyboard or mouse, now (stamped that much later)
    // The session: whether the session service takes a window to watch, whether
    // its ready event can be waited on, the state it reports, and its changes,
    // which reach a watched form only.
    bool sessionServiceReady = true;
    bool sessionReadyEventWaits = true;
    bool sessionLocked = false;
    void SessionServiceStarts(bool refusesOnce = false);  // a form waiting for it is watched now (or, refused, later)
    void SessionChange(Form& form, tk::SessionChange change);
    // Profile files, (file, section, key) to number; writes refused unless profileWritable.
    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, int> profile;
    std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> profileTexts;
    bool profileWritable = true;

    // What the program asked of the shell.
    std::vector<std::pair<Handle, std::wstring>> opened;  // ShellOpen(owner, target)
    struct TrayCall {
        TrayOp op;
        TrayIcon icon;
    };
    std::vector<TrayCall> trayCalls;
    bool trayAccepts = true;  // what NotifyIcon answers
    bool balloonAccepted = true;  // what ShowBalloon answers; a balloon is recorded as a Modify of kTrayInfo

    // Runs while a modal form is shown; the form is unloaded afterwards if the
    // test left it open.
    std::function<void(Form& dialog)> whileModal;

    // True once the program ended its process; nothing is delivered after that.
    bool ended = false;

    // The user. Each is one event; input to a form disabled by a modal dialog is ignored.
    void Click(CommandButton& button);
    void Click(CheckBox& box);  // unticked becomes ticked, anything else unticked
    void Click(Label& label);
    void Choose(MenuItem& item, Form& form);
    void Close(Form& form);  // close box: Unload, then the window goes unless cancelled
    void Minimize(Form& form);
    void Restore(Form& form);
    // The shell: a message to a picture box's window, seen as a left-button press at (x, y) pixels.
    void MouseDown(PictureBox& box, int button, int shift, int xPixels, int yPixels);
    void TaskbarCreated(Form& form);
    void DpiChanged(Form& form, double newTwipsPerPixel);  // the display's scale changed
    // The program started again: the startup form hears of it.
    void AnotherStart(Form& form);
    // Runs any event, as the toolkit would deliver it.
    void Deliver(const std::function<void()>& event);

    bool Enabled(const Form& form) const;
    const Control* FocusedControl() const { return focusedControl_; }
    const Form* FocusedForm() const { return focusedForm_; }
    const Form* ActiveForm() const { return activeForm_; }

    // Platform.
    bool AnotherInstanceRunning(const std::wstring& dataFolder) override {
        return anotherInstance || runningCopies.count(dataFolder);
    }
    std::wstring ArgumentText() override { return argumentText; }
    std::wstring AppDirectory() override;  // appDirectory's text
    std::wstring ExeName() override { return exeName; }
    [[noreturn]] void EndProcess() override;
    double TimeOfDaySeconds() override;
    double RealTimeSeconds() override { return now - asleep_ + 1e6; }  // its origin is not a midnight

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
    Handle IconHandle(const Form& form) const override;
    double TwipsPerPixel(const Form&) const override { return twipsPerPixel; }
    void Changed(Control& control) override;
    void ShellOpen(Handle owner, const std::wstring& target) override;
    bool NotifyIcon(TrayOp op, const TrayIcon& icon) override;
    bool ShowBalloon(const TrayIcon& icon) override {
        trayCalls.push_back({TrayOp::Modify, icon});
        return balloonAccepted;
    }
    int Run(Form& startup) override;

    // Administrator rights: the test plays Windows and the user at the prompt.
    bool canElevate = false;                     // what CanElevate answers
    std::vector<std::wstring> elevationRequests;  // the arguments of every request, in order
    // Delivers the answer to the oldest request still waiting, as the event it is.
    void AnswerElevation(ElevatedRun run);
    bool ElevationPending() const { return !pendingElevations_.empty(); }
    std::vector<std::wstring> messages;  // every message shown, in order
    bool CanElevate() override { return canElevate; }
    void RunElevated(Form& owner, const std::wstring& arguments, std::function<void(ElevatedRun)> done) override;
    void ShowMessage(Form& owner, const std::wstring& text) override;

    // Where this copy lies: its final path (nothing: the path of the command,
    // with no link on the way) and the protected folders.
    std::optional<std::wstring> finalExePath;
    std::vector<std::wstring> protectedFolders = {L"C:\\Program Files", L"C:\\Program Files (x86)"};
    std::wstring FinalExePath() override { return finalExePath.value_or(AppDirectory() + L"\\" + exeName + L".exe"); }
    std::vector<std::wstring> ProtectedFolders() override { return protectedFolders; }
    // Where the data lives, and asking before it goes: the test plays Windows and the user.
    std::filesystem::path localAppData;  // empty: Windows does not tell it
    std::wstring executableKey;          // empty: appDirectory/exeName.exe, upper-cased (ASCII)
    bool sessionEnding = false;
    std::vector<std::wstring> questions;  // every question asked, in order
    std::vector<bool> answers;            // the answers still to give, first first; none left: Nie
    std::function<void()> whileAsked;     // runs while a question is up (its owner takes no input)
    std::wstring LocalAppDataFolder() override;
    std::wstring ExecutableKey() override;
    bool UserOwnsFile(const std::wstring&) override { return filesOwned; }
    bool SessionEnding() override { return sessionEnding; }
    bool AskYesNo(Form& owner, const std::wstring& text) override;
    // The local calendar and documents for other programs.
    std::int32_t firstDay = 20794;  // the local date at the clock's 0 (and at `now` at first): Monday 2026-12-07
    std::filesystem::path tempDirectory = ".";
    std::vector<std::pair<Handle, std::wstring>> documents;  // OpenDocument(owner, file)
    LocalTime LocalNow() override;  // from the clock moved by wallClockShift
    std::wstring TempDirectory() override;
    void OpenDocument(Handle owner, const std::wstring& file) override { documents.emplace_back(owner, file); }
    void CaptionChanged(Form&) override {}
    void MenuItemChanged(Form&, const MenuItem&) override {}
    std::uint32_t TickCountMs() override;
    std::uint32_t LastInputTickMs() override { return lastInputTick; }
    void WatchSession(Form& form) override;
    int ReadProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                       int fallback) override;
    bool WriteProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                         int value) override;
    std::wstring ReadProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key) override {
        return profileTexts[{file, section, key}];
    }
    bool WriteProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                          const std::wstring& text) override {
        if (profileWritable) profileTexts[{file, section, key}] = text;
        return profileWritable;
    }
    // Shortcut menus shown, each as its captions joined by '|', the default
    // item marked '*'; the user picks the item at index popupChoice (none: < 0,
    // or a separator: the menu is dismissed).
    std::vector<std::wstring> popups;
    int popupChoice = -1;
    int wokeOther = 0;  // WakeOtherInstance calls
    Handle TrayPicture(int iconResource) override {  // its size from the scale
        return 0x6000 + iconResource + (static_cast<Handle>(1440 / twipsPerPixel) << 16);
    }
    bool PopupMenu(Form& owner, MenuItem& menu) override;
    void ToForeground(Form& form) override { Activate(form); }
    void WakeOtherInstance() override { ++wokeOther; }
    std::optional<std::wstring> restartArguments;  // what RegisterRestart was given
    void RegisterRestart(const std::wstring& arguments) override { restartArguments = arguments; }
    bool highContrast = false;
    bool HighContrast() override { return highContrast; }

private:
    double asleep_ = 0;  // seconds slept so far
    czasomir::SessionWatch session_;  // of the one form that asked
    Form* sessionForm_ = nullptr;

    std::vector<std::function<void(ElevatedRun)>> pendingElevations_;

    struct Window {
        Handle handle = 0;
        bool visible = false;
        bool shown = false;  // displayed at least once
        bool enabled = true;
        int state = kNormal;
    };
    bool Accepts(const Form& form) const;  // user input reaches it
    void Schedule(Timer& timer);

    std::map<const Form*, Window> windows_;
    std::map<const Control*, Handle> controlHandles_;
    std::map<Timer*, double> due_;  // enabled timers of created forms: next tick
    Handle nextHandle_ = 0x1000;
    const Control* focusedControl_ = nullptr;
    const Form* focusedForm_ = nullptr;
    const Form* activeForm_ = nullptr;
};

}  // namespace tk
