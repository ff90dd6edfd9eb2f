#include "storage/time_file.h"

#include "core/decimal_text.h"
#include "storage/file_io.h"

#include <limits>
#include <utility>

namespace czasomir {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A save that meets a file held by another program (a virus scanner, a backup
// tool) tries again a few times within about 150 ms before it gives up.
constexpr int kSaveAttempts = 4;
constexpr int kRetryPauseMilliseconds = 50;

// The file's total; with `whole`, only when the file is exactly the line a
// save writes (a save's new file cut short holds none).
std::optional<std::int32_t> ReadTotal(const std::wstring& file, bool whole) {
    const std::optional<std::string> head = file_io::ReadHead(file, kTimeFileLineLimit + 1);
    const std::optional<std::int32_t> total = head ? ParseTotal(*head) : std::nullopt;
    return total && (!whole || *head == FormatTotalLine(*total)) ? total : std::nullopt;
}

}  // namespace

void ReplaceSafely(const std::wstring& tempFile, const std::wstring& file, std::string_view content) {
    for (int attempt = 1;; ++attempt) {
        file_io::Result result = file_io::WriteDurably(tempFile, content);
        const char* step = "writing the new file failed";
        if (result.ok()) {
            result = file_io::ReplaceDurably(tempFile, file);
            step = "replacing the file failed";
        }
        if (result.ok()) return;
        if (result.kind != file_io::Result::Kind::Busy || attempt == kSaveAttempts) {
            file_io::RemoveQuietly(tempFile);
            throw SaveFailed(std::string(step) + " (error " + DecimalText<char>(result.code) + ")");
        }
        file_io::Pause(kRetryPauseMilliseconds);
    }
}

std::optional<std::int32_t> ParseTotal(std::string_view head) {
    std::string_view line = head.substr(0, head.find_first_of("\r\n"));
    if (line.size() > kTimeFileLineLimit) return std::nullopt;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);

    bool negative = false;
    if (!line.empty() && (line.front() == '-' || line.front() == '+')) {
        negative = line.front() == '-';
        line.remove_prefix(1);
    }
    if (line.empty()) return std::nullopt;

    // The magnitude is built up negatively, so that -2147483648 fits.
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 - (c - '0');
        if (value < kMin) return std::nullopt;
    }
    if (!negative) {
        if (-value > kMax) return std::nullopt;
        value = -value;
    }
    return static_cast<std::int32_t>(value);
}

std::string FormatTotalLine(std::int32_t total) {
    return DecimalText<char>(total) + "\r\n";
}

TimeFile::TimeFile(std::wstring directory)
    : path_(std::move(directory) + file_io::kSeparator + L"czas.dat"), tempPath_(path_ + L".new") {}

// The probe has a name of its own: a czas.dat.new may hold the newest total
// (a replace cut short), or be another copy's save under way.
bool TimeFile::Writable() const {
    return file_io::ProbeCreate(path_ + L".probe").ok() && file_io::CheckReplaceable(tempPath_).ok() &&
           file_io::CheckReplaceable(path_).ok();
}

void TimeFile::LoadOrCreate(ElapsedCounter& counter) const {
    std::optional<std::int32_t> value = ReadTotal(path_, false);
    // Where a replace is two steps (FAT, exFAT: the old file goes, then the
    // new one takes its name), a cut between them leaves the newest total
    // whole in the new file: it counts when czas.dat gives no number, and
    // takes czas.dat's place when that is gone.
    if (!value && (value = ReadTotal(tempPath_, true))) {
        if (!file_io::FileExists(path_)) file_io::ReplaceDurably(tempPath_, path_);
    } else if (!value && file_io::CreateNew(path_, FormatTotalLine(counter.StoredSeconds)).ok()) {
        // Creating only what does not exist leaves alone a czas.dat that is
        // there but unreadable (locked, no access, a directory), and one that
        // appeared in the meantime.
        value = ReadTotal(path_, false);
    }
    if (value) counter.StoredSeconds = *value;
    counter.TotalSeconds = counter.StoredSeconds;
}

void TimeFile::SaveTotal(const ElapsedCounter& counter) const {
    ReplaceSafely(tempPath_, path_, FormatTotalLine(counter.TotalSeconds));
}

}  // namespace czasomir
