#include "tests/e2e/harness.h"

#include <fstream>
#include <iterator>

#include "storage/time_file.h"
#include "tests/support.h"

namespace e2e {

namespace {

// A fresh folder below the temporary folder, holding the copy of the exe and czas.dat.
fs::path Placed(const std::optional<std::string>& czasDat, const std::wstring& name, bool testHooks) {
    static int runs = 0;
    const fs::path folder = fs::temp_directory_path() /
                            (L"czasomir-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs)) / name;
    fs::create_directories(folder);
    fs::copy_file(ExePath(testHooks), folder / L"Czasomir.exe", fs::copy_options::overwrite_existing);
    if (czasDat) std::ofstream(folder / L"czas.dat", std::ios::binary) << *czasDat;
    return folder;
}

}  // namespace

const czasomir::Form1& Model() {
    static tk::HeadlessPlatform platform;
    static czasomir::test::MemoryRejestr registry;
    static czasomir::Form1 form(platform, registry);
    return form;
}

fs::path ExePath(bool testHooks) { return fs::path(testHooks ? CZASOMIR_TESTHOOKS_EXE : CZASOMIR_EXE).make_preferred(); }

fs::path ScreenshotDirectory() { return fs::path(CZASOMIR_SCREENSHOT_DIR).make_preferred(); }

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !done(); Sleep(20))
        if (GetTickCount64() >= end) return false;
    return true;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

HWND FindWindowOf(DWORD processId, const wchar_t* className) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == processId) return window;
    }
    return nullptr;
}

std::optional<std::int64_t> Seconds(const std::wstring& text) {
    unsigned h = 0, m = 0, s = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%u : %u : %u%lc", &h, &m, &s, &rest) != 3 || m > 59 || s > 59) return std::nullopt;
    return std::int64_t{h} * 3600 + m * 60 + s;
}

std::optional<std::int32_t> WholeLine(const std::optional<std::string>& bytes) {
    const auto value = bytes ? czasomir::ParseTotal(*bytes) : std::nullopt;
    return value && czasomir::FormatTotalLine(*value) == *bytes ? value : std::nullopt;
}

bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAW data{sizeof data, window, id};  // changing nothing succeeds only for an icon that is there
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

Process::Process(const fs::path& exe, std::wstring commandLine, const fs::path& folder) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

// Under Wine the wait for input idle can come back while startup still runs:
// the display gets its text during startup, the window is shown last.
HWND Process::mainWindow(bool shown) {
    const int label = Model().Label1.id();
    WaitUntil([&] {
        if (!window_) window_ = FindWindowOf(id_, L"Czasomir.Form1");
        return !running() || (window_ && !WindowText(GetDlgItem(window_, label)).empty() && (!shown || IsWindowVisible(window_)));
    });
    waitIdle();
    return window_;
}

void Process::waitIdle() {
    if (process_) WaitForInputIdle(process_, 10000);
    DWORD_PTR ignored = 0;  // a sent message returns once the program is back in its message loop
    if (window_) SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void Process::click(const tk::Control& c) {
    SendMessageW(control(c), BM_CLICK, 0, 0);
    waitIdle();
}

void Process::post(UINT message, WPARAM w, LPARAM l) {
    PostMessageW(mainWindow(false), message, w, l);
    waitIdle();
}

bool Process::waitForExit(int timeoutMs) const {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

void Process::kill() {
    if (!process_) return;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
    process_ = nullptr;
}

std::wstring Quoted(const fs::path& exe, const std::wstring& arguments) {
    return L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
}

App::App(std::optional<std::string> czasDat, const std::wstring& arguments, const std::wstring& folderName, bool testHooks)
    : App(Placed(czasDat, folderName, testHooks), arguments, nullptr) {}

App::App(const fs::path& folder, const std::wstring& arguments, std::nullptr_t)
    : Process(folder / L"Czasomir.exe", Quoted(folder / L"Czasomir.exe", arguments), folder), folder_(folder) {}

App::~App() {
    kill();
    std::error_code ignored;  // the image may stay held a moment after the end
    WaitUntil([&] { return fs::remove_all(folder_.parent_path(), ignored) != static_cast<std::uintmax_t>(-1); }, 2000);
}

std::optional<std::string> App::czasDat() const {
    std::ifstream in(folder() / L"czas.dat", std::ios::binary);
    return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

ScreenCopy::ScreenCopy(HWND window) {
    GetWindowRect(window, &rect_);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), rect_.right - rect_.left, rect_.bottom - rect_.top, 1, 32}};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    if (HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen, rect_.left, rect_.top, SRCCOPY);
        GdiFlush();
        pixels_.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + info.bmiHeader.biWidth * info.bmiHeader.biHeight);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenCopy::At(HWND child, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(child, &p);
    const LONG width = rect_.right - rect_.left, row = rect_.bottom - 1 - p.y, column = p.x - rect_.left;
    if (pixels_.empty() || column < 0 || column >= width || row < 0 || p.y < rect_.top) return CLR_INVALID;
    const DWORD bgrx = pixels_[row * width + column];
    return RGB(bgrx >> 16 & 0xff, bgrx >> 8 & 0xff, bgrx & 0xff);
}

int ScreenCopy::Count(HWND child, const std::function<bool(COLORREF)>& test, int row) const {
    RECT r{};
    GetClientRect(child, &r);
    int n = 0;
    for (int y = row < 0 ? 0 : row; y < (row < 0 ? r.bottom : row + 1); ++y)
        for (int x = 0; x < r.right; ++x) n += At(child, x, y) != CLR_INVALID && test(At(child, x, y));
    return n;
}

bool ScreenCopy::Save(const fs::path& bmp) const {
    BITMAPINFOHEADER info{sizeof info, rect_.right - rect_.left, rect_.bottom - rect_.top, 1, 32};
    const DWORD bytes = static_cast<DWORD>(pixels_.size() * sizeof(DWORD)), offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER header{0x4d42, offset + bytes, 0, 0, offset};  // "BM"
    fs::create_directories(bmp.parent_path());
    std::ofstream out(bmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header).write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels_.data()), bytes);
    return !pixels_.empty() && out.good();
}

}  // namespace e2e
