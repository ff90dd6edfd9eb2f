// The shell (shell32) and COM (ole32), loaded when first used: the window's
// first paint needs neither, and in normal mode most runs never use them.
// A function that cannot be loaded comes back null; the caller then does what
// it does when the call itself fails.
//   if (auto notify = win::ShellFunction<decltype(&Shell_NotifyIconW)>("Shell_NotifyIconW")) ...
#pragma once

#include <windows.h>

namespace tk::win {

// A function of shell32.dll, which is loaded by the first call and stays loaded.
FARPROC ShellProc(const char* name);

template <class F>
F ShellFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(ShellProc(name)));
}

// COM on this thread (single-threaded apartment), once, for shell calls that may
// hand their work to a COM extension (ShellExecute and its kin). It stays on
// until the process ends.
void InitComForShell();

}  // namespace tk::win
