#include "platform/shell_win.h"

#include <objbase.h>

namespace tk::win {

namespace {

// shell32 and ole32 are known DLLs: these names always load the system's copies.
HMODULE Shell32() {
    static const HMODULE module = LoadLibraryW(L"shell32.dll");
    return module;
}

}  // namespace

FARPROC ShellProc(const char* name) {
    const HMODULE module = Shell32();
    return module ? GetProcAddress(module, name) : nullptr;
}

void InitComForShell() {
    static const bool done = [] {
        using Initialize = HRESULT(WINAPI*)(void*, DWORD);
        const HMODULE ole32 = LoadLibraryW(L"ole32.dll");
        const auto initialize =
            ole32 ? reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")))
                  : nullptr;
        // Without COM the shell still opens what needs no extension.
        if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return true;
    }();
    (void)done;
}

}  // namespace tk::win
