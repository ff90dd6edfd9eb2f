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

// The total in the program folder's czas.dat carried over to the fallback
// folder, saved as every save is (whole or not at all). False when it could
// not be made; nothing to carry (no file, no number in it) is no failure.
bool CarryOver(const TimeFile& from, const TimeFile& to) {
    if (!file_io::FileExists(from.path())) return true;
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

// The program's other files go along as they are, when they can be read; the
// program folder keeps its copies whatever becomes of these.
void CarryAlong(const std::wstring& from, const std::wstring& to, const wchar_t* name) {
    const std::wstring source = from + file_io::kSeparator + name, target = to + file_io::kSeparator + name;
    const std::optional<std::string> bytes = file_io::ReadHead(source, kHistoryFileLimit);
    if (!bytes || bytes->size() >= kHistoryFileLimit) return;
    try {
        ReplaceSafely(target + L".new", target, *bytes);
    } catch (const SaveFailed&) {
    }
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
                            const std::wstring& executableKey) {
    const TimeFile here(programFolder);
    if (localAppData.empty()) return {programFolder, here.Writable()};
    const std::wstring fallback = FallbackFolder(localAppData, executableKey);
    const TimeFile there(fallback);
    if (file_io::FileExists(there.path())) return {fallback, true};
    if (here.Writable()) return {programFolder, true};
    const bool made = file_io::CreateFolder(localAppData + file_io::kSeparator + L"Czasomir").ok() &&
                      file_io::CreateFolder(fallback).ok();
    if (!made || !there.Writable()) return {programFolder, false};
    for (const wchar_t* name : {L"historia.csv", L"czasomir.ini"}) CarryAlong(programFolder, fallback, name);
    if (CarryOver(here, there)) return {fallback, true};  // czas.dat last: once there, that folder is the one
    return {programFolder, false};
}

}  // namespace czasomir
