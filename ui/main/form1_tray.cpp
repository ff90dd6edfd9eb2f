// Tray mode: started with "/auto" the program counts from the notification
// area; a left-button press on the icon (or Enter on it) brings the window
// back and minimising hides it again; the right button or the menu key opens
// the icon's menu. The icon's picture shows whether time is counted, its tip
// the total and today's time.
#include <cmath>

#include "core/elapsed_text.h"
#include "platform/resource_ids.h"
#include "ui/main/form1.h"

namespace czasomir {

namespace {

const unsigned kTrayIconId = 1;
// The shell reports mouse events over the icon with this message, sent to
// Picture1's window. It is the number of the left-button-down message, so the
// toolkit delivers every notification as a press at x = the notification's number.
const unsigned kTrayCallbackMessage = 0x201;

}  // namespace

void Form1::SetUpTray() {
    mnuTray = tk::MenuItem(L"mnuTray", L"", {&mnuTrayPokaz, &mnuTrayStartStop, &mnuTrayHistoria, &mnuTrayKreska,
                                             &mnuTrayZamknij});
    mnuTrayPokaz = tk::MenuItem(L"mnuTrayPokaz", L"Pokaż");
    mnuTrayPokaz.isDefault = true;
    mnuTrayStartStop = tk::MenuItem(L"mnuTrayStartStop", L"Start");
    mnuTrayHistoria = tk::MenuItem(L"mnuTrayHistoria", L"Historia...");
    mnuTrayKreska = tk::MenuItem(L"mnuTrayKreska", L"-");
    mnuTrayZamknij = tk::MenuItem(L"mnuTrayZamknij", L"Zamknij");
    addPopupMenu(mnuTray);
    mnuTrayPokaz.onClick = [this] { ShowFromTray(); };
    mnuTrayStartStop.onClick = [this] { Command1_Click(); };
    mnuTrayHistoria.onClick = [this] { mnuPlikHistoria_Click(); };
    mnuTrayZamknij.onClick = [this] { mnuPlikZamknij_Click(); };
    onAnotherStart = [this] { Form_AnotherStart(); };
}

std::wstring Form1::TrayTip() {
    std::wstring tip = L"Czasomir - " + FormatElapsed(Counter.TotalSeconds) + L", dziś " + FormatElapsed(TodaySeconds());
    if (PausedForIdle()) tip += L" (przerwa)";
    else if (OverLimit()) tip += L" - ponad limit";
    return tip;
}

int Form1::TrayPictureNow() const {
    return Command1.caption() == L"Stop" && !PausedForIdle() ? IDI_CZASOMIR : IDI_CZASOMIR_STOPPED;
}

// The picture for the state, at the display's scale now.
void Form1::RefreshTrayIcon() {
    if (!TrayIcon.window) return;  // no icon yet
    const tk::Handle icon = platform().TrayPicture(TrayPictureNow());
    if (icon == TrayIcon.icon) return;
    TrayIcon.icon = icon;
    ModifyTrayIcon(tk::kTrayIcon);
}

// The tip is made when the pointer comes over the icon, not at every tick.
void Form1::RefreshTrayTip() {
    if (TrayTip() != TrayIcon.tip) ModifyTrayIcon(0);
}

// Every change carries the tip, as it reads now: a change without it hides the
// shell's standard tip until the tip's text changes.
void Form1::ModifyTrayIcon(unsigned flags) {
    TrayIcon.tip = TrayTip();  // as it reads now
    tk::TrayIcon change = TrayIcon;
    change.flags = flags | tk::kTrayTip;
    platform().NotifyIcon(tk::TrayOp::Modify, change);
}

bool Form1::TrayMode() { return platform().ArgumentText() == L"/auto"; }

void Form1::EnterTrayMode() {
    try {
        Command1_Click();
    } catch (const std::exception&) {
    }
    hide();
    PrepareTrayIcon();
    AddTrayIcon();
}

void Form1::PrepareTrayIcon() {
    TrayIcon.id = kTrayIconId;
    TrayIcon.flags = tk::kTrayMessage | tk::kTrayIcon | tk::kTrayTip;
    TrayIcon.callbackMessage = kTrayCallbackMessage;
    TrayIcon.window = Picture1.handle();
}

// At logon the shell may not take the icon yet: try again from a timer for a
// while, and if it never does, leave the window where the user can reach it.
// Each time afresh, with the picture at the scale now and the tip as it reads now.
void Form1::AddTrayIcon() {
    trayAttempts_ = 0;
    TrayIcon.icon = platform().TrayPicture(TrayPictureNow());
    TrayIcon.tip = TrayTip();
    TryTrayIcon();
}

// Once the icon is there, minimising hides the window into it again.
void Form1::TryTrayIcon() {
    const bool added = platform().NotifyIcon(tk::TrayOp::Add, TrayIcon);
    TrayRetry.setEnabled(!added);
    if (added) trayGaveUp_ = false;
}

void Form1::TrayRetry_Timer() {
    TryTrayIcon();
    if (TrayRetry.enabled() && ++trayAttempts_ >= kTrayRetryAttempts) {
        TrayRetry.setEnabled(false);
        trayGaveUp_ = true;
        show();
    }
}

// Explorer (re)started, late at logon or after a crash: its new taskbar knows
// nothing of the icon. It is added again, even after the retries at logon gave up.
void Form1::Form_TaskbarCreated() {
    if (!TrayMode()) return;
    platform().NotifyIcon(tk::TrayOp::Delete, TrayIcon);
    AddTrayIcon();
}

void Form1::Picture1_MouseDown(int /*button*/, int /*shift*/, double x, double /*y*/) {
    const long message = std::lround(x / Picture1.twipsPerPixel());
    if (message == tk::kTrayPointerOver) return RefreshTrayTip();
    if (message == tk::kTrayBalloonGone || message == tk::kTrayBalloonClick)
        return NotificationEnded(message == tk::kTrayBalloonClick);
    if (settings_) return;
    if (about_ && about_->visible()) return;
    if (asking_) return;  // the Reset question is up
    if (historyWindow_ && historyWindow_->visible()) return;
    if (message == tk::kTrayLeftPress || message == tk::kTrayKeyEnter) ShowFromTray();
    if (message == tk::kTrayMenu) ShowTrayMenu();
}

// A hidden window's Resize restores it; one already shown (or minimised while
// the icon was missing) is restored here, and the next minimise hides it.
void Form1::ShowFromTray() {
    RestoreFromTray = -1;
    show();
    setWindowState(tk::kNormal);
    RestoreFromTray = 0;  // shown already: no Resize to come would clear it
}

// Start or Stop as the button reads, and does what the button does. Dismissed
// without a choice (Escape), the keyboard goes back to the notification area.
void Form1::ShowTrayMenu() {
    mnuTrayStartStop.caption = Command1.caption();
    if (!platform().PopupMenu(*this, mnuTray)) platform().NotifyIcon(tk::TrayOp::Focus, TrayIcon);
}

// As a press on the icon does; outside tray mode a minimised window is restored.
void Form1::Form_AnotherStart() {
    if (about_ && about_->visible()) return platform().ToForeground(*about_);
    if (TrayMode()) ShowFromTray();
    setWindowState(tk::kNormal);
    platform().ToForeground(*this);
}

void Form1::Form_Resize() {
    if (!TrayMode()) return;
    if (RestoreFromTray) {
        setWindowState(tk::kNormal);
        platform().Activate(*this);
        setFocus();
        Command1.setFocus();
        show();
        RestoreFromTray = 0;
    } else if (!trayGaveUp_) {
        hide();
    }
}

void Form1::RemoveTrayIcon() {
    TrayIcon.id = kTrayIconId;
    TrayIcon.window = Picture1.handle();
    platform().NotifyIcon(tk::TrayOp::Delete, TrayIcon);
}

}  // namespace czasomir
