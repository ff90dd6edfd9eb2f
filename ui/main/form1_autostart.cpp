// The autostart check box (filled in with the registration logic).
#include "ui/main/form1.h"

namespace czasomir {

void Form1::SyncAutostartCheckBox() {}

void Form1::Check1_Click() {}

}  // namespace czasomir
