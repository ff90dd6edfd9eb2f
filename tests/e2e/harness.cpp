#include "tests/e2e/harness.h"

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
    void WriteStringValue(czasomir::RegistryRoot, const std::wstring&, const std::wstring&,
                          const std::wstring&) override {}
    void DeleteValue(czasomir::RegistryRoot, const std::wstring&, const std::wstring&) override {}
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

// Sets variables for the children started while it lives.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::vector<std::pair<std::wstring, std::wstring>>& vars) {
        for (const auto& [name, value] : vars) {
            wchar_t old[4096];
            DWORD n = GetEnvironmentVariableW(name.c_str(), old, 4096);
            saved_.emplace_back(name, n > 0 && n < 4096 ? std::optional<std::wstring>(old) : std::nullopt);
            SetEnvironmentVariableW(name.c_str(), value.c_str());
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
    }

private:
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

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

HWND FindMainWindow(DWORD processId) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != s->pid || ClassName(window) != L"Czasomir.Form1") return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

App::App(const Launch& launch) : root_(FreshRoot()), folder_(root_ / launch.folderName) {
    std::filesystem::create_directories(folder_);
    std::filesystem::copy_file(ExePath(launch.testHooks), exe());
    if (launch.czasDat) std::ofstream(folder_ / L"czas.dat", std::ios::binary) << *launch.czasDat;

    std::wstring commandLine = L"\"" + exe().wstring() + L"\"";
    if (!launch.arguments.empty()) commandLine += L" " + launch.arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ScopedEnvironment environment(launch.environment);
    if (CreateProcessW(exe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
}

App::~App() {
    kill();
    std::error_code ignored;
    // The file system may hold the image a moment after the process ended.
    WaitUntil([&] { return std::filesystem::remove_all(root_, ignored) != static_cast<std::uintmax_t>(-1); }, 2000);
}

HWND App::mainWindow(int timeoutMs) {
    if (window_ && IsWindow(window_)) return window_;
    if (!process_) return nullptr;
    WaitUntil([&] { return (window_ = FindMainWindow(processId_)) != nullptr || !running(); }, timeoutMs);
    if (!window_) return nullptr;
    // The window exists before its startup is over (and Wine's input-idle wait
    // can return early): the display is filled during startup, and the window
    // answers messages only once its startup has returned.
    const int label = MainWindowModel().Label1.id();
    WaitUntil([&] { return !WindowText(GetDlgItem(window_, label)).empty() || !running(); }, timeoutMs);
    waitIdle(timeoutMs);
    return window_;
}

HWND App::control(int id) {
    HWND main = mainWindow();
    return main ? GetDlgItem(main, id) : nullptr;
}

std::wstring App::text(int controlId) { return WindowText(control(controlId)); }

void App::waitIdle(int timeoutMs) {
    if (process_) WaitForInputIdle(process_, static_cast<DWORD>(timeoutMs));
    // A message sent to the window returns once its thread is back in its message loop.
    DWORD_PTR ignored = 0;
    if (window_ && IsWindow(window_))
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &ignored);
}

void App::click(int controlId) {
    SendMessageW(control(controlId), BM_CLICK, 0, 0);
    waitIdle();
}

void App::choose(int menuCommand) {
    PostMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(menuCommand, 0), 0);
    waitIdle();
}

void App::close() { PostMessageW(mainWindow(), WM_CLOSE, 0, 0); }

bool App::waitForExit(int timeoutMs) {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool App::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD App::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void App::kill() {
    if (!process_) return;
    if (running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

std::optional<std::string> App::czasDat() const {
    std::ifstream in(folder_ / L"czas.dat", std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace e2e
