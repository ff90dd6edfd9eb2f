// The windowing toolkit the program's windows are written against.
//
// A form and its controls are plain objects that hold their own state
// (captions, values, enabled switches); a backend turns them into real windows
// (toolkit_win.cpp, over Win32) or keeps them in memory (the tests' headless backend
// with a fake clock). The form code sets state and handles events; it never
// sees a window handle except as an opaque number it hands back to the platform.
//
// Rules every backend keeps:
// - One event at a time, on one thread; a handler runs to its end before the
//   next event is delivered (the only nesting: a program change of a check
//   box's value raises its Click at once, and a modal dialog or message box
//   runs its own loop).
// - A handler that fails (throws a std::exception) ends at that point; the
//   toolkit drops the failure and goes on delivering events.
// - Ending the process is immediate: no further handler runs.
// - Positions and sizes are in twips (1/1440 inch, 15 to a pixel at 96 DPI).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tk {

using Handle = std::uintptr_t;  // a native handle (window, icon) as an opaque number; 0 is none

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the client area
};

struct Font {
    std::wstring face;
    double points = 8.25;
    int weight = 400;  // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    int charset = 238;  // Central European
};

enum class Align { Left, Center };
enum class Kind { Label, CommandButton, CheckBox, PictureBox, Image, Timer, BarChart, SpinBox };

// Window states, as the form code sees them.
inline constexpr int kNormal = 0;
inline constexpr int kMinimized = 1;

// Mouse buttons of a MouseDown event.
inline constexpr int kLeftButton = 1;

class Form;
class Platform;

// A notification-area icon, as the program describes it to the shell.
struct TrayIcon {
    Handle window = 0;            // receives the icon's mouse notifications
    unsigned id = 0;
    unsigned flags = 0;           // kTrayMessage | kTrayIcon | kTrayTip
    unsigned callbackMessage = 0;
    Handle icon = 0;
    std::wstring tip;
    std::wstring info;        // a notification's text (ShowBalloon)
    unsigned infoFlags = 0;   // and its NIIF_ flags
};
inline constexpr unsigned kTrayMessage = 1, kTrayIcon = 2, kTrayTip = 4, kTrayInfo = 8;
// An icon's notification: its flags, and what the shell reports of it (as the icon's other notifications).
inline constexpr unsigned kInfoOwnIcon = 0x4 /* NIIF_USER */, kInfoRespectQuietTime = 0x80;
inline constexpr int kTrayBalloonGone = 0x404 /* timed out */, kTrayBalloonClick = 0x405;
// Modify changes what `flags` names; Focus gives the keyboard focus back to
// the notification area. An icon that was added reports in the shell's fourth
// manner: the notification's number in the low word, the keyboard's Enter and
// menu key as their own notifications.
enum class TrayOp { Add, Delete, Modify, Focus };
// Notifications of an added icon (what the picture box's MouseDown gets as x, in pixels).
inline constexpr int kTrayPointerOver = 0x200, kTrayLeftPress = 0x201,
                     kTrayMenu = 0x7B /* right release, Shift+F10, menu key */, kTrayKeyEnter = 0x401;

// What became of a request to run the program with administrator rights.
struct ElevatedRun {
    enum Outcome { Ran, Declined, NotStarted };
    Outcome outcome = NotStarted;  // Declined: the user said no at the prompt
    unsigned long exitCode = 0;    // the elevated run's exit code, when it ran
};

// A moment on the local wall clock: its calendar day and time of day.
struct LocalTime {
    std::int32_t day = 0;   // days since 1970-01-01
    double timeOfDay = 0;   // seconds since local midnight
};
// What became of the user's session, as Windows reports it to a watching window.
enum class SessionChange { Lock, Unlock, Disconnect, Connect };

// Runs an event handler: a failure leaving it is dropped, ending the process is not.
void Dispatch(const std::function<void()>& handler);

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::wstring& name() const { return name_; }
    Kind kind() const { return kind_; }
    Form& form() const { return form_; }
    int id() const { return id_; }  // 1, 2, ... in order of creation on the form
    const Bounds& bounds() const { return bounds_; }
    int tabIndex() const { return tabIndex_; }  // -1: takes no part in the tab order
    bool visible() const { return visible_; }

    // Everything with a window: its handle (0 before the form is created, or headless).
    Handle handle() const;
    // Twips in one pixel of the form's display now (15 at 96 DPI).
    double twipsPerPixel() const;

protected:
    Control(Form& form, std::wstring name, Kind kind, Bounds bounds, int tabIndex, bool visible = true);
    void changed();  // tells the backend that the state shown changed

private:
    Form& form_;
    std::wstring name_;
    Kind kind_;
    int id_;
    Bounds bounds_;
    int tabIndex_;
    bool visible_;
};

class Label : public Control {
public:
    Label(Form& form, std::wstring name, Bounds bounds, int tabIndex);

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& text);  // the same text again changes nothing

    // Style, set by the form's constructor before the form is created.
    Align align = Align::Left;
    bool hasFont = false;
    Font font;
    // A link: reached with Tab, opened (Click) with a click, Enter or Space, in
    // the system's link colour with a visible focus (a SysLink on Win32).
    bool link = false;

    std::function<void()> onClick;
    void raiseClick() { Dispatch(onClick); }

private:
    std::wstring caption_;
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, std::wstring name, Bounds bounds, int tabIndex);

    const std::wstring& caption() const { return caption_; }
    void setCaption(const std::wstring& text);
    void setFocus();

    std::function<void()> onClick;
    void raiseClick() { Dispatch(onClick); }

private:
    std::wstring caption_;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, std::wstring name, Bounds bounds, int tabIndex);

    std::wstring caption;  // set before the form is created
    std::wstring toolTip;

    int value() const { return value_; }  // 0 unticked, 1 ticked, 2 greyed
    // A change of value made by the program raises Click at once, before this
    // returns; setting the current value again raises nothing.
    void setValue(int value);

    std::function<void()> onClick;
    // The backend's report of the user's click: the box now shows `value`.
    void userClicked(int value);

private:
    int value_ = 0;
};

class PictureBox : public Control {
public:
    PictureBox(Form& form, std::wstring name, Bounds bounds, int tabIndex, bool visible);

    // MouseDown(button, shift, x, y): the position is in twips.
    std::function<void(int button, int shift, double x, double y)> onMouseDown;
    void raiseMouseDown(int button, int shift, double x, double y);
};

class Image : public Control {
public:
    Image(Form& form, std::wstring name, Bounds bounds, int pictureResource);
    int pictureResource() const { return picture_; }

    // What the picture says, on two lines: drawn as text in the system's
    // colours instead of the picture while high contrast is on.
    std::wstring title, subtitle;
    bool showsWords() const;
    // "<title> - <subtitle>": what a screen reader reads for the picture.
    std::wstring accessibleName() const;

private:
    int picture_;
};

// A bar chart: bars side by side from left to right, each with a label of
// one or two lines under it and a tooltip; a scale of marks at the left.
class BarChart : public Control {
public:
    BarChart(Form& form, std::wstring name, Bounds bounds);

    struct Bar {
        double value = 0;  // 0: an empty slot
        std::wstring label, toolTip;
    };
    struct Mark {
        double value = 0;
        std::wstring label;
    };
    const std::vector<Bar>& bars() const { return bars_; }
    const std::vector<Mark>& marks() const { return marks_; }
    double top() const { return top_; }  // the value at the top of the chart
    // What a screen reader reads: the chart's name, and its value (the bars in words).
    std::wstring accessibleName;
    const std::wstring& summary() const { return summary_; }
    void setData(std::vector<Bar> bars, std::vector<Mark> marks, double top, std::wstring summary);

private:
    std::vector<Bar> bars_;
    std::vector<Mark> marks_;
    double top_ = 1;
    std::wstring summary_;
};

// A number typed in an edit box, with up and down arrows beside it (right of
// its bounds) that step it within [minimum, maximum]. The text is what the box
// shows: it may hold anything the user typed.
class SpinBox : public Control {
public:
    SpinBox(Form& form, std::wstring name, Bounds bounds, int tabIndex, int minimum, int maximum);

    const int minimum, maximum;
    const std::wstring& text() const { return text_; }
    void setText(const std::wstring& text);
    // The backend's report that the box now shows `text`.
    void userTyped(const std::wstring& text) { text_ = text; }

private:
    std::wstring text_;
};

class Timer : public Control {
public:
    Timer(Form& form, std::wstring name, int intervalMs, bool enabled);

    int interval() const { return interval_; }  // 1..65535 ms
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    std::function<void()> onTick;
    // The backend's tick: does nothing once the timer is disabled, even for a
    // tick that was already on its way.
    void raiseTick();

private:
    int interval_;
    bool enabled_;
};

struct MenuItem {
    MenuItem() = default;
    MenuItem(std::wstring name, std::wstring caption, std::vector<MenuItem*> items = {})
        : name(std::move(name)), caption(std::move(caption)), items(std::move(items)) {}

    std::wstring name;     // mnuPlik, mnuPlikZresetuj, ...
    std::wstring caption;  // "&" marks the access key; "-" is a separator
    std::vector<MenuItem*> items;
    std::function<void()> onClick;
    int id = 0;  // command number, given when the item is added to the form
    bool checked = false;  // shows a check mark; set through Form::setChecked once the form exists
    bool isDefault = false;  // shown bold in a shortcut menu: what a press on the icon does
    bool separator() const { return caption == L"-"; }
};

class Form {
public:
    Form(Platform& platform, std::wstring name);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    Platform& platform() const { return platform_; }
    const std::wstring& name() const { return name_; }
    const std::vector<Control*>& controls() const { return controls_; }
    const std::vector<MenuItem*>& menu() const { return menu_; }

    // Settings, fixed before the window is created.
    std::wstring caption;
    int clientWidth = 0, clientHeight = 0;  // twips
    bool minButton = true;
    bool maxButton = false;  // the frame is always fixed single: it cannot be resized
    int iconResource = 0;
    // Enter anywhere but on another button presses defaultButton; Escape presses cancelButton.
    CommandButton* defaultButton = nullptr;
    CommandButton* cancelButton = nullptr;

    // Menu bar: top-level items, in order. The form gives every item its command number.
    void addMenu(MenuItem& top);
    // A shortcut menu (Platform::PopupMenu): its items get command numbers, the bar is left alone.
    void addPopupMenu(MenuItem& top) { number(top); }

    // Events.
    std::function<void()> onLoad;
    std::function<void()> onResize;               // each display of a hidden window, every change of window state
    std::function<void(int& cancel)> onUnload;    // close box, system menu, end of session
    std::function<void()> onTaskbarCreated;       // the shell's taskbar was (re)created
    std::function<void()> onDpiChanged;           // the display's scale under the window changed
    std::function<void(SessionChange)> onSessionChange;  // once the platform watches the session for the form
    std::function<void()> onAnotherStart;         // the program was started again while this one runs

    // Operations.
    // Modeless, no owner; creates the window first if needed. Displaying a
    // hidden window (the first display included) raises Resize; a window that
    // was hidden while minimised comes back restored. Showing a visible window
    // does nothing.
    void show();
    void showModal(Form& owner);    // returns once the form has been unloaded
    void hide();
    void unload();                  // destroys the window; the next show builds it anew
    bool visible() const;
    int windowState() const;
    void setWindowState(int state);
    void setFocus();
    Handle handle() const;
    Handle iconHandle() const;
    bool created() const { return created_; }
    // The title bar's text, and a menu item's check mark, changed while the window exists.
    void setCaption(const std::wstring& text);
    void setChecked(MenuItem& item, bool checked);

    // For backends.
    void raiseLoad() { Dispatch(onLoad); }
    void raiseResize() { Dispatch(onResize); }
    void raiseTaskbarCreated() { Dispatch(onTaskbarCreated); }
    void raiseDpiChanged() { Dispatch(onDpiChanged); }
    void raiseSessionChange(SessionChange change) {
        if (onSessionChange) Dispatch([&] { onSessionChange(change); });
    }
    void raiseAnotherStart() { Dispatch(onAnotherStart); }
    // Raises Unload; true when the form may close (no handler set the cancel flag).
    bool raiseUnload();
    void setCreated(bool created) { created_ = created; }
    void add(Control& control);  // called by Control's constructor

private:
    void number(MenuItem& item);

    Platform& platform_;
    std::wstring name_;
    std::vector<Control*> controls_;
    std::vector<MenuItem*> menu_;
    int nextCommand_ = 100;
    bool created_ = false;
};

// The platform under the toolkit: the native windows, and the process's few
// services. Win32Platform (toolkit_win.h) and HeadlessPlatform (headless.h).
class Platform {
public:
    virtual ~Platform() = default;

    // Process.
    // True when another copy already uses this data folder, in any session and
    // for any user; while this process runs, it holds the folder for itself.
    virtual bool AnotherInstanceRunning(const std::wstring& dataFolder) = 0;
    virtual std::wstring ArgumentText() = 0;  // the command line without the program's own path
    virtual std::wstring AppDirectory() = 0;  // the executable's directory, as Windows gives it
    virtual std::wstring ExeName() = 0;       // file name without extension
    [[noreturn]] virtual void EndProcess() = 0;
    virtual double TimeOfDaySeconds() = 0;    // local time of day, 0..86400, with a fraction

    // Forms and controls: called by the toolkit objects above.
    virtual void Create(Form& form) = 0;
    virtual void Destroy(Form& form) = 0;
    virtual void Show(Form& form) = 0;
    virtual void ShowModal(Form& form, Form& owner) = 0;
    virtual void Hide(Form& form) = 0;
    virtual bool IsVisible(const Form& form) const = 0;
    virtual int WindowState(const Form& form) const = 0;
    virtual void SetWindowState(Form& form, int state) = 0;
    virtual void Focus(Form& form) = 0;
    virtual void Focus(Control& control) = 0;
    virtual void Activate(Form& form) = 0;
    virtual Handle WindowHandle(const Form& form) const = 0;
    virtual Handle WindowHandle(const Control& control) const = 0;
    virtual Handle IconHandle(const Form& form) const = 0;
    virtual double TwipsPerPixel(const Form& form) const = 0;
    virtual void Changed(Control& control) = 0;

    // Shell: opens a document or URL with its registered program; the result is not examined.
    virtual void ShellOpen(Handle owner, const std::wstring& target) = 0;
    // Notification area: true when the shell took the request.
    virtual bool NotifyIcon(TrayOp op, const TrayIcon& icon) = 0;
    // A notification from an added icon: `icon.info` with `icon.infoFlags`, the
    // icon's own picture (`icon.icon`) beside it; true when the shell took it.
    virtual bool ShowBalloon(const TrayIcon& icon) = 0;

    // Runs the program: creates the startup form, raises its Load, shows it
    // and delivers events until the process ends.
    virtual int Run(Form& startup) = 0;

    // Real time: seconds from an arbitrary origin on a clock that stops while
    // the computer sleeps, hibernates or is in Modern Standby, and does not
    // follow changes of the wall clock or the time zone. Runs of the counter
    // are measured on it.
    virtual double RealTimeSeconds() = 0;

    // Administrator rights and the user --------------------------------------
    // True when this process lacks administrator rights and Windows can be
    // asked for them (User Account Control is on); false when it already has
    // them, or when no prompt can give them.
    virtual bool CanElevate() = 0;
    // Starts this program's own executable with administrator rights (Windows
    // asks the user first) and the given argument text, and returns at once;
    // `done` runs later, as an event, with the outcome, once the elevated run
    // has ended or could not start.
    virtual void RunElevated(Form& owner, const std::wstring& arguments, std::function<void(ElevatedRun)> done) = 0;
    // A short warning for the user, in a message box owned by the form; returns
    // once the user has closed it (the form's timers keep ticking meanwhile).
    virtual void ShowMessage(Form& owner, const std::wstring& text) = 0;

    // Where this copy lies ----------------------------------------------------
    // The executable's final path, as the file system resolves it (links,
    // junctions, short names and the letter case of each name followed); it
    // may begin with \\?\. Empty when it cannot be found out.
    virtual std::wstring FinalExePath() = 0;
    // The folders that only administrators can change: the Program Files
    // folders, those that can be found.
    virtual std::vector<std::wstring> ProtectedFolders() = 0;
    // Where the data lives, and asking before it goes ------------------------
    // The user's folder for local application data (%LOCALAPPDATA%), with no
    // separator at its end; empty when Windows does not tell it.
    virtual std::wstring LocalAppDataFolder() = 0;
    // The running executable's full path spelt one way for each file (long
    // names, upper case): every spelling that starts the same file gives it.
    virtual std::wstring ExecutableKey() = 0;
    // True when the file's owner is the user this process runs as (not a
    // group, not another user); false when it cannot be found out.
    virtual bool UserOwnsFile(const std::wstring& file) = 0;
    // True while Windows ends the session: from its question whether the
    // session may end until it has ended or was called off. Nothing may wait
    // for the user then.
    virtual bool SessionEnding() = 0;
    // A question in a box owned by the form, with the buttons "Tak" and "Nie"
    // (these texts on a Windows of any language); Nie is the default, and
    // Escape or the box's close button answer Nie. True for Tak. Returns once
    // answered; the form's timers keep ticking meanwhile.
    virtual bool AskYesNo(Form& owner, const std::wstring& text) = 0;
    // The local calendar and documents for other programs -------------------
    // The local date (days since 1970-01-01) and time of day (0..86400, with a
    // fraction), read together, as the wall clock shows them now.
    virtual LocalTime LocalNow() = 0;
    // The user's folder for temporary files, without a separator at the end.
    virtual std::wstring TempDirectory() = 0;
    // Opens a document with the program registered for its type; where none
    // is, Windows offers its choice of programs. The outcome is not examined.
    virtual void OpenDocument(Handle owner, const std::wstring& file) = 0;
    // Whether the computer is in use, and settings ------------------------------
    // Changed state of a created form: its caption, a menu item's check mark.
    virtual void CaptionChanged(Form& form) = 0;
    virtual void MenuItemChanged(Form& form, const MenuItem& item) = 0;
    // Windows' tick count in milliseconds (wraps after 49.7 days; runs on in
    // sleep), and its value at the session's last keyboard or mouse input.
    virtual std::uint32_t TickCountMs() = 0;
    virtual std::uint32_t LastInputTickMs() = 0;
    // Raises the form's SessionChange from now on: at once a Lock (or a
    // Disconnect) when the session already is, then every lock, unlock,
    // disconnection and connection. When Windows' session service is not
    // ready yet (at logon), watching begins once it is. Asking again changes nothing.
    virtual void WatchSession(Form& form) = 0;
    // A setting of an INI file, through Windows' profile functions: the number
    // under the key, or `fallback` when the file, section or key is missing or
    // unreadable; a write reports whether the file took it.
    virtual int ReadProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                               int fallback) = 0;
    virtual bool WriteProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                 int value) = 0;
    // The same for a text (at most 31 characters; empty when missing).
    virtual std::wstring ReadProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key) = 0;
    virtual bool WriteProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                  const std::wstring& text) = 0;
    // Notification area and a second start --------------------------------------
    // An icon resource at the size the notification area shows at the
    // display's scale now (16, 24 or 32 pixels...); loaded once for each size,
    // kept until the process ends.
    virtual Handle TrayPicture(int iconResource) = 0;
    // Shows `menu`'s items as a shortcut menu at the point of the tray
    // notification being handled (the pointer, or the icon when the keyboard
    // asked), the owner's window brought to the front first so that a click
    // elsewhere closes it; the chosen item's Click runs once the menu has closed.
    // False when the menu was dismissed without a choice.
    virtual bool PopupMenu(Form& owner, MenuItem& menu) = 0;
    // The form's window to the front, ahead of other programs' windows.
    virtual void ToForeground(Form& form) = 0;
    // Asks the copy that runs from the same executable (the one that made
    // AnotherInstanceRunning true) to come forward: its startup form raises AnotherStart.
    virtual void WakeOtherInstance() = 0;
    // Asks Windows to start the program again, with this argument text, when an
    // update closed it (not after a crash, a hang or a reboot).
    virtual void RegisterRestart(const std::wstring& arguments) = 0;
    // Accessibility ------------------------------------------------------------
    // True while Windows' high-contrast mode is on: the program then draws in
    // system colours only. Windows tells each window when it changes.
    virtual bool HighContrast() = 0;
};

// The process ended inside a handler (headless backend only: the Win32 backend
// really ends the process). Not a std::exception, so no failure guard catches it.
struct ProcessEnded {};

}  // namespace tk
