// Czasomir.exe: hands control to the toolkit, which creates the main window;
// or, started elevated by the main window to change the Run value, makes that
// one change and ends.
#include <windows.h>

#include <cstdlib>

#include "autostart/autostart_switch.h"
#include "autostart/rejestr.h"
#include "platform/toolkit_win.h"
#include "ui/main/form1.h"

namespace {

int SaveIntervalMs() {
#ifdef CZASOMIR_TEST_HOOKS
    // Test builds only: a short save period, for the test that kills the process.
    wchar_t text[16];
    const DWORD n = GetEnvironmentVariableW(L"CZASOMIR_TEST_SAVE_MS", text, 16);
    if (n > 0 && n < 16) {
        const long ms = std::wcstol(text, nullptr, 10);
        if (ms >= 1 && ms <= 65535) return static_cast<int>(ms);
    }
#endif
    return czasomir::kSaveIntervalMs;
}

}  // namespace

// A window program has no console for the default terminate handler's message;
// replacing it keeps the C++ name demangler (some 45 KB) out of the exe.
#ifdef __GNUC__
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tk::Win32Platform platform;
    auto registry = czasomir::MakeWindowsRejestr();
    // The elevated mode comes before any window, the single-instance test and czas.dat.
    if (const std::wstring arguments = platform.ArgumentText(); czasomir::IsAutostartSwitch(arguments))
        return *czasomir::RunAutostartSwitch(arguments, czasomir::ThisCopysAutostart(platform), *registry);
    czasomir::Form1 form1(platform, *registry, SaveIntervalMs());
    return platform.Run(form1);
}
