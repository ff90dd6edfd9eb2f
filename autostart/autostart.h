// Where and how the program registers itself to start with Windows: the Run
// value and the command line stored in it.
#pragma once

#include <string>

#include "autostart/rejestr.h"

namespace czasomir {

inline constexpr RegistryRoot kAutostartRoot = kHkeyLocalMachine;
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

}  // namespace czasomir
