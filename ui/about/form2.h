// The About box: the program's name, version, the author's line and two links.
#pragma once

#include "platform/toolkit.h"

namespace czasomir {

class Form2 : public tk::Form {
public:
    explicit Form2(tk::Platform& platform);
};

}  // namespace czasomir
