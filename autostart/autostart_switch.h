// The program's elevated mode: one run of the executable, with administrator
// rights, that writes or deletes this copy's Run value and ends. The main
// window starts it when the registry refuses the change for lack of rights.
#pragma once

#include <optional>
#include <string>

#include "autostart/rejestr.h"

namespace czasomir {

inline constexpr wchar_t kAutostartOnSwitch[] = L"/autostart:on";
inline constexpr wchar_t kAutostartOffSwitch[] = L"/autostart:off";

// Exit codes of the elevated mode.
inline constexpr int kSwitchDone = 0;
inline constexpr int kSwitchFailed = 1;
inline constexpr int kSwitchAccessDenied = 5;     // as ERROR_ACCESS_DENIED
inline constexpr int kSwitchBadArguments = 87;    // as ERROR_INVALID_PARAMETER

// Runs the elevated mode when the argument text asks for it and gives its exit
// code; nothing when the text is no concern of it (the normal program runs).
// Exactly one switch, blanks around it allowed, makes its change: the command
// written is always built for this executable, never taken from the command
// line. Any other text beginning with "/autostart" (any letter case) changes
// nothing and fails.
std::optional<int> RunAutostartSwitch(const std::wstring& argumentText, const std::wstring& appDirectory,
                                      const std::wstring& exeName, Rejestr& registry);

}  // namespace czasomir
