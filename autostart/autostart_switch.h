// The program's elevated mode: one run of the executable, with administrator
// rights, that writes or deletes this copy's Run value under
// HKEY_LOCAL_MACHINE (with Task Manager's value beside it) and ends. The main
// window starts it when the registry refuses the change for lack of rights.
// The installer starts the same mode to register the copy it installed as
// ticking the box would, and the uninstaller to take this copy's registration
// away under both roots before the files go.
#pragma once

#include <optional>
#include <string>

#include "autostart/autostart.h"

namespace czasomir {

inline constexpr wchar_t kAutostartOnSwitch[] = L"/autostart:on";
inline constexpr wchar_t kAutostartOffSwitch[] = L"/autostart:off";
inline constexpr wchar_t kAutostartInstallSwitch[] = L"/autostart:install";
inline constexpr wchar_t kAutostartUninstallSwitch[] = L"/autostart:uninstall";

// Exit codes of the elevated mode.
inline constexpr int kSwitchDone = 0;
inline constexpr int kSwitchFailed = 1;
inline constexpr int kSwitchAccessDenied = 5;     // as ERROR_ACCESS_DENIED
inline constexpr int kSwitchBadArguments = 87;    // as ERROR_INVALID_PARAMETER
inline constexpr int kSwitchNotProtected = 1260;  // as ERROR_ACCESS_DISABLED_BY_POLICY: a copy outside the protected folders

// Runs the elevated mode when the argument text asks for it and gives its exit
// code; nothing when the text is no concern of it (the normal program runs).
// Exactly one switch, blanks around it allowed, makes its change: the command
// written is always built for this executable, never taken from the command
// line; "on" is refused for a copy outside the protected folders, "off" deletes
// only this copy's registration; "install" registers under the root the copy's
// place gives, "uninstall" deletes this copy's registration under
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER alike (done also when there is
// none). Any other text beginning with "/autostart"
// (any letter case) changes nothing and fails.
// True when the argument text is for the elevated mode (begins with "/autostart", any letter case).
bool IsAutostartSwitch(const std::wstring& argumentText);

std::optional<int> RunAutostartSwitch(const std::wstring& argumentText, const AutostartEntry& entry,
                                      Rejestr& registry);

}  // namespace czasomir
