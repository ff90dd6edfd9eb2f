// The autostart check box: set from the Run value at startup, and writing or
// deleting that value when it changes. The box always ends up showing what
// the registry holds.
#include <utility>

#include "autostart/autostart.h"
#include "ui/main/form1.h"

namespace czasomir {

namespace {

// The box being corrected by the Click handler, if any. Setting a box's value
// raises its Click at once; that Click is no request to change the registry
// and must not start another round.
thread_local const tk::CheckBox* correcting = nullptr;

void SetWithoutRequest(tk::CheckBox& box, int value) {
    struct Guard {
        const tk::CheckBox* previous;
        ~Guard() { correcting = previous; }
    } guard{std::exchange(correcting, &box)};
    box.setValue(value);
}

}  // namespace

// Startup: tick the box when the Run value is this copy's registration. The
// ticking raises Click, which writes the command again (in its quoted form,
// so an older unquoted registration is brought up to date here).
void Form1::SyncAutostartCheckBox() {
    RunEntry = registry_.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName).value_or(L"");
    const bool registered =
        IsAutostartRegistration(RunEntry, DirectoryText(platform().AppDirectory()), platform().ExeName());
    Check1.setValue(registered ? 1 : 0);
}

void Form1::Check1_Click() {
    if (correcting == &Check1) return;
    const std::wstring directory = DirectoryText(platform().AppDirectory());
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
    SetWithoutRequest(Check1, registered ? 1 : 0);
}

}  // namespace czasomir
