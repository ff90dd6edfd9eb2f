#include "autostart/autostart_switch.h"

#include <algorithm>
#include <cwctype>

namespace czasomir {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trimmed(const std::wstring& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

bool StartsWithFamily(const std::wstring& text) {
    static constexpr std::wstring_view kFamily = L"/autostart";
    if (text.size() < kFamily.size()) return false;
    return std::equal(kFamily.begin(), kFamily.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towlower(b)); });
}

int ExitCode(RegistryResult result) {
    switch (result) {
    case RegistryResult::Done: return kSwitchDone;
    case RegistryResult::AccessDenied: return kSwitchAccessDenied;
    case RegistryResult::Failed: break;
    }
    return kSwitchFailed;
}

}  // namespace

bool IsAutostartSwitch(const std::wstring& argumentText) { return StartsWithFamily(Trimmed(argumentText)); }

std::optional<int> RunAutostartSwitch(const std::wstring& argumentText, const AutostartEntry& entry,
                                      Rejestr& registry) {
    const std::wstring text = Trimmed(argumentText);
    if (text == kAutostartOnSwitch)
        return entry.protectedCopy() ? ExitCode(entry.Register(registry)) : kSwitchNotProtected;
    if (text == kAutostartOffSwitch) return ExitCode(entry.UnregisterUnder(registry, kHkeyLocalMachine));
    if (text == kAutostartInstallSwitch) return ExitCode(entry.Register(registry));
    if (text == kAutostartUninstallSwitch) {
        const RegistryResult machine = entry.UnregisterUnder(registry, kHkeyLocalMachine);
        const RegistryResult user = entry.UnregisterUnder(registry, kHkeyCurrentUser);
        return ExitCode(machine != RegistryResult::Done ? machine : user);
    }
    if (StartsWithFamily(text)) return kSwitchBadArguments;
    return std::nullopt;
}

}  // namespace czasomir
