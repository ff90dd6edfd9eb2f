// The Settings window, the daily limit and the break reminder: once today's
// time reaches the limit while counting, one notification that day (the day is
// kept in czasomir.ini, so a restart that day does not repeat it), and "over
// the limit" in the caption and the tray tip while today stays over it; after
// each stretch of counting without a break of the reminder's length, a
// notification. The decisions are the DailyLimit's and the BreakReminder's;
// this file feeds them, keeps the settings and shows the notifications, in the
// normal mode from an icon added for them.
#include "core/decimal_text.h"
#include "core/elapsed_text.h"
#include "platform/resource_ids.h"
#include "storage/file_io.h"
#include "ui/main/form1.h"

namespace czasomir {

namespace {

const wchar_t kIniName[] = L"czasomir.ini";
const wchar_t kSection[] = L"Czasomir";
const wchar_t kLimitKey[] = L"LimitDzienny";      // minutes, 0 when off
const wchar_t kNotifiedKey[] = L"LimitPokazano";  // RRRR-MM-DD
const wchar_t kBreakKey[] = L"PrzerwaPo";         // minutes, 0 when off
const wchar_t kNotSaved[] = L"Nie udało się zapisać ustawienia w pliku czasomir.ini.";
constexpr int kLeastLimit = 15, kMostLimit = 23 * 60 + 59, kLeastBreak = 10, kMostBreak = 240;  // minutes

}  // namespace

// A value that cannot be read, or is out of range, is off.
void Form1::LoadLimit() {
    const std::wstring ini = DataFolder() + file_io::kSeparator + kIniName;
    const int minutes = platform().ReadProfileInt(ini, kSection, kLimitKey, 0);
    limit_.limitSeconds = minutes >= kLeastLimit && minutes <= kMostLimit ? minutes * 60 : 0;
    const std::int32_t today = platform().LocalNow().day;
    if (platform().ReadProfileText(ini, kSection, kNotifiedKey) == DayText(today)) limit_.notifiedDay = today;
    const int breakMinutes = platform().ReadProfileInt(ini, kSection, kBreakKey, 0);
    breaks_.everySeconds = breakMinutes >= kLeastBreak && breakMinutes <= kMostBreak ? breakMinutes * 60 : 0;
    if (breaks_.everySeconds) platform().WatchSession(*this);  // locks are breaks, with the idle option off too
    FollowLimit(false);
    ShowPauseState();
}

void Form1::FollowLimit(bool mayNotify) {
    const std::int32_t day = platform().LocalNow().day;
    if (!limit_.Check(day, TodaySeconds(), mayNotify)) return;
    platform().WriteProfileText(DataFolder() + file_io::kSeparator + kIniName, kSection, kNotifiedKey, DayText(day));
    Notify(L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (" + FormatElapsed(limit_.limitSeconds) + L").");
}

// The reminder speaks when a stretch reaches its length, or a multiple of it.
void Form1::FollowStretch(std::int32_t counted, double realTime) {
    if (const int minutes = breaks_.Tick(counted, platform().TickCountMs(), platform().LastInputTickMs(), realTime))
        Notify(L"Komputer jest używany bez przerwy od " + DecimalText<wchar_t>(minutes) + L" min. Czas na przerwę.");
}

// The values are kept once czasomir.ini holds them; the idle option goes the menu item's way.
// A reminder switched on in the middle of a stretch counts the stretch from its start.
void Form1::mnuPlikUstawienia_Click() {
    if (settings_) return;
    settings_ = std::make_unique<Form4>(
        platform(), Form4::Values{limit_.limitSeconds / 60, breaks_.everySeconds / 60, mnuPlikPomijaj.checked});
    settings_->showModal(*this);
    const std::unique_ptr<Form4> closed = std::move(settings_);
    if (!closed->accepted) return;
    const Form4::Values& chosen = closed->values;
    const std::wstring ini = DataFolder() + file_io::kSeparator + kIniName;
    if (!platform().WriteProfileInt(ini, kSection, kLimitKey, chosen.limitMinutes) ||
        !platform().WriteProfileInt(ini, kSection, kBreakKey, chosen.breakMinutes))
        return platform().ShowMessage(*this, kNotSaved);
    limit_.limitSeconds = chosen.limitMinutes * 60;
    breaks_.everySeconds = chosen.breakMinutes * 60;
    if (breaks_.everySeconds) platform().WatchSession(*this);
    FollowLimit(true);  // a limit lowered below today's time speaks at once
    ShowPauseState();
    if (chosen.skipIdle != mnuPlikPomijaj.checked) mnuPlikPomijaj_Click();
}

// Without a tray icon (the normal mode) one is added for the notification's
// time, with the tray icon's clicks and menu. A notification the shell does not
// take changes nothing else.
void Form1::Notify(const std::wstring& text) {
    if (!TrayIcon.window) {
        PrepareTrayIcon();  // as the tray icon's
        TrayIcon.icon = platform().TrayPicture(TrayPictureNow());
        TrayIcon.tip = TrayTip();
        if (!platform().NotifyIcon(tk::TrayOp::Add, TrayIcon)) return void(TrayIcon.window = 0);
        NoteTimer.setEnabled(true);
    }
    tk::TrayIcon note = TrayIcon;
    note.flags = tk::kTrayInfo | tk::kTrayTip;
    note.tip = TrayTip();
    note.info = text;
    note.infoFlags = tk::kInfoOwnIcon | tk::kInfoRespectQuietTime;
    note.icon = platform().TrayPicture(IDI_CZASOMIR);
    if (!platform().ShowBalloon(note)) RemoveNoteIcon();
}

// A click on the notification shows the main window, or brings forward the dialog that is open.
void Form1::NotificationEnded(bool clicked) {
    RemoveNoteIcon();
    if (!clicked) return;
    if (about_ || asking_ || historyWindow_ || settings_) return platform().ToForeground(*this);
    Form_AnotherStart();
}

void Form1::RemoveNoteIcon() {
    if (TrayMode() || !TrayIcon.window) return;
    NoteTimer.setEnabled(false);
    platform().NotifyIcon(tk::TrayOp::Delete, TrayIcon);
    TrayIcon.window = 0;
}

}  // namespace czasomir
