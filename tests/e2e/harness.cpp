#include "tests/e2e/harness.h"

#include <shellapi.h>

#include <cwchar>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/headless.h"

namespace e2e {

namespace {

class NoRegistry : public czasomir::Rejestr {
public:
    std::optional<std::wstring> ReadStringValue(czasomir::RegistryRoot, const std::wstring&,
                                                const std::wstring&) override {
        return std::nullopt;
    }
    czasomir::RegistryResult WriteStringValue(czasomir::RegistryRoot, const std::wstring&, const std::wstring&,
                                              const std::wstring&) override {
        return czasomir::RegistryResult::Done;
    }
    czasomir::RegistryResult DeleteValue(czasomir::RegistryRoot, const std::wstring&, const std::wstring&) override {
        return czasomir::RegistryResult::Done;
    }
};

// A path of the build machine: under Wine a Unix path is reached through drive Z:.
std::filesystem::path HostPath(const char* utf8) {
    std::string path(utf8);
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return wide;
}

std::filesystem::path FreshRoot() {
    static int runs = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    for (;;) {
        std::filesystem::path root = std::filesystem::path(temp) /
                                     (L"czasomir-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                      std::to_wstring(++runs) + L"-" + std::to_wstring(GetTickCount()));
        if (std::filesystem::create_directories(root)) return root;
    }
}

}  // namespace

const czasomir::Form1& MainWindowModel() {
    static tk::HeadlessPlatform platform;
    static NoRegistry registry;
    static czasomir::Form1 form(platform, registry);
    return form;
}

std::filesystem::path ExePath(bool testHooks) { return HostPath(testHooks ? CZASOMIR_TESTHOOKS_EXE : CZASOMIR_EXE); }

std::filesystem::path ScreenshotDirectory() { return HostPath(CZASOMIR_SCREENSHOT_DIR); }

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT is carried across processes.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

RECT RectInParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND FindWindowOf(DWORD processId, const wchar_t* className, bool visibleOnly) {
    struct Search {
        DWORD pid;
        const wchar_t* className;
        bool visibleOnly;
        HWND found;
    } search{processId, className, visibleOnly, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != s->pid || ClassName(window) != s->className || (s->visibleOnly && !IsWindowVisible(window)))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMainWindow(DWORD processId) { return FindWindowOf(processId, L"Czasomir.Form1"); }

ScopedEnvironment::ScopedEnvironment(const Variables& variables) {
    for (const auto& [name, value] : variables) {
        wchar_t old[4096];
        DWORD n = GetEnvironmentVariableW(name.c_str(), old, 4096);
        saved_.emplace_back(name, n > 0 && n < 4096 ? std::optional<std::wstring>(old) : std::nullopt);
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
}

// --- Process ---------------------------------------------------------------------

Process::Process(const std::filesystem::path& exe, std::wstring commandLine, const std::filesystem::path& folder,
                 const Variables& environment) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ScopedEnvironment variables(environment);
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                       &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

std::wstring Process::Quoted(const std::filesystem::path& exe, const std::wstring& arguments) {
    return L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
}

Process::~Process() { kill(); }

HWND Process::mainWindow(int timeoutMs) {
    if (window_ && IsWindow(window_)) return window_;
    if (!process_) return nullptr;
    WaitUntil([&] { return (window_ = FindMainWindow(id_)) != nullptr || !running(); }, timeoutMs);
    if (!window_) return nullptr;
    // The window exists before its startup is over (and Wine's input-idle wait
    // can return early): the display is filled during startup, and the window
    // answers messages only once its startup has returned.
    const int label = MainWindowModel().Label1.id();
    WaitUntil([&] { return !WindowText(GetDlgItem(window_, label)).empty() || !running(); }, timeoutMs);
    waitIdle(timeoutMs);
    return window_;
}

HWND Process::control(int id) {
    HWND main = mainWindow();
    return main ? GetDlgItem(main, id) : nullptr;
}

std::wstring Process::text(int controlId) { return WindowText(control(controlId)); }

void Process::waitIdle(int timeoutMs) {
    if (process_) WaitForInputIdle(process_, static_cast<DWORD>(timeoutMs));
    // A message sent to the window returns once its thread is back in its message loop.
    DWORD_PTR ignored = 0;
    if (window_ && IsWindow(window_))
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &ignored);
}

void Process::click(int controlId) {
    SendMessageW(control(controlId), BM_CLICK, 0, 0);
    waitIdle();
}

void Process::choose(int menuCommand) {
    PostMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(menuCommand, 0), 0);
    waitIdle();
}

void Process::close() { PostMessageW(mainWindow(), WM_CLOSE, 0, 0); }

bool Process::waitForExit(int timeoutMs) const {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool Process::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void Process::kill() {
    if (!process_) return;
    if (running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

// --- App -------------------------------------------------------------------------

// Field by field: keeps -Wextra quiet about the rest.
Launch With(std::optional<std::string> czasDat, std::wstring arguments, bool testHooks, std::wstring folderName) {
    Launch launch;
    launch.czasDat = std::move(czasDat);
    launch.arguments = std::move(arguments);
    launch.testHooks = testHooks;
    launch.folderName = std::move(folderName);
    return launch;
}

namespace {

// The copy of the exe in its folder below `root`, with czas.dat beside it when the launch has one.
std::filesystem::path Placed(const std::filesystem::path& root, const Launch& launch) {
    const std::filesystem::path folder = root / launch.folderName, exe = folder / L"Czasomir.exe";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(ExePath(launch.testHooks), exe);
    if (launch.czasDat) std::ofstream(folder / L"czas.dat", std::ios::binary) << *launch.czasDat;
    return exe;
}

}  // namespace

App::App(const Launch& launch) : App(launch, FreshRoot()) {}

App::App(const Launch& launch, const std::filesystem::path& root)
    : Process(Placed(root, launch), Quoted(root / launch.folderName / L"Czasomir.exe", launch.arguments),
              root / launch.folderName, launch.environment),
      root_(root),
      folder_(root / launch.folderName) {}

App::~App() {
    kill();
    std::error_code ignored;
    // The file system may hold the image a moment after the process ended.
    WaitUntil([&] { return std::filesystem::remove_all(root_, ignored) != static_cast<std::uintmax_t>(-1); }, 2000);
}

std::optional<std::string> App::czasDat() const {
    std::ifstream in(folder_ / L"czas.dat", std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// --- The state of the main window, read from outside -------------------------------

namespace {

std::wstring ControlText(HWND main, int id) { return WindowText(GetDlgItem(main, id)); }

}  // namespace

bool WaitShownStarted(HWND main, int timeoutMs) {
    const auto& model = MainWindowModel();
    return main && WaitUntil([&] {
        return IsWindowVisible(main) && !ControlText(main, model.Label1.id()).empty() &&
               !ControlText(main, model.Command1.id()).empty();
    }, timeoutMs);
}

std::optional<std::int64_t> DisplayedSeconds(const std::wstring& text) {
    unsigned h = 0, m = 0, s = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%u : %u : %u%lc", &h, &m, &s, &rest) != 3) return std::nullopt;
    if (m > 59 || s > 59) return std::nullopt;
    return std::int64_t{h} * 3600 + m * 60 + s;
}

std::optional<std::int64_t> StoredSeconds(const std::optional<std::string>& bytes) {
    if (!bytes || bytes->size() < 3 || bytes->size() > 13) return std::nullopt;
    const std::string& b = *bytes;
    if (b.compare(b.size() - 2, 2, "\r\n") != 0) return std::nullopt;
    std::size_t i = b[0] == '-' ? 1 : 0;
    if (i == b.size() - 2) return std::nullopt;
    std::int64_t value = 0;
    for (; i < b.size() - 2; ++i) {
        if (b[i] < '0' || b[i] > '9') return std::nullopt;
        value = value * 10 + (b[i] - '0');
    }
    return b[0] == '-' ? -value : value;
}

bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace e2e
