#include "storage/history_file.h"

#include <algorithm>
#include <utility>

#include "core/calendar.h"
#include "core/decimal_text.h"
#include "storage/file_io.h"
#include "storage/time_file.h"

namespace czasomir {

namespace {

// The digits of text[from, from + count) as a number; -1 when any is no digit.
int Digits(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "RRRR-MM-DD;seconds" as a day and its seconds.
bool ParseDayLine(std::string_view line, std::int32_t& day, std::int32_t& seconds) {
    constexpr std::size_t kDateLength = 10;
    if (line.size() < kDateLength + 2 || line.size() > kDateLength + 7 || line[4] != '-' || line[7] != '-' ||
        line[kDateLength] != ';')
        return false;
    const CivilDate date{Digits(line, 0, 4), Digits(line, 5, 2), Digits(line, 8, 2)};
    const int value = Digits(line, kDateLength + 1, line.size() - kDateLength - 1);
    if (!IsValidDate(date) || value < 0 || value > kMostSecondsPerDay) return false;
    day = DayNumber(date);
    seconds = value;
    return true;
}

void AppendPadded(std::string& text, int value, int width) {
    const std::string digits = DecimalText<char>(value);
    text.append(digits.size() < static_cast<std::size_t>(width) ? width - digits.size() : 0, '0') += digits;
}

}  // namespace

DayHistory ParseHistory(std::string_view bytes) {
    DayHistory history;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    history.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    bool first = true;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::exchange(first, false) && line == kHistoryHeader) continue;
        std::int32_t day = 0, seconds = 0;
        if (ParseDayLine(line, day, seconds))
            history.AppendDay(day, seconds, line);
        else
            history.AppendText(std::string(line));
    }
    return history;
}

std::string FormatHistory(const DayHistory& history) {
    std::string text = std::string(kHistoryHeader) + "\r\n";
    text.reserve(text.size() + history.lines().size() * 18);
    for (const DayHistory::Line& line : history.lines()) {
        if (line.counts()) {
            const CivilDate date = DateOfDay(line.day);
            AppendPadded(text, date.year, 4);
            text += '-';
            AppendPadded(text, date.month, 2);
            text += '-';
            AppendPadded(text, date.day, 2);
            text += ';';
            text += DecimalText<char>(line.seconds);
        } else {
            text += history.texts()[line.kept];
        }
        text += "\r\n";
    }
    return text;
}

HistoryFile::HistoryFile(std::wstring directory)
    : path_(std::move(directory) + file_io::kSeparator + L"historia.csv"), tempPath_(path_ + L".new") {}

bool HistoryFile::Read() {
    std::optional<std::string> bytes = file_io::ReadHead(path_, kHistoryFileLimit);
    // A replace cut short between its two steps (as czas.dat's): when the file
    // cannot be read, its new file, when whole (the header, each line ended),
    // is the newest and takes its place.
    if (!bytes) {
        bytes = file_io::ReadHead(tempPath_, kHistoryFileLimit);
        if (bytes && bytes->starts_with(std::string(kHistoryHeader) + "\r\n") && bytes->ends_with("\r\n"))
            file_io::ReplaceDurably(tempPath_, path_);
        else
            bytes.reset();
    }
    if (!bytes || bytes->size() >= kHistoryFileLimit) return false;
    DayHistory file = ParseHistory(*bytes);
    file.Merge(days_);
    days_ = std::move(file);
    return read_ = true;
}

void HistoryFile::Load() { Read(); }

void HistoryFile::Save() {
    // A file that was there but could not be read is never replaced by the
    // days counted since: only one that is missing is started anew.
    if (!read_ && !Read()) {
        if (!file_io::CreateNew(path_, std::string(kHistoryHeader) + "\r\n").ok())
            throw SaveFailed("reading historia.csv failed");
        read_ = true;
    }
    ReplaceSafely(tempPath_, path_, FormatHistory(days_));
}

std::optional<std::wstring> WriteHistoryCopy(const DayHistory& history, const std::wstring& directory) {
    const std::string content = FormatHistory(history);
    for (int n = 1; n <= 9; ++n) {
        const std::wstring name = n == 1 ? L"historia.csv" : L"historia (" + DecimalText<wchar_t>(n) + L").csv";
        const std::wstring path = directory + file_io::kSeparator + name;
        if (file_io::WriteDurably(path, content).ok()) return path;
    }
    return std::nullopt;
}

}  // namespace czasomir
