#include "autostart/autostart.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace czasomir {

namespace {

std::wstring ExePath(const std::wstring& appDirectory, const std::wstring& exeName) {
    return appDirectory + L"\\" + exeName + L".exe";
}

}  // namespace

std::wstring AutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return L"\"" + ExePath(appDirectory, exeName) + L"\" /auto";
}

std::wstring UnquotedAutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return ExePath(appDirectory, exeName) + L" /auto";
}

bool IsAutostartRegistration(const std::wstring& runEntry, const std::wstring& appDirectory,
                             const std::wstring& exeName) {
    return runEntry == AutostartCommand(appDirectory, exeName) ||
           runEntry == UnquotedAutostartCommand(appDirectory, exeName);
}

std::wstring AutostartExePath(const std::wstring& appDirectory, const std::wstring& exeName) {
    return ExePath(appDirectory, exeName);
}

namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towupper(static_cast<wint_t>(x)) == std::towupper(static_cast<wint_t>(y));
           });
}

// \\?\C:\x -> C:\x, \\?\UNC\server\share -> \\server\share.
std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + path.substr(7);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// Strictly inside the folder: C:\Program Files\x, not C:\Program Files2\x.
bool Inside(const std::wstring& path, std::wstring folder) {
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return !folder.empty() && path.size() > folder.size() + 1 && path[folder.size()] == L'\\' &&
           SameText(std::wstring_view(path).substr(0, folder.size()), folder);
}

const std::vector<std::uint8_t> kSwitchedOn = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

bool IsProtectedLocation(const std::wstring& exePath, const std::wstring& finalPath,
                         const std::vector<std::wstring>& protectedFolders) {
    if (!SameText(exePath, WithoutLongPrefix(finalPath))) return false;
    return std::any_of(protectedFolders.begin(), protectedFolders.end(),
                       [&](const std::wstring& folder) { return Inside(exePath, folder); });
}

bool IsSwitchedOff(const std::optional<std::vector<std::uint8_t>>& approval) {
    return approval && !approval->empty() && (approval->front() & 1) != 0;
}

AutostartEntry::AutostartEntry(std::wstring appDirectory, std::wstring exeName, bool protectedCopy)
    : directory_(std::move(appDirectory)), name_(std::move(exeName)), protected_(protectedCopy) {}

bool AutostartEntry::RegisteredUnder(Rejestr& registry, RegistryRoot root) const {
    const auto stored = registry.ReadStringValue(root, kAutostartKey, kAutostartValueName);
    return stored && IsAutostartRegistration(*stored, directory_, name_);
}

bool AutostartEntry::IsOn(Rejestr& registry) const {
    for (const RegistryRoot root : {kHkeyCurrentUser, kHkeyLocalMachine})
        if (RegisteredUnder(registry, root) &&
            !IsSwitchedOff(registry.ReadBinaryValue(root, kStartupApprovedKey, kAutostartValueName)))
            return true;
    return false;
}

RegistryResult AutostartEntry::Register(Rejestr& registry) const {
    const RegistryResult result =
        registry.WriteStringValue(root(), kAutostartKey, kAutostartValueName, AutostartCommand(directory_, name_));
    if (result != RegistryResult::Done ||
        !IsSwitchedOff(registry.ReadBinaryValue(root(), kStartupApprovedKey, kAutostartValueName)))
        return result;
    return registry.WriteBinaryValue(root(), kStartupApprovedKey, kAutostartValueName, kSwitchedOn);
}

RegistryResult AutostartEntry::UnregisterUnder(Rejestr& registry, RegistryRoot root) const {
    if (!RegisteredUnder(registry, root)) return RegistryResult::Done;
    const RegistryResult result = registry.DeleteValue(root, kAutostartKey, kAutostartValueName);
    if (result != RegistryResult::Done) return result;
    return registry.DeleteValue(root, kStartupApprovedKey, kAutostartValueName);
}

void AutostartEntry::Refresh(Rejestr& registry) const {
    if (RegisteredUnder(registry, root()))
        registry.WriteStringValue(root(), kAutostartKey, kAutostartValueName, AutostartCommand(directory_, name_));
}

}  // namespace czasomir
