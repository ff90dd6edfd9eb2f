// The shell (shell32) and COM (ole32), loaded when first used: the window's
// first paint needs neither, and most runs use them once or twice, if at all.
// A function that cannot be loaded comes back null; the caller then does what
// it does when the call itself fails.
//   const win::ShellLibrary shell;
//   if (auto notify = shell.Function<decltype(&Shell_NotifyIconW)>("Shell_NotifyIconW")) ...
#pragma once

#include <windows.h>

#include "platform/handles_win.h"

namespace tk::win {

// shell32.dll while this lives: loaded when made, released when it goes, so
// that a program that calls the shell now and then does not keep it mapped.
class ShellLibrary {
public:
    ShellLibrary();

    template <class F>
    F Function(const char* name) const {
        return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name))) : nullptr;
    }
    // For calls whose work may go on in the shell after they return
    // (ShellExecute and its kin): shell32 then stays until the process ends.
    void KeepLoaded() const;

private:
    UniqueLibrary module_;
};

// One of the program's icons, `size` pixels square, scaled down from a larger
// picture in the icon when it has none of that size; null when it cannot be loaded.
HICON LoadScaledIcon(int iconResource, int size);

// COM on this thread (single-threaded apartment), once, for shell calls that may
// hand their work to a COM extension (ShellExecute and its kin). It stays on
// until the process ends.
void InitComForShell();

// COM on this thread (single-threaded apartment) while this lives, for a
// worker thread that calls the shell.
class ThreadCom {
public:
    ThreadCom();
    ~ThreadCom();
    ThreadCom(const ThreadCom&) = delete;
    ThreadCom& operator=(const ThreadCom&) = delete;

private:
    void(WINAPI* uninitialize_)() = nullptr;  // set once COM is on
};

}  // namespace tk::win
