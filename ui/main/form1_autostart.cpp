// The autostart check box: set from the Run value at startup, and writing or
// deleting that value when it changes. When the registry refuses the change
// for lack of rights, an elevated run of the program makes it (Windows asks
// the user first); the window goes on meanwhile. The box always ends up
// showing what the registry holds, and a change that did not happen is told.
#include "autostart/autostart.h"
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

const wchar_t* WhyNot(const tk::ElevatedRun& run) {
    switch (run.outcome) {
    case tk::ElevatedRun::Declined: return kDeclined;
    case tk::ElevatedRun::NotStarted: return kNotStarted;
    case tk::ElevatedRun::Ran: break;
    }
    return run.exitCode == kSwitchAccessDenied ? kNoRights : kFailed;
}

}  // namespace

// Startup: tick the box when the Run value is this copy's registration. The
// ticking raises Click, which tries to write the command again (in its quoted
// form, so an older unquoted registration is brought up to date here when the
// user may write there); at startup that try never prompts and never tells.
void Form1::SyncAutostartCheckBox() {
    RunEntry = registry_.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName).value_or(L"");
    const bool registered =
        IsAutostartRegistration(RunEntry, platform().AppDirectory(), platform().ExeName());
    syncingCheck1_ = true;
    Check1.setValue(registered ? 1 : 0);
    syncingCheck1_ = false;
}

void Form1::Check1_Click() {
    // Setting the box's value raises Click at once; the correction below is no
    // request to change the registry and must not start another round.
    if (correctingCheck1_) return;
    if (elevatingTo_ >= 0) {  // one change at a time: the box keeps showing the one under way
        correctingCheck1_ = true;
        Check1.setValue(elevatingTo_);
        correctingCheck1_ = false;
        return;
    }
    const int asked = Check1.value() == 1 ? 1 : 0;
    const RegistryResult result =
        asked == 1 ? registry_.WriteStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName,
                                                AutostartCommand(platform().AppDirectory(), platform().ExeName()))
                   : registry_.DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    if (syncingCheck1_) {
        ShowAutostartState();
        return;
    }
    if (result == RegistryResult::AccessDenied && platform().CanElevate()) {
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

// Writing below HKEY_LOCAL_MACHINE needs administrator rights; whatever a
// change achieved, the box goes to what the registry holds.
void Form1::ShowAutostartState() {
    const auto stored = registry_.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    const bool registered =
        stored && IsAutostartRegistration(*stored, platform().AppDirectory(), platform().ExeName());
    correctingCheck1_ = true;
    Check1.setValue(registered ? 1 : 0);  // its Click runs its handler, which drops any failure
    correctingCheck1_ = false;
}

}  // namespace czasomir
