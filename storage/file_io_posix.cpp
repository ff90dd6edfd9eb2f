#include "storage/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::file_io {

namespace {

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

std::optional<std::string> ReadHead(const std::filesystem::path& file, std::size_t maxBytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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

Result CreateNew(const std::filesystem::path& file, std::string_view content) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    return Finish(fd, content, false);
}

Result WriteDurably(const std::filesystem::path& file, std::string_view content) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    return Finish(fd, content, true);
}

Result ReplaceDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return Failure();
    // The rename itself reaches the disk with the directory. It has already
    // taken place, so a directory that cannot be synced (some file systems
    // refuse) does not turn the save into a failure.
    const std::filesystem::path dir = to.has_parent_path() ? to.parent_path() : ".";
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

void RemoveQuietly(const std::filesystem::path& file) {
    ::unlink(file.c_str());
}

}  // namespace czasomir::file_io
