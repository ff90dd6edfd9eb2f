// The About box: the program's name, its version, the author's line and two
// links (e-mail and web page). Shown modal over the main window; it keeps no
// state and is built anew for every opening.
#pragma once

#include "platform/toolkit.h"

namespace czasomir {

class Form2 : public tk::Form {
public:
    explicit Form2(tk::Platform& platform);

    // Controls, in order of creation (their ids are 1, 2, ... in this order).
    tk::CommandButton Command1;  // "&OK"
    tk::Label Label5;            // web host, a link
    tk::Label Label4;            // e-mail address, a link
    tk::Label Label3;            // version
    tk::Label Label2;            // copyright line
    tk::Label Label1;            // the program's name, large

    // What the two links open; fixed here, never taken from the captions.
    static const wchar_t* const kEmailTarget;
    static const wchar_t* const kWebTarget;

    // Handlers.
    void Command1_Click();
    void Label4_Click();
    void Label5_Click();
};

}  // namespace czasomir
