// The main window: the time display, the Start/Stop button, the autostart
// check box, the menus, the two timers and the tray icon. It owns all of the
// program's state and its handlers are the program's whole control flow.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "autostart/autostart.h"
#include "core/elapsed_counter.h"
#include "core/break_reminder.h"
#include "core/daily_limit.h"
#include "core/idle_guard.h"
#include "platform/toolkit.h"
#include "storage/data_folder.h"
#include "storage/history_file.h"
#include "storage/time_file.h"
#include "ui/about/form2.h"
#include "ui/history/form3.h"
#include "ui/settings/form4.h"

namespace czasomir {

inline constexpr int kSaveIntervalMs = 65535;

class Form1 : public tk::Form {
public:
    // saveIntervalMs is Timer2's period and idleLimitMs how long without input
    // pauses counting; only test builds pass anything else.
    Form1(tk::Platform& platform, Rejestr& registry, int saveIntervalMs = kSaveIntervalMs,
          std::uint32_t idleLimitMs = IdleGuard::kIdleLimitMs);

    // Controls, in order of creation (their ids are 1, 2, ... in this order).
    tk::Timer Timer2;
    tk::PictureBox Picture1;
    tk::CheckBox Check1;
    tk::CommandButton Command1;
    tk::Timer Timer1;
    tk::Label Label1;
    tk::Image Image1;
    tk::Timer TrayRetry;  // adds the tray icon again while the shell is not ready for it
    tk::Timer NoteTimer;  // removes the icon added for a notification if the shell never reports its end

    // Menus.
    tk::MenuItem mnuPlik, mnuPlikZresetuj, a, mnuPlikZamknij;
    tk::MenuItem mnuPomoc, mnuPomocOProgramie;
    tk::MenuItem mnuPlikHistoria;
    tk::MenuItem mnuPlikPomijaj;  // Plik > "Pomijaj czas bezczynności", a check item
    tk::MenuItem mnuPlikUstawienia;  // Plik > "Ustawienia..."
    // The tray icon's shortcut menu (form1_tray.cpp).
    tk::MenuItem mnuTray, mnuTrayPokaz, mnuTrayStartStop, mnuTrayHistoria, mnuTrayKreska, mnuTrayZamknij;

    // State.
    ElapsedCounter Counter;
    std::wstring RunEntry;             // the autostart value read at startup
    std::int16_t RestoreFromTray = 0;  // set by a press on the tray icon, consumed by the next resize
    tk::TrayIcon TrayIcon;

    // The About box while it is open, else null.
    const Form2* about() const { return about_.get(); }

    // The folder of the files the program writes: czas.dat, and any other file
    // of the program's own belongs beside it (open it as DataFolder() plus a
    // separator plus its name). The program's folder when the program may
    // write there, else this copy's folder under %LOCALAPPDATA%\Czasomir
    // (storage/data_folder.h). Chosen in Form_Load before the single-instance
    // test, made ready after it; the program's folder until then.
    const std::wstring& DataFolder() const { return chosen_.path; }

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
    void mnuPlikPomijaj_Click();
    void Form_SessionChange(tk::SessionChange change);

    // Counting is on but paused: the session is locked or nobody used the computer for a while.
    bool PausedForIdle() const { return idle_.paused(); }

    // The per-day history (form1_history.cpp) ---------------------------------
    // Plik > Historia...: the History window, modal; does nothing while it is open.
    void mnuPlikHistoria_Click();
    // Today's seconds, those counted since the last save included.
    std::int32_t TodaySeconds();
    // The History window while it is open, else null.
    const Form3* historyWindow() const { return historyWindow_.get(); }
    void Form_AnotherStart();  // a second start: this copy's window comes to the front

    // The Settings window and the daily limit (form1_limit.cpp) ----------------
    // Plik > Ustawienia...: the Settings window, modal; does nothing while it is open.
    void mnuPlikUstawienia_Click();
    const Form4* settingsWindow() const { return settings_.get(); }
    bool OverLimit() const { return limit_.over(); }
    // How long the icon added for a notification stays when the shell reports nothing.
    static constexpr int kNoteFallbackMs = 60000;

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
    void ModifyTrayIcon(unsigned flags);  // and the tip
    void PrepareTrayIcon();  // the icon's number, flags, messages and window
    void AddTrayIcon();  // with fresh retries
    void TryTrayIcon();
    void TrayRetry_Timer();
    void Form_TaskbarCreated();
    void Check1_Elevated(const tk::ElevatedRun& run);  // the elevated run for the last change has ended
    void ShowAutostartState();                          // the box from the Run value
    const AutostartEntry& Autostart();  // this copy's registration; where it lies is found out once, when first needed

    // The data folder and saves that fail (form1_data.cpp).
    void ChooseDataFolder();   // writes nothing: the single-instance test is keyed by it
    void PrepareDataFolder();  // this copy's own folder made and seeded, once no other copy uses it
    void SaveFailedNow();     // a save failed, or none can be made: the user is to be told once
    void TellSaveFailure();   // tells, if due, while the window is shown and the session goes on
    bool ConfirmReset();      // asks before the total goes; true for Tak

    // The per-day history (form1_history.cpp).
    std::wstring HistoryFolder();  // where historia.csv is kept
    void LoadHistory();            // at startup
    void CountHistory();           // each tick: the total's change since the last goes to the days
    void SaveHistory();            // with each save of the total; never throws
    std::optional<HistoryFile> history_;
    std::int32_t historyBase_ = 0;  // the total the days last saw: set at startup, Start and Reset
    RecentDays recentDays_;         // what each day got since the last input, while the idle option is on
    std::unique_ptr<Form3> historyWindow_;
    void LoadIdleOption();               // the option from czasomir.ini
    void FollowUse(double realTime);     // a tick's pause, take-back or resume
    void ShowPauseState();               // the caption and the tray tip
    void LoadLimit();                    // the limit from czasomir.ini
    void FollowLimit(bool mayNotify);    // today against the limit: the notification, the caption's state
    void FollowStretch(std::int32_t counted, double realTime);  // a tick's part of the stretch without a break
    void Notify(const std::wstring& text);  // the notification area's notification, with an icon for it if none
    void NotificationEnded(bool clicked);   // the shell reports the notification gone
    void RemoveNoteIcon();               // the icon added for a notification goes
    std::unique_ptr<Form4> settings_;
    DailyLimit limit_;
    BreakReminder breaks_;

    Rejestr& registry_;
    TimeFile timeFile_;
    std::unique_ptr<Form2> about_;
    bool correctingCheck1_ = false;  // the Click handler is setting the box to what the registry holds
    bool syncingCheck1_ = false;     // startup is setting the box: no prompt, no message
    int elevatingTo_ = -1;           // while an elevated run makes the change: the value asked for, else -1
    std::optional<AutostartEntry> autostart_;
    int trayAttempts_ = 0;
    bool trayGaveUp_ = false;  // the icon could not be added: the window stays reachable
    czasomir::DataFolder chosen_;  // the data folder chosen at startup, then as made ready
    enum class SaveWarning { None, Due, Told } saveWarning_ = SaveWarning::None;  // once per run
    bool asking_ = false;  // the Reset question is up
    IdleGuard idle_;
};

// This copy's registration, with where the copy lies found out from the
// platform (for the main window and for the elevated mode).
AutostartEntry ThisCopysAutostart(tk::Platform& platform);

}  // namespace czasomir
