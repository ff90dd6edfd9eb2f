// Splitting the program's own path off its command line.
#pragma once

#include <string>
#include <string_view>

namespace tk {

// The argument text of a command line: everything after the program's path and
// the blanks that follow it; nothing else is trimmed. The path may be quoted,
// or unquoted and hold blanks (the autostart entry stores it that way): an
// unquoted command line that starts with exePath (ASCII case ignored) loses
// exactly that path; otherwise the program's name ends at the first blank, as
// Windows itself reads it.
std::wstring ArgumentsAfterProgram(std::wstring_view commandLine, std::wstring_view exePath);

}  // namespace tk
