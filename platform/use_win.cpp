// Whether the computer is in use, over Win32: the run's clock (the unbiased
// interrupt time, less the time in standby), the tick count and the last
// input, the session's locks and disconnections, and the profile file.
//
// Standby: the window hears of the computer's suspend and resume (as every
// top-level window does; on Windows 8 and later also through
// RegisterSuspendResumeNotification, which is what a computer with Modern
// Standby reports its standby to) and of the console display's state; the
// StandbyClock decides what they mean.
#include <windows.h>

#include <versionhelpers.h>
#include <wtsapi32.h>

#include <cstring>
#include <utility>

#include "core/decimal_text.h"
#include "platform/toolkit_win.h"

namespace tk {

namespace {

// GUID_CONSOLE_DISPLAY_STATE (Windows 8 and later): 0 off, 1 on, 2 dimmed.
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

// WTSQuerySessionInformationW's WTSSessionInfoEx (Windows 7 and later): its
// answer begins with these members of WTSINFOEXW's level 1.
constexpr int kSessionInfoEx = 25;
struct SessionInfoEx {
    DWORD level;
    union {
        struct {
            ULONG sessionId;
            WTS_CONNECTSTATE_CLASS state;
            LONG flags;  // ReadSessionAtStart tells what it means
        } level1;
        LARGE_INTEGER alignment;
    };
};

// A system DLL, loaded from the system folder when first needed; it stays.
HMODULE SystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
}

template <class F>
F Function(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// wtsapi32 costs nothing until the option asks for session notifications.
HMODULE Wtsapi() {
    static const HMODULE module = SystemLibrary(L"wtsapi32.dll");
    return module;
}

double UnbiasedSeconds() {
    ULONGLONG hundredNanoseconds = 0;
    QueryUnbiasedInterruptTime(&hundredNanoseconds);
    return hundredNanoseconds / 1e7;
}

VOID CALLBACK ServiceReady(PVOID window, BOOLEAN /*timedOut*/) {
    PostMessageW(static_cast<HWND>(window), Win32Platform::kSessionServiceReady, 0, 0);
}

}  // namespace

Win32Platform::SessionHooks::~SessionHooks() {
    if (wait) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
}

double Win32Platform::RealTimeSeconds() { return standby_.Read(UnbiasedSeconds()); }

std::uint32_t Win32Platform::TickCountMs() { return GetTickCount(); }

// Without an answer the input is taken as now: no idle time.
std::uint32_t Win32Platform::LastInputTickMs() {
    LASTINPUTINFO info{sizeof info, 0};
    return GetLastInputInfo(&info) ? info.dwTime : GetTickCount();
}

void Win32Platform::WatchStandby(HWND window) {
    RegisterPowerSettingNotification(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    const auto registerWindow = Function<PVOID(WINAPI*)(HANDLE, DWORD)>(GetModuleHandleW(L"user32.dll"),
                                                                       "RegisterSuspendResumeNotification");
    if (registerWindow) registerWindow(window, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// A report that comes twice (the broadcast and the registration) counts once.
void Win32Platform::PowerBroadcast(WPARAM event, LPARAM data) {
    using Report = czasomir::StandbyClock::Report;
    if (event == PBT_APMSUSPEND) return standby_.Reported(Report::Suspend, UnbiasedSeconds());
    if (event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMEAUTOMATIC) return standby_.Reported(Report::Resume, UnbiasedSeconds());
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (event != PBT_POWERSETTINGCHANGE || !setting || setting->PowerSetting != kConsoleDisplayState ||
        setting->DataLength < sizeof(DWORD))
        return;
    DWORD display = 0;
    std::memcpy(&display, setting->Data, sizeof display);
    standby_.Reported(display == kDisplayOff ? Report::DisplayOff : Report::DisplayOn, UnbiasedSeconds());
}

// Registration fails at logon until the session service has started; it then
// sets its ready event, and the registration is tried again. Whatever fails is
// tried again at the next request (the option switched on again).
void Win32Platform::WatchSession(Form& form) {
    const auto window = reinterpret_cast<HWND>(WindowHandle(form));
    const auto registerWindow = Function<BOOL(WINAPI*)(HWND, DWORD)>(Wtsapi(), "WTSRegisterSessionNotification");
    if (!window || !registerWindow) return;
    SessionHooks& s = session_;
    const bool began = s.watch.Ask([&] { return registerWindow(window, NOTIFY_FOR_THIS_SESSION) != FALSE; }, [&] {
        s.ready.reset(OpenEventW(SYNCHRONIZE, FALSE, L"Global\\TermSrvReadyEvent"));
        if (s.ready && RegisterWaitForSingleObject(&s.wait, s.ready.get(), ServiceReady, window, INFINITE,
                                                   WT_EXECUTEONLYONCE))
            return true;
        s.wait = nullptr;
        s.ready.reset();
        return false;
    });
    if (!began) return;
    // A lock or disconnection that came first is told now.
    const auto at = win::QuerySessionAtStart(Function<win::SessionQuery>(Wtsapi(), "WTSQuerySessionInformationW"),
                                             Function<win::SessionFree>(Wtsapi(), "WTSFreeMemory"), IsWindows8OrGreater());
    if (at.disconnected) form.raiseSessionChange(SessionChange::Disconnect);
    if (at.locked) form.raiseSessionChange(SessionChange::Lock);
}

czasomir::SessionAtStart win::QuerySessionAtStart(SessionQuery query, SessionFree release, bool windows8OrLater) {
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!query || !release || !query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kSessionInfoEx, &buffer, &bytes))
        return {};
    SessionInfoEx info{};
    if (bytes >= sizeof info) std::memcpy(&info, buffer, sizeof info);
    release(buffer);
    return czasomir::ReadSessionAtStart(info.level, info.level1.state, info.level1.flags, windows8OrLater);
}

void Win32Platform::SessionServiceReady(Form& form) {
    if (!session_.watch.waiting()) return;
    UnregisterWaitEx(std::exchange(session_.wait, nullptr), INVALID_HANDLE_VALUE);
    session_.ready.reset();
    session_.watch.ServiceReady();
    WatchSession(form);
}

// WM_WTSSESSION_CHANGE's codes; the others (logon, logoff, remote control) change nothing here.
void Win32Platform::SessionChanged(Form& form, WPARAM code) {
    switch (code) {
    case WTS_SESSION_LOCK: form.raiseSessionChange(SessionChange::Lock); break;
    case WTS_SESSION_UNLOCK: form.raiseSessionChange(SessionChange::Unlock); break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT: form.raiseSessionChange(SessionChange::Disconnect); break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT: form.raiseSessionChange(SessionChange::Connect); break;
    default: break;
    }
}

int Win32Platform::ReadProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                  int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), fallback, file.c_str()));
}

bool Win32Platform::WriteProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                    int value) {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), czasomir::DecimalText<wchar_t>(value).c_str(),
                                      file.c_str()) != FALSE;
}

std::wstring Win32Platform::ReadProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    wchar_t text[32] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", text, 32, file.c_str());
    return text;
}

bool Win32Platform::WriteProfileText(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                     const std::wstring& text) {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), text.c_str(), file.c_str()) != FALSE;
}

}  // namespace tk
