#include "storage/data_folder.h"

#include <cstdint>
#include <optional>

#include "core/elapsed_counter.h"
#include "storage/file_io.h"
#include "storage/history_file.h"
#include "storage/time_file.h"

namespace czasomir {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The name of the folder that holds the executable, without a drive's colon;
// "Czasomir" when there is none (an executable at a drive's root).
std::wstring FolderName(const std::wstring& executablePath) {
    std::size_t end = executablePath.size();
    while (end > 0 && !IsSeparator(executablePath[end - 1])) --end;  // the file name
    while (end > 0 && IsSeparator(executablePath[end - 1])) --end;
    std::size_t begin = end;
    while (begin > 0 && !IsSeparator(executablePath[begin - 1])) --begin;
    std::wstring name;
    for (std::size_t i = begin; i < end; ++i)
        if (executablePath[i] != L':') name += executablePath[i];
    return name.empty() ? L"Czasomir" : name;
}

// FNV-1a over the UTF-16 code units.
std::uint32_t Hash(const std::wstring& text) {
    std::uint32_t hash = 2166136261u;
    for (const wchar_t c : text) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

using Mine = std::function<bool(const std::wstring&)>;

// The total in the program folder's czas.dat carried over to the fallback
// folder, saved as every save is (whole or not at all). False when it could
// not be made; nothing to carry (no file, another user's, no number in it) is
// no failure.
bool CarryOver(const TimeFile& from, const TimeFile& to, const Mine& mine) {
    if (!file_io::FileExists(from.path()) || !mine(from.path())) return true;
    const std::optional<std::string> head = file_io::ReadHead(from.path(), kTimeFileLineLimit + 1);
    if (!head) return false;  // there, but unreadable for now: moving would start from 0
    const std::optional<std::int32_t> total = ParseTotal(*head);
    if (!total) return true;
    ElapsedCounter counter;
    counter.TotalSeconds = *total;
    try {
        to.SaveTotal(counter);
    } catch (const SaveFailed&) {
        return false;
    }
    return true;
}

// One of the program's other files goes along as it is; the program folder
// keeps its copy. False when it is the user's and did not come across whole.
bool CarryAlong(const std::wstring& from, const std::wstring& to, const wchar_t* name, const Mine& mine) {
    const std::wstring source = from + file_io::kSeparator + name, target = to + file_io::kSeparator + name;
    if (!file_io::FileExists(source) || !mine(source)) return true;
    const std::optional<std::string> bytes = file_io::ReadHead(source, kHistoryFileLimit);
    if (!bytes || bytes->size() >= kHistoryFileLimit) return false;
    try {
        ReplaceSafely(target + L".new", target, *bytes);
    } catch (const SaveFailed&) {
        return false;
    }
    return true;
}

}  // namespace

std::wstring FallbackFolder(const std::wstring& localAppData, const std::wstring& executableKey) {
    std::wstring hex(8, L'0');
    std::uint32_t hash = Hash(executableKey);
    for (std::size_t i = hex.size(); i > 0; hash >>= 4) hex[--i] = L"0123456789ABCDEF"[hash & 0xF];
    return localAppData + file_io::kSeparator + L"Czasomir" + file_io::kSeparator + FolderName(executableKey) +
           L"-" + hex;
}

DataFolder ChooseDataFolder(const std::wstring& programFolder, const std::wstring& localAppData,
                            const std::wstring& executableKey, const std::function<bool()>& protectedCopy) {
    const TimeFile here(programFolder);
    if (localAppData.empty()) return {programFolder, here.Writable()};
    const std::wstring fallback = FallbackFolder(localAppData, executableKey);
    if (file_io::FileExists(TimeFile(fallback).path())) return {fallback, true};
    if (here.Writable() && !protectedCopy()) return {programFolder, true};
    return {fallback, true, true};
}

DataFolder PrepareDataFolder(const DataFolder& chosen, const std::wstring& programFolder, const Mine& mine) {
    if (!chosen.seed) return chosen;
    const TimeFile here(programFolder), there(chosen.path);
    if (file_io::FileExists(there.path())) return {chosen.path, true};  // made by a copy that has ended since
    const std::wstring parent = chosen.path.substr(0, chosen.path.rfind(file_io::kSeparator));
    const bool made = file_io::CreateFolder(parent).ok() && file_io::CreateFolder(chosen.path).ok() && there.Writable();
    // czas.dat last: once there, that folder is the one.
    if (made && CarryAlong(programFolder, chosen.path, L"historia.csv", mine) &&
        CarryAlong(programFolder, chosen.path, L"czasomir.ini", mine) && CarryOver(here, there, mine))
        return {chosen.path, true};
    return {programFolder, false};
}

}  // namespace czasomir
