#include "storage/file_io.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::file_io {

namespace {

// The wide text as UTF-8 (wchar_t holds whole code points here). A value that
// is no code point becomes U+FFFD.
std::string Utf8(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text) {
        char32_t code = static_cast<char32_t>(c);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

Result Failure() {
    const int code = errno;
    return {code == EBUSY || code == ETXTBSY ? Result::Kind::Busy : Result::Kind::Failed, code};
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes, optionally flushes, and closes fd; the first failure wins.
Result Finish(int fd, std::string_view content, bool flush) {
    Result result;
    if (!WriteAll(fd, content) || (flush && ::fsync(fd) != 0)) result = Failure();
    if (::close(fd) != 0 && result.ok()) result = Failure();
    return result;
}

}  // namespace

std::optional<std::string> ReadHead(const std::wstring& file, std::size_t maxBytes) {
    const int fd = ::open(Utf8(file).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> head;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        head.emplace(maxBytes, '\0');
        std::size_t got = 0;
        while (got < maxBytes) {
            const ssize_t n = ::read(fd, head->data() + got, maxBytes - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                head.reset();
                break;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (head) head->resize(got);
    }
    ::close(fd);
    return head;
}

Result CreateNew(const std::wstring& file, std::string_view content) {
    const int fd = ::open(Utf8(file).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    return Finish(fd, content, false);
}

Result WriteDurably(const std::wstring& file, std::string_view content) {
    const int fd = ::open(Utf8(file).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    return Finish(fd, content, true);
}

Result ReplaceDurably(const std::wstring& from, const std::wstring& to) {
    const std::string target = Utf8(to);
    if (::rename(Utf8(from).c_str(), target.c_str()) != 0) return Failure();
    // The rename itself reaches the disk with the directory. It has already
    // taken place, so a directory that cannot be synced (some file systems
    // refuse) does not turn the save into a failure.
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

void RemoveQuietly(const std::wstring& file) {
    ::unlink(Utf8(file).c_str());
}

void Pause(int milliseconds) {
    timespec rest{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

Result ProbeCreate(const std::wstring& file) {
    const std::string name = Utf8(file);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    ::close(fd);
    ::unlink(name.c_str());
    return {};
}

// Windows refuses to replace a read-only file; here a file without any write
// permission bit stands for one (also for root, whom permissions do not stop).
Result CheckReplaceable(const std::wstring& file) {
    struct stat info {};
    if (::stat(Utf8(file).c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? Result{} : Failure();
    }
    if (S_ISDIR(info.st_mode)) return {Result::Kind::Failed, EISDIR};
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {Result::Kind::Failed, EACCES};
    return {};
}

Result CreateFolder(const std::wstring& folder) {
    const std::string name = Utf8(folder);
    if (::mkdir(name.c_str(), 0777) == 0) return {};
    const Result failure = Failure();
    struct stat info {};
    if (failure.code == EEXIST && ::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
    return failure;
}

bool FileExists(const std::wstring& file) {
    struct stat info {};
    return ::stat(Utf8(file).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace czasomir::file_io
