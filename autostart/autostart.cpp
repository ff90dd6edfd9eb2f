#include "autostart/autostart.h"

namespace czasomir {

namespace {

std::wstring ExePath(const std::wstring& appDirectory, const std::wstring& exeName) {
    return appDirectory + L"\\" + exeName + L".exe";
}

}  // namespace

std::wstring AutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return L"\"" + ExePath(appDirectory, exeName) + L"\" /auto";
}

std::wstring UnquotedAutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return ExePath(appDirectory, exeName) + L" /auto";
}

bool IsAutostartRegistration(const std::wstring& runEntry, const std::wstring& appDirectory,
                             const std::wstring& exeName) {
    return runEntry == AutostartCommand(appDirectory, exeName) ||
           runEntry == UnquotedAutostartCommand(appDirectory, exeName);
}

}  // namespace czasomir
