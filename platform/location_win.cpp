// Where this copy lies: the executable's final path and the folders that only
// administrators can change. Both are asked for only when the autostart
// registration needs them, so the shell is not loaded at every start.
#include "platform/toolkit_win.h"

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/shell_win.h"

namespace tk {

std::wstring Win32Platform::FinalExePath() {
    const HANDLE opened = CreateFileW(win::ModulePath().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return {};
    const win::UniqueHandle file(opened);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(file.get(), path.data(), static_cast<DWORD>(path.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n);  // too small: n is the size needed, terminator included
    }
}

std::vector<std::wstring> Win32Platform::ProtectedFolders() {
    std::vector<std::wstring> folders;
    const win::ShellLibrary shell;
    const win::UniqueLibrary ole(LoadLibraryW(L"ole32.dll"));  // CoTaskMemFree, for the shell's answers
    const auto known = shell.Function<decltype(&SHGetKnownFolderPath)>("SHGetKnownFolderPath");
    const auto release = ole ? reinterpret_cast<void(WINAPI*)(void*)>(
                                   reinterpret_cast<void*>(GetProcAddress(ole.get(), "CoTaskMemFree")))
                             : nullptr;
    if (!known || !release) return folders;
    // Not the Windows folder: any user may create folders and files in some of
    // its subfolders (Temp, Tasks, System32\spool\drivers\color).
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
        PWSTR path = nullptr;
        if (SUCCEEDED(known(*id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) folders.emplace_back(path);
        release(path);
    }
    return folders;
}

}  // namespace tk
