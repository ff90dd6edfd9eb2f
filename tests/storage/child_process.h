// Starting a helper program of the tests and killing it abruptly.
#pragma once

#include <cstdint>
#include <filesystem>

namespace czasomir::test {

// The directory of the running test executable (its helpers sit next to it).
std::filesystem::path ExecutableDirectory();

class ChildProcess {
public:
    // Starts the program in the given working directory; throws std::runtime_error.
    ChildProcess(const std::filesystem::path& program, const std::filesystem::path& workingDirectory);
    ~ChildProcess();  // kills it when still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Ends it at once, without running any of its code, and waits for the end.
    void Kill();

private:
    std::intptr_t handle_ = 0;  // pid, or the process handle on Windows
};

}  // namespace czasomir::test
