// historia.csv: the seconds counted on each local day, UTF-8 without a byte
// order mark, CR LF line ends: the header "data;sekundy", then one line a day,
// "RRRR-MM-DD;seconds", oldest first (a semicolon, so that a Polish spreadsheet
// opens it as two columns).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/day_history.h"

namespace czasomir {

inline constexpr char kHistoryHeader[] = "data;sekundy";
// A longer file is never rewritten: the program cannot hold all of it.
inline constexpr std::size_t kHistoryFileLimit = 1 << 20;

// The file's lines: a day's line is a valid date, a semicolon and 0 to 90000
// in decimal digits; any other line is kept as it is. The header is dropped,
// and so is a byte order mark before it; a line may also end in LF alone.
DayHistory ParseHistory(std::string_view bytes);
// The header and every line, each ending in CR LF.
std::string FormatHistory(const DayHistory& history);

class HistoryFile {
public:
    explicit HistoryFile(std::wstring directory);  // joined as TimeFile joins czas.dat
    const std::wstring& path() const { return path_; }

    // The history: the file's days, with what has been counted since added.
    DayHistory& days() { return days_; }
    const DayHistory& days() const { return days_; }

    // Reads the file; one that is missing or cannot be read is taken from a
    // whole historia.csv.new (a replace cut short), as czas.dat is. Else it
    // leaves the history empty; its days are read, and the counted ones added
    // to them, at a later save. Never throws.
    void Load();

    // Replaces the file with the history in one step, as czas.dat is
    // replaced; a missing file is created. Throws SaveFailed when the file
    // could not be read or replaced: the history stays in memory for the next save.
    void Save();

private:
    bool Read();

    std::wstring path_, tempPath_;
    DayHistory days_;
    bool read_ = false;  // the file's days are in days_ (or there was no file)
};

// Writes the history to a file named historia.csv in the folder (or, when
// another program holds that one, "historia (2).csv" ... "(9)") for another
// program to open. The file's path, or nothing when none could be written.
std::optional<std::wstring> WriteHistoryCopy(const DayHistory& history, const std::wstring& directory);

}  // namespace czasomir
