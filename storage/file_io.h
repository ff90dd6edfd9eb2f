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

// Whether the program may keep its files in a folder ------------------------

// The separator between a folder and a name in a path.
#ifdef _WIN32
inline constexpr wchar_t kSeparator = L'\\';
#else
inline constexpr wchar_t kSeparator = L'/';
#endif

// Creates a file of this name (replacing a leftover of that name) and removes
// it again: Ok when the folder takes new files.
Result ProbeCreate(const std::wstring& file);

// Ok when the file may be replaced by another one, or when there is none.
// A read-only file (on POSIX: one without any write permission bit), a folder
// of that name or a file this user may not write is refused. A file that
// another program merely has open counts as replaceable.
Result CheckReplaceable(const std::wstring& file);

// Creates the folder (its parent must exist); Ok when it is there already.
Result CreateFolder(const std::wstring& folder);

// True when a file, not a folder, of this name is there.
bool FileExists(const std::wstring& file);

}  // namespace czasomir::file_io
