#pragma once

#include <cstdint>
#include <string>

namespace czasomir {

// Hours, minutes and seconds of a count of seconds, each at least two digits,
// joined by " : " ("01 : 02 : 05"). Hours never wrap; a negative field gets a
// "-" before its digits ("-01 : -02 : -05").
std::wstring FormatElapsed(std::int32_t seconds);

}  // namespace czasomir
