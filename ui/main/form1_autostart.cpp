// The autostart check box: set from the Run value at startup, and writing or
// deleting that value when it changes. The box always ends up showing what
// the registry holds.
#include "autostart/autostart.h"
#include "ui/main/form1.h"

namespace czasomir {

// Startup: tick the box when the Run value is this copy's registration. The
// ticking raises Click, which writes the command again (in its quoted form,
// so an older unquoted registration is brought up to date here).
void Form1::SyncAutostartCheckBox() {
    RunEntry = registry_.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName).value_or(L"");
    const bool registered =
        IsAutostartRegistration(RunEntry, platform().AppDirectory(), platform().ExeName());
    Check1.setValue(registered ? 1 : 0);
}

void Form1::Check1_Click() {
    // Setting the box's value raises Click at once; the correction below is no
    // request to change the registry and must not start another round.
    if (correctingCheck1_) return;
    const std::wstring directory = platform().AppDirectory();
    const std::wstring exeName = platform().ExeName();

    if (Check1.value() == 1) {
        registry_.WriteStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName,
                                   AutostartCommand(directory, exeName));
    } else {
        registry_.DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    }

    // Writing below HKEY_LOCAL_MACHINE needs administrator rights; when the
    // change did not happen the box goes back to what the registry holds.
    const auto stored = registry_.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    const bool registered = stored && IsAutostartRegistration(*stored, directory, exeName);
    correctingCheck1_ = true;
    Check1.setValue(registered ? 1 : 0);  // its Click runs its handler, which drops any failure
    correctingCheck1_ = false;
}

}  // namespace czasomir
