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

// Test builds only: a period in milliseconds from the environment, within 1..max.
long TestMilliseconds([[maybe_unused]] const wchar_t* variable, long fallback, [[maybe_unused]] long max) {
#ifdef CZASOMIR_TEST_HOOKS
    wchar_t text[16];
    const DWORD n = GetEnvironmentVariableW(variable, text, 16);
    if (n > 0 && n < 16) {
        const long ms = std::wcstol(text, nullptr, 10);
        if (ms >= 1 && ms <= max) return ms;
    }
#endif
    return fallback;
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
    // A short save period for the test that kills the process, a short idle time for the idle tests.
    czasomir::Form1 form1(platform, *registry,
                          static_cast<int>(TestMilliseconds(L"CZASOMIR_TEST_SAVE_MS", czasomir::kSaveIntervalMs, 65535)),
                          static_cast<std::uint32_t>(TestMilliseconds(L"CZASOMIR_TEST_IDLE_MS",
                                                                       czasomir::IdleGuard::kIdleLimitMs, 86400000)));
    return platform.Run(form1);
}
