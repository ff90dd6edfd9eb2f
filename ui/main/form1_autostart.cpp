// The autostart check box: set from the Run value at startup, and writing or
// deleting that value when it changes. A copy in a protected folder registers
// for every user (HKEY_LOCAL_MACHINE), any other for the user alone
// (HKEY_CURRENT_USER); the box shows this copy's registration under either
// root unless Task Manager switched it off there. When the registry refuses a
// change under HKEY_LOCAL_MACHINE for lack of rights, an elevated run of the
// program makes it (Windows asks the user first); the window goes on
// meanwhile. The box always ends up showing what the registry holds, and a
// change that did not happen is told.
#include "autostart/autostart_switch.h"
#include "ui/main/form1.h"

namespace czasomir {

namespace {

const wchar_t kDeclined[] =
    L"Automatyczne uruchamianie nie zostało zmienione, bo nie udzielono zgody administratora.";
const wchar_t kNoRights[] = L"Nie udało się zmienić automatycznego uruchamiania: brak uprawnień administratora.";
const wchar_t kNotStarted[] =
    L"Nie udało się zmienić automatycznego uruchamiania: nie można uzyskać uprawnień administratora.";
const wchar_t kFailed[] = L"Nie udało się zmienić automatycznego uruchamiania: błąd zapisu w rejestrze systemu.";
const wchar_t kNotProtected[] =
    L"Automatyczne uruchamianie dla wszystkich użytkowników jest możliwe tylko z folderu Program Files.";

const wchar_t* WhyNot(const tk::ElevatedRun& run) {
    switch (run.outcome) {
    case tk::ElevatedRun::Declined: return kDeclined;
    case tk::ElevatedRun::NotStarted: return kNotStarted;
    case tk::ElevatedRun::Ran: break;
    }
    if (run.exitCode == kSwitchNotProtected) return kNotProtected;
    return run.exitCode == kSwitchAccessDenied ? kNoRights : kFailed;
}

}  // namespace

AutostartEntry ThisCopysAutostart(tk::Platform& platform) {
    const std::wstring directory = platform.AppDirectory(), name = platform.ExeName();
    return AutostartEntry(directory, name,
                          IsProtectedLocation(AutostartExePath(directory, name), platform.FinalExePath(),
                                              platform.ProtectedFolders()));
}

const AutostartEntry& Form1::Autostart() {
    if (!autostart_) autostart_ = ThisCopysAutostart(platform());
    return *autostart_;
}

// Startup: tick the box when this copy is registered and not switched off. An
// older unquoted command under the root that applies to this copy is brought
// up to date (when the user may write there); one under the other root is
// left as it is. The ticking raises Click, which changes nothing at startup.
void Form1::SyncAutostartCheckBox() {
    const AutostartEntry reader(platform().AppDirectory(), platform().ExeName(), false);  // reading needs no location
    const bool on = reader.IsOn(registry_);
    if (on) Autostart().Refresh(registry_);
    RunEntry = registry_.ReadStringValue(kHkeyCurrentUser, kAutostartKey, kAutostartValueName)
                   .value_or(registry_.ReadStringValue(kHkeyLocalMachine, kAutostartKey, kAutostartValueName)
                                 .value_or(L""));
    syncingCheck1_ = true;
    Check1.setValue(on ? 1 : 0);
    syncingCheck1_ = false;
}

// Ticking registers under the root that applies; unticking removes this
// copy's registration under both. Only a change under HKEY_LOCAL_MACHINE may
// ask for rights: a copy outside the protected folders never writes there.
void Form1::Check1_Click() {
    // Setting the box's value raises Click at once; the correction below is no
    // request to change the registry and must not start another round.
    if (correctingCheck1_ || syncingCheck1_) return;
    if (elevatingTo_ >= 0) {  // one change at a time: the box keeps showing the one under way
        correctingCheck1_ = true;
        Check1.setValue(elevatingTo_);
        correctingCheck1_ = false;
        return;
    }
    const int asked = Check1.value() == 1 ? 1 : 0;
    const AutostartEntry& entry = Autostart();
    RegistryResult result = RegistryResult::Done;
    bool machine = entry.protectedCopy();  // the result is HKEY_LOCAL_MACHINE's: rights may help
    if (asked == 1) {
        result = entry.Register(registry_);
    } else {
        result = entry.UnregisterUnder(registry_, kHkeyCurrentUser);
        if ((machine = result == RegistryResult::Done)) result = entry.UnregisterUnder(registry_, kHkeyLocalMachine);
    }
    if (result == RegistryResult::AccessDenied && machine && platform().CanElevate()) {
        elevatingTo_ = asked;
        platform().RunElevated(*this, asked == 1 ? kAutostartOnSwitch : kAutostartOffSwitch,
                               [this](tk::ElevatedRun run) { Check1_Elevated(run); });
        return;
    }
    ShowAutostartState();
    if (result != RegistryResult::Done)
        platform().ShowMessage(*this, result == RegistryResult::AccessDenied ? kNoRights : kFailed);
}

void Form1::Check1_Elevated(const tk::ElevatedRun& run) {
    elevatingTo_ = -1;
    ShowAutostartState();
    if (run.outcome == tk::ElevatedRun::Ran && run.exitCode == kSwitchDone) return;
    platform().ShowMessage(*this, WhyNot(run));
}

// Whatever a change achieved, the box goes to what the registry holds.
void Form1::ShowAutostartState() {
    const bool on = Autostart().IsOn(registry_);
    correctingCheck1_ = true;
    Check1.setValue(on ? 1 : 0);  // its Click runs its handler, which drops any failure
    correctingCheck1_ = false;
}

}  // namespace czasomir
