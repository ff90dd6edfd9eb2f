#include "child_process.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

namespace czasomir::test {

std::filesystem::path ExecutableDirectory() {
    std::vector<wchar_t> name(32768);
    const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
}

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::filesystem::path& workingDirectory) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.c_str(), &startup, &process)) {
        throw std::runtime_error("CreateProcessW failed, error " + std::to_string(::GetLastError()));
    }
    ::CloseHandle(process.hThread);
    handle_ = reinterpret_cast<std::intptr_t>(process.hProcess);
}

ChildProcess::~ChildProcess() { Kill(); }

void ChildProcess::Kill() {
    if (handle_ == 0) return;
    const HANDLE process = reinterpret_cast<HANDLE>(handle_);
    ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, INFINITE);
    ::CloseHandle(process);
    handle_ = 0;
}

}  // namespace czasomir::test
