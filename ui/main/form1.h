// The main window: the time display, the Start/Stop button, the autostart
// check box, the menus, the two timers and the tray icon. It owns all of the
// program's state and its handlers are the program's whole control flow.
#pragma once

#include <memory>
#include <string>

#include "autostart/rejestr.h"
#include "core/elapsed_counter.h"
#include "platform/toolkit.h"
#include "storage/time_file.h"
#include "ui/about/form2.h"

namespace czasomir {

inline constexpr int kSaveIntervalMs = 65535;

class Form1 : public tk::Form {
public:
    // saveIntervalMs is Timer2's period; only test builds pass anything else.
    Form1(tk::Platform& platform, Rejestr& registry, int saveIntervalMs = kSaveIntervalMs);

    // Controls, in order of creation (their ids are 1, 2, ... in this order).
    tk::Timer Timer2;
    tk::PictureBox Picture1;
    tk::CheckBox Check1;
    tk::CommandButton Command1;
    tk::Timer Timer1;
    tk::Label Label1;
    tk::Image Image1;
    tk::Timer TrayRetry;  // adds the tray icon again while the shell is not ready for it

    // Menus.
    tk::MenuItem mnuPlik, mnuPlikZresetuj, a, mnuPlikZamknij;
    tk::MenuItem mnuPomoc, mnuPomocOProgramie;
    // The tray icon's shortcut menu (form1_tray.cpp).
    tk::MenuItem mnuTray, mnuTrayPokaz, mnuTrayStartStop, mnuTrayHistoria, mnuTrayKreska, mnuTrayZamknij;

    // State.
    ElapsedCounter Counter;
    std::wstring RunEntry;             // the autostart value read at startup
    std::int16_t RestoreFromTray = 0;  // set by a press on the tray icon, consumed by the next resize
    tk::TrayIcon TrayIcon;

    // The About box while it is open, else null.
    const Form2* about() const { return about_.get(); }

    // Handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Unload(int& cancel);
    void Command1_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void mnuPlikZresetuj_Click();
    void mnuPlikZamknij_Click();
    void mnuPomocOProgramie_Click();
    void Check1_Click();
    void Picture1_MouseDown(int button, int shift, double x, double y);
    void mnuPlikHistoria_Click();
    void Form_AnotherStart();  // a second start: this copy's window comes to the front

    // Today's counted seconds, and whether counting is paused for idle or a
    // locked session (form1_today.cpp).
    std::int32_t TodaySeconds();
    bool PausedForIdle() const;
    // "Czasomir - <total>, dziś <today>", and " (przerwa)" while paused.
    std::wstring TrayTip();
    // The tray icon's picture from the state: counting, or not (stopped or paused).
    void RefreshTrayIcon();

    // Startup and closing steps.
    void SyncAutostartCheckBox();
    void EnterTrayMode();
    void RemoveTrayIcon();

    // How long the tray icon is retried when the shell refuses it at startup.
    static constexpr int kTrayRetryMs = 2000;
    static constexpr int kTrayRetryAttempts = 60;

private:
    bool TrayMode();  // started with exactly "/auto"
    void SetUpTray();     // the shortcut menu and the second-start event
    void ShowFromTray();  // what a left press on the icon does
    void ShowTrayMenu();
    int TrayPictureNow() const;
    void RefreshTrayTip();
    void AddTrayIcon();
    void TrayRetry_Timer();
    void Form_TaskbarCreated();
    void Check1_Elevated(const tk::ElevatedRun& run);  // the elevated run for the last change has ended
    void ShowAutostartState();                          // the box from the Run value

    Rejestr& registry_;
    TimeFile timeFile_;
    std::unique_ptr<Form2> about_;
    bool correctingCheck1_ = false;  // the Click handler is setting the box to what the registry holds
    bool syncingCheck1_ = false;     // startup is setting the box: no prompt, no message
    int elevatingTo_ = -1;           // while an elevated run makes the change: the value asked for, else -1
    int trayAttempts_ = 0;
    bool trayGaveUp_ = false;  // the icon could not be added: the window stays reachable
    int trayPicture_ = 0;      // the icon resource the tray icon shows
};

}  // namespace czasomir
