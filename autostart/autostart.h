// Where and how the program registers itself to start with Windows: the Run
// value and the command line stored in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "autostart/rejestr.h"

namespace czasomir {

inline constexpr wchar_t kAutostartKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutostartValueName[] = L"CzasomirKR";

// The command stored in the Run value: "<directory>\<name>.exe" /auto. The
// path is quoted so that Windows cannot take a blank inside it for the end of
// the program's name. The directory text is used unchanged and the separator
// is always inserted (a drive root such as "C:\" gives two in a row).
std::wstring AutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName);

// The form older versions stored, without quotes: <directory>\<name>.exe /auto.
std::wstring UnquotedAutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName);

// True when the Run value's text is this copy's registration, in the quoted
// form or the older unquoted one, compared exactly (case, blanks and all).
bool IsAutostartRegistration(const std::wstring& runEntry, const std::wstring& appDirectory,
                             const std::wstring& exeName);

// Where the registration is kept ----------------------------------------------
// The Run value starts the program at logon: under HKEY_LOCAL_MACHINE for every
// user, under HKEY_CURRENT_USER for one. Beside it, under each root, Task
// Manager keeps a REG_BINARY value of the same name that says whether the
// user switched the entry off.
inline constexpr wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The path the command stores: <directory>\<name>.exe.
std::wstring AutostartExePath(const std::wstring& appDirectory, const std::wstring& exeName);

// True when a copy may start for every user: its path (as the command stores
// it) lies inside one of the folders that only administrators can change and
// is its own final path, compared without regard to letter case; a final path
// beginning with \\?\ counts without that prefix. A link, a junction, a short
// name or a ".." on the way makes the two differ; so does an unknown final path.
bool IsProtectedLocation(const std::wstring& exePath, const std::wstring& finalPath,
                         const std::vector<std::wstring>& protectedFolders);

// True when Task Manager's value says the entry is switched off: REG_BINARY, at
// least one byte, the first one odd. Missing, empty or another type: on.
bool IsSwitchedOff(const std::optional<std::vector<std::uint8_t>>& approval);

// This copy's registration. A copy in a protected folder registers under
// HKEY_LOCAL_MACHINE, any other under HKEY_CURRENT_USER; a registration of
// this copy under either root that Task Manager has not switched off counts.
class AutostartEntry {
public:
    AutostartEntry(std::wstring appDirectory, std::wstring exeName, bool protectedCopy);

    bool protectedCopy() const { return protected_; }
    RegistryRoot root() const { return protected_ ? kHkeyLocalMachine : kHkeyCurrentUser; }
    // The Run value under this root holds this copy's command (either form).
    bool RegisteredUnder(Rejestr& registry, RegistryRoot root) const;
    bool IsOn(Rejestr& registry) const;
    // Writes the quoted command under root() and switches the entry on there.
    RegistryResult Register(Rejestr& registry) const;
    // Deletes the Run value and Task Manager's value under that root when the
    // Run value is this copy's; anything else is left alone.
    RegistryResult UnregisterUnder(Rejestr& registry, RegistryRoot root) const;
    // Startup: an older form of the command under root() brought up to date.
    void Refresh(Rejestr& registry) const;

private:
    std::wstring directory_, name_;
    bool protected_;
};

}  // namespace czasomir
