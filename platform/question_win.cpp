// A question with the answers Tak and Nie: a task dialog with buttons of our
// own, since a message box takes its button texts from Windows' language.
#include <windows.h>

#include <commctrl.h>

#include "platform/toolkit_win.h"

namespace tk {

namespace {

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// From the common controls the manifest loads (version 6); null under any older ones.
TaskDialogIndirectFunction TaskDialogIndirectOf() {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    return controls ? reinterpret_cast<TaskDialogIndirectFunction>(
                          reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")))
                    : nullptr;
}

}  // namespace

bool Win32Platform::AskYesNo(Form& owner, const std::wstring& text) {
    const HWND window = reinterpret_cast<HWND>(WindowHandle(owner));
    if (const TaskDialogIndirectFunction taskDialog = TaskDialogIndirectOf()) {
        // Nie is the cancel button: Escape presses it (also in Wine's task dialog), and the close
        // button cancels too.
        const TASKDIALOG_BUTTON buttons[] = {{IDYES, L"Tak"}, {IDCANCEL, L"Nie"}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = window;
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
        config.pszWindowTitle = owner.caption.c_str();
        config.pszMainIcon = TD_WARNING_ICON;
        config.pszContent = text.c_str();
        config.cButtons = 2;
        config.pButtons = buttons;
        config.nDefaultButton = IDCANCEL;
        int pressed = 0;
        if (SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr))) return pressed == IDYES;
    }
    // Without task dialogs: the system's own Yes and No, No the default.
    return MessageBoxW(window, text.c_str(), owner.caption.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

}  // namespace tk
