// Administrator rights for one change, asked of Windows without holding up the
// windows: the prompt and the elevated run are waited for on a worker thread,
// whose answer comes back to the window thread as a message.
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "platform/shell_win.h"
#include "platform/toolkit_win.h"

namespace tk {

namespace {

constexpr UINT kElevatedRunEnded = WM_APP + 1;  // lParam: the Request, now the receiver's
const wchar_t kReplyClass[] = L"Czasomir.ElevatedRun";

struct Request {
    HWND reply = nullptr;  // the message-only window that takes the answer
    HWND owner = nullptr;  // the prompt's parent
    std::wstring file, arguments;
    std::function<void(ElevatedRun)> done;
    ElevatedRun result;
};

// The program's one call into shell32 for an elevated start.
bool ShellExecuteElevated(SHELLEXECUTEINFOW& info) {
    const win::ShellLibrary shell;
    const auto execute = shell.Function<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    if (!execute) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return false;
    }
    shell.KeepLoaded();  // the shell's part of the start may go on after the call
    return execute(&info) != FALSE;
}

void Start(Request& request) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = request.owner;
    info.lpVerb = L"runas";
    info.lpFile = request.file.c_str();
    info.lpParameters = request.arguments.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteElevated(info)) {
        request.result.outcome = GetLastError() == ERROR_CANCELLED ? ElevatedRun::Declined : ElevatedRun::NotStarted;
        return;
    }
    if (!info.hProcess) return;  // started, but nothing to wait for: no outcome to tell
    win::UniqueHandle process(info.hProcess);
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), &code)) {
        request.result.outcome = ElevatedRun::Ran;
        request.result.exitCode = code;
    }
}

DWORD WINAPI WaitForElevatedRun(void* parameter) {
    std::unique_ptr<Request> request(static_cast<Request*>(parameter));
    {
        // ShellExecuteEx may hand the start to shell extensions: it wants COM on its thread.
        const win::ThreadCom com;
        Start(*request);
    }
    if (PostMessageW(request->reply, kElevatedRunEnded, 0, reinterpret_cast<LPARAM>(request.get()))) request.release();
    return 0;
}

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kElevatedRunEnded) return DefWindowProcW(hwnd, message, wParam, lParam);
    std::unique_ptr<Request> request(reinterpret_cast<Request*>(lParam));
    try {
        Dispatch([&] { request->done(request->result); });
    } catch (...) {
    }
    return 0;
}

HWND ReplyWindow() {
    static HWND window = [] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = ReplyProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = kReplyClass;
        RegisterClassExW(&cls);
        return CreateWindowExW(0, kReplyClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    }();
    return window;
}

bool UserAccountControlOn() {
    DWORD on = 1, size = sizeof on;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                     L"EnableLUA", RRF_RT_REG_DWORD, nullptr, &on, &size) != ERROR_SUCCESS)
        return true;  // Windows' default
    return on != 0;
}

}  // namespace

// An administrator's filtered token (TokenElevationTypeLimited) gets its full
// rights through the prompt; a standard user's token (Default, not elevated)
// gets an administrator's through the prompt asking for a password, as long as
// User Account Control is on. An elevated token has nothing more to get.
bool Win32Platform::CanElevate() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    win::UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) ||
        elevation.TokenIsElevated)
        return false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size);
    return type == TokenElevationTypeLimited || UserAccountControlOn();
}

void Win32Platform::RunElevated(Form& owner, const std::wstring& arguments, std::function<void(ElevatedRun)> done) {
    auto request = std::make_unique<Request>();
    request->reply = ReplyWindow();
    request->owner = reinterpret_cast<HWND>(WindowHandle(owner));
    request->file = win::ModulePath();
    request->arguments = arguments;
    request->done = std::move(done);
    if (!request->reply) {
        Dispatch([&] { request->done(request->result); });  // no way to wait: not started
        return;
    }
    if (!request->file.empty()) {
        if (HANDLE thread = CreateThread(nullptr, 0, WaitForElevatedRun, request.get(), 0, nullptr)) {
            request.release();
            CloseHandle(thread);
            return;
        }
    }
    // Not started: the answer still comes as an event of its own.
    if (PostMessageW(request->reply, kElevatedRunEnded, 0, reinterpret_cast<LPARAM>(request.get()))) request.release();
}

void Win32Platform::ShowMessage(Form& owner, const std::wstring& text) {
    MessageBoxW(reinterpret_cast<HWND>(WindowHandle(owner)), text.c_str(), owner.caption.c_str(),
                MB_OK | MB_ICONWARNING);
}

}  // namespace tk
