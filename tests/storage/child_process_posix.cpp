#include "child_process.h"

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace czasomir::test {

std::filesystem::path ExecutableDirectory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::filesystem::path& workingDirectory) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (::chdir(workingDirectory.c_str()) == 0) ::execl(program.c_str(), program.c_str(), nullptr);
        ::_exit(127);
    }
    handle_ = pid;
}

ChildProcess::~ChildProcess() { Kill(); }

void ChildProcess::Kill() {
    if (handle_ == 0) return;
    const pid_t pid = static_cast<pid_t>(handle_);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    handle_ = 0;
}

}  // namespace czasomir::test
