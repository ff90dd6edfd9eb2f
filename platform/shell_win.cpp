#include "platform/shell_win.h"

#include <objbase.h>

namespace tk::win {

// shell32 and ole32 are known DLLs: these names always load the system's copies.
ShellLibrary::ShellLibrary() : module_(LoadLibraryW(L"shell32.dll")) {}

void ShellLibrary::KeepLoaded() const {
    HMODULE pinned = nullptr;
    if (module_) GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"shell32.dll", &pinned);
}

void InitComForShell() {
    static const bool done = [] {
        using Initialize = HRESULT(WINAPI*)(void*, DWORD);
        const HMODULE ole32 = LoadLibraryW(L"ole32.dll");  // stays loaded with COM
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
