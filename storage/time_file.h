// czas.dat: the counter's total kept between runs, one line such as "3725\r\n".
#pragma once

#include "core/elapsed_counter.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace czasomir {

// A save that did not replace czas.dat; what() names the failing step.
struct SaveFailed : std::exception {
    explicit SaveFailed(std::string step) : step_(std::move(step)) {}
    const char* what() const noexcept override { return step_.c_str(); }

private:
    std::string step_;
};

// How much of the file's beginning the reader looks at: a first line longer
// than this is not a number, however long or binary the rest of the file is.
inline constexpr std::size_t kTimeFileLineLimit = 64;

// The value of the first line of a time file, given the file's first
// kTimeFileLineLimit + 1 bytes or more (the whole file when it is shorter).
// The first line ends at the first CR or LF, or at the end of the bytes. With
// any blanks and tabs around it removed, it must be exactly an optionally
// signed ("-" or "+") run of decimal digits, leading zeros allowed, whose value
// fits in a signed 32-bit integer. Anything else gives no value: an empty
// line, a fraction ("12.5"), an exponent, letters ("12abc"), a byte-order mark,
// an inner blank, a line longer than the limit. A missing line end is fine.
std::optional<std::int32_t> ParseTotal(std::string_view head);

// The line written for a total: the decimal value, "-" when negative, CR LF.
std::string FormatTotalLine(std::int32_t total);

// Puts `content` in the place of `file` as one whole step: it goes to tempFile,
// reaches the disk, and only then takes the file's place in one rename, so a
// crash or a power cut at any moment leaves the old content or the new. A file
// that another program holds for a moment is waited for (about 150 ms); a
// failure removes tempFile and throws SaveFailed naming the step.
void ReplaceSafely(const std::wstring& tempFile, const std::wstring& file, std::string_view content);

class TimeFile {
public:
    // The file is the directory's text, a separator (a backslash on Windows,
    // a slash elsewhere) and czas.dat, joined as they are: a drive root such
    // as C:\ gives C:\\czas.dat, which Windows accepts.
    explicit TimeFile(std::wstring directory);

    const std::wstring& path() const { return path_; }

    // Sets StoredSeconds from the file and TotalSeconds equal to it. When the
    // file gives no number but czas.dat.new holds a whole line (a replace cut
    // short), that total is used, and the new file takes the place of a
    // missing czas.dat. Else a missing file is created holding StoredSeconds
    // (0 at startup); an existing file that cannot be read or holds no number
    // is left untouched and StoredSeconds keeps its value. Never throws,
    // reports nothing.
    void LoadOrCreate(ElapsedCounter& counter) const;

    // Replaces the file's content with TotalSeconds as one whole step: the
    // file holds either the old line or the new one, whenever the process
    // dies. Throws SaveFailed when the file could not be replaced.
    void SaveTotal(const ElapsedCounter& counter) const;

    // True when a save could be made now: the folder takes a new file (a
    // probe of a name of its own), and czas.dat.new and czas.dat, when there,
    // may be replaced (neither is read-only nor a folder). Leaves nothing
    // behind and never touches czas.dat.new.
    bool Writable() const;

private:
    std::wstring path_;
    std::wstring tempPath_;  // the new content before it takes the file's place
};

}  // namespace czasomir
