// Registered as the handler of the mailto and http schemes with the command
// line  "link_recorder.exe" "<record file>" "%1",  it appends the target it was
// asked to open to the record file, one UTF-8 line per call.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const std::wstring line = std::wstring(argv[2]) + L"\n";
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(20)) {  // two handlers may run at once
        HANDLE file = CreateFileW(argv[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        DWORD written = 0;
        WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    return 1;
}
