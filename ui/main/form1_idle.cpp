// The option "Pomijaj czas bezczynności": when it is on, counting pauses while
// the session is locked or disconnected and while nobody has used the keyboard
// or mouse for a while; the time counted since the last input is then taken
// back. The decisions are the IdleGuard's; this file feeds it and applies them.
// The option is kept in czasomir.ini beside czas.dat.
#include "storage/file_io.h"
#include "ui/main/form1.h"

namespace czasomir {

namespace {

const wchar_t kIniName[] = L"czasomir.ini";
const wchar_t kSection[] = L"Czasomir";
const wchar_t kKey[] = L"PomijajBezczynnosc";
const wchar_t kNotSaved[] = L"Nie udało się zapisać ustawienia w pliku czasomir.ini.";
const wchar_t kCaption[] = L"Czasomir";
const wchar_t kPausedCaption[] = L"Czasomir (przerwa)";
const wchar_t kOverCaption[] = L"Czasomir (ponad limit)";

}  // namespace

// Off unless the file says exactly 1: missing, unreadable or anything else is off.
void Form1::LoadIdleOption() {
    const bool on = platform().ReadProfileInt(DataFolder() + file_io::kSeparator + kIniName, kSection, kKey, 0) == 1;
    setChecked(mnuPlikPomijaj, on);
    idle_.on = on;
    if (on) platform().WatchSession(*this);
}

// The item changes only once the file holds the new state.
void Form1::mnuPlikPomijaj_Click() {
    const bool on = !mnuPlikPomijaj.checked;
    if (!platform().WriteProfileInt(DataFolder() + file_io::kSeparator + kIniName, kSection, kKey, on ? 1 : 0)) {
        platform().ShowMessage(*this, kNotSaved);
        return;
    }
    setChecked(mnuPlikPomijaj, on);
    idle_.on = on;
    idle_.Restart(platform().TickCountMs(), platform().LastInputTickMs(), Counter.TotalSeconds);
    recentDays_.Clear();
    if (on) platform().WatchSession(*this);
}

void Form1::Form_SessionChange(tk::SessionChange change) {
    static const SessionEvent kEvents[] = {SessionEvent::Lock, SessionEvent::Unlock, SessionEvent::Disconnect,
                                           SessionEvent::Connect};
    idle_.SessionChanged(kEvents[static_cast<int>(change)], platform().RealTimeSeconds(), platform().LastInputTickMs());
    breaks_.Away(change == tk::SessionChange::Lock || change == tk::SessionChange::Disconnect);
}

// Every change of the total happens here, in the tick: a take-back lowers it
// once, at the moment the idle time is reached, or at the input that ends a
// sleep that long. The days get this tick's count first, and lose the take-back
// from the days that got it.
void Form1::FollowUse(double realTime) {
    if (!idle_.on && !idle_.paused()) return;
    const IdleGuard::Step step = idle_.Tick(platform().TickCountMs(), platform().LastInputTickMs(), Counter.TotalSeconds);
    if (step.pause) Counter.StopCounting();
    CountHistory();
    if (step.takeBack > 0) {
        Counter.StoredSeconds -= step.takeBack;
        Counter.TotalSeconds -= step.takeBack;
        CountHistory();
    }
    if (step.input) recentDays_.Clear();
    if (step.resume) Counter.StartCounting(platform().TimeOfDaySeconds(), realTime);
}

void Form1::ShowPauseState() {
    const wchar_t* text = idle_.paused() ? kPausedCaption : limit_.over() ? kOverCaption : kCaption;
    if (caption == text) return;
    setCaption(text);
    RefreshTrayIcon();  // the picture of not counting while paused
    if (TrayIcon.window) RefreshTrayTip();
}

}  // namespace czasomir
