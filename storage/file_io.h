// The few file operations the time file needs, one implementation per
// platform (file_io_posix.cpp, file_io_win.cpp). Paths are wide text: used
// as they are on Windows, encoded as UTF-8 elsewhere.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace czasomir::file_io {

struct Result {
    enum class Kind { Ok, Busy, Failed };  // Busy: another program holds the file; worth a retry
    Kind kind = Kind::Ok;
    int code = 0;  // errno or Win32 error code
    bool ok() const { return kind == Kind::Ok; }
};

// Up to maxBytes from the start of an existing regular file, opened with every
// kind of sharing allowed. No value when it cannot be opened or read.
std::optional<std::string> ReadHead(const std::wstring& file, std::size_t maxBytes);

// Creates the file with the given content only when nothing of that name exists.
Result CreateNew(const std::wstring& file, std::string_view content);

// Writes the content to a new or truncated file and flushes it to the disk.
Result WriteDurably(const std::wstring& file, std::string_view content);

// Puts `from` in the place of `to` in one rename that survives a power cut.
Result ReplaceDurably(const std::wstring& from, const std::wstring& to);

// Removes the file if it is there; failures are ignored.
void RemoveQuietly(const std::wstring& file);

// Waits the given number of milliseconds.
void Pause(int milliseconds);

}  // namespace czasomir::file_io
