// Stands in for the mail program and the web browser in the About box's link
// tests: registered as the handler of the mailto and http schemes with the
// command line  "link_recorder.exe" "<record file>" "%1",  it appends the
// target it was asked to open to the record file, one UTF-8 line per call.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;

    std::wstring line;
    for (int i = 2; i < argc; ++i) line += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
    line += L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);

    // Two handlers may run at once: append under a retry while the file is busy.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(argv[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            LocalFree(argv);
            return 0;
        }
        Sleep(20);
    }
    LocalFree(argv);
    return 1;
}
