// Tray mode: started with "/auto" the program counts from the notification
// area; a left-button press on the icon brings the window back and minimising
// hides it again.
#include <cmath>

#include "ui/main/form1.h"

namespace czasomir {

namespace {

const unsigned kTrayIconId = 1;
// The shell reports mouse events over the icon with this message, sent to
// Picture1's window. It is the number of the left-button-down message, so the
// toolkit delivers every notification as a press at x = the mouse message's number.
const unsigned kTrayCallbackMessage = 0x201;
const int kLeftButtonDownMessage = 0x201;

}  // namespace

bool Form1::TrayMode() { return platform().ArgumentText() == L"/auto"; }

void Form1::EnterTrayMode() {
    try {
        Command1_Click();
    } catch (const std::exception&) {
    }
    hide();
    TrayIcon.id = kTrayIconId;
    TrayIcon.flags = tk::kTrayMessage | tk::kTrayIcon | tk::kTrayTip;
    TrayIcon.callbackMessage = kTrayCallbackMessage;
    TrayIcon.icon = iconHandle();
    TrayIcon.window = Picture1.handle();
    TrayIcon.tip = L"Czasomir";
    AddTrayIcon();
}

// At logon the shell may not take the icon yet: try again from a timer for a
// while, and if it never does, leave the window where the user can reach it.
void Form1::AddTrayIcon() {
    if (platform().NotifyIcon(tk::TrayOp::Add, TrayIcon)) {
        TrayRetry.setEnabled(false);
        return;
    }
    TrayRetry.setEnabled(true);
}

void Form1::TrayRetry_Timer() {
    if (platform().NotifyIcon(tk::TrayOp::Add, TrayIcon)) {
        TrayRetry.setEnabled(false);
    } else if (++trayAttempts_ >= kTrayRetryAttempts) {
        TrayRetry.setEnabled(false);
        trayGaveUp_ = true;
        show();
    }
}

// Explorer restarted: its new taskbar knows nothing of the icon.
void Form1::Form_TaskbarCreated() {
    if (!TrayMode() || trayGaveUp_) return;
    platform().NotifyIcon(tk::TrayOp::Delete, TrayIcon);
    AddTrayIcon();
}

void Form1::Picture1_MouseDown(int /*button*/, int /*shift*/, double x, double /*y*/) {
    const long message = std::lround(x / Picture1.twipsPerPixel());
    if (message != kLeftButtonDownMessage) return;
    if (about_ && about_->visible()) return;
    if (asking_) return;  // the Reset question is up
    if (historyWindow_ && historyWindow_->visible()) return;
    RestoreFromTray = -1;
    show();
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
