// The Settings window: the daily limit (hours and minutes), the reminder of a
// break (minutes), and the option of leaving out idle time (the same one as the main window's menu item). Shown
// modal over the main window, built anew for every opening; OK takes values
// only when they are in range, and the main window keeps them.
#pragma once

#include "platform/toolkit.h"

namespace czasomir {

class Form4 : public tk::Form {
public:
    struct Values {
        int limitMinutes = 0;  // 0: off
        int breakMinutes = 0;  // 0: off
        bool skipIdle = false;
    };
    Form4(tk::Platform& platform, const Values& shown);

    // Controls, in order of creation (their ids are 1, 2, ... in this order).
    tk::CheckBox Check1;              // "Dzienny limit czasu:"
    tk::SpinBox Text1;                // its hours
    tk::Label Label1;                 // "h"
    tk::SpinBox Text2;                // its minutes
    tk::Label Label2;                 // "min"
    tk::CheckBox Check2;              // "Przypominaj o przerwie po"
    tk::SpinBox Text3;                // its minutes
    tk::Label Label3;                 // "min pracy"
    tk::CheckBox Check3;              // "Pomijaj czas bezczynności"
    tk::CommandButton Command1;       // "OK": the default button
    tk::CommandButton Command2;       // "Anuluj": Escape's

    Values values;          // after OK: what the user chose
    bool accepted = false;  // closed with OK

    // Handlers.
    void Command1_Click();
    void Command2_Click() { unload(); }
};

}  // namespace czasomir
