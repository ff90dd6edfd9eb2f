// Today's time and the pause for idle, as the tray tip and the tray picture
// read them. Kept apart from the counting code: the day history and the idle
// pause fill these in.
#include "ui/main/form1.h"

namespace czasomir {

// Seconds counted on today's date; nothing is kept per day yet.
std::int32_t Form1::TodaySeconds() { return 0; }

// Counting never pauses by itself yet.
bool Form1::PausedForIdle() const { return false; }

// File > History: no history window yet.
void Form1::mnuPlikHistoria_Click() {}

}  // namespace czasomir
