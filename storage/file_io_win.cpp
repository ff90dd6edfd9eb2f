#include "storage/file_io.h"

#include <windows.h>

namespace czasomir::file_io {

namespace {

Result Failure() {
    const DWORD code = ::GetLastError();
    const bool busy = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                      code == ERROR_ACCESS_DENIED;
    return {busy ? Result::Kind::Busy : Result::Kind::Failed, static_cast<int>(code)};
}

// Writes, optionally flushes, and closes the handle; the first failure wins.
Result Finish(HANDLE file, std::string_view content, bool flush) {
    Result result;
    DWORD written = 0;
    const bool wrote = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                       written == content.size();
    if (!wrote || (flush && !::FlushFileBuffers(file))) result = Failure();
    if (!::CloseHandle(file) && result.ok()) result = Failure();
    return result;
}

}  // namespace

std::optional<std::string> ReadHead(const std::wstring& file, std::size_t maxBytes) {
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> head;
    if (::GetFileType(handle) == FILE_TYPE_DISK) {
        head.emplace(maxBytes, '\0');
        std::size_t got = 0;
        while (got < maxBytes) {
            DWORD n = 0;
            if (!::ReadFile(handle, head->data() + got, static_cast<DWORD>(maxBytes - got), &n, nullptr)) {
                head.reset();
                break;
            }
            if (n == 0) break;
            got += n;
        }
        if (head) head->resize(got);
    }
    ::CloseHandle(handle);
    return head;
}

Result CreateNew(const std::wstring& file, std::string_view content) {
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Failure();
    return Finish(handle, content, false);
}

Result WriteDurably(const std::wstring& file, std::string_view content) {
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Failure();
    return Finish(handle, content, true);
}

Result ReplaceDurably(const std::wstring& from, const std::wstring& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Failure();
    }
    return {};
}

void RemoveQuietly(const std::wstring& file) {
    ::DeleteFileW(file.c_str());
}

void Pause(int milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

Result ProbeCreate(const std::wstring& file) {
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Failure();
    ::CloseHandle(handle);  // and the file goes with it
    return {};
}

Result CheckReplaceable(const std::wstring& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return {};
        return {Result::Kind::Failed, static_cast<int>(code)};
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        return {Result::Kind::Failed, ERROR_ACCESS_DENIED};
    }
    // A save renames its new file over this one: it takes the right to write and to delete it.
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_SHARING_VIOLATION) return {};  // held by another program for now, not refused
        return {Result::Kind::Failed, static_cast<int>(code)};
    }
    ::CloseHandle(handle);
    return {};
}

Result CreateFolder(const std::wstring& folder) {
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return {};
    const DWORD code = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (code == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    return {Result::Kind::Failed, static_cast<int>(code)};
}

bool FileExists(const std::wstring& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace czasomir::file_io
