// The About box of the real program under Windows (Wine in CI): Czasomir.exe
// runs in a folder of its own and the test plays the user from outside with
// window messages, as a second process would.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "czasomir/build_info.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/screen_copy.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using e2e::RectInParent;
using e2e::ScreenCopy;
using e2e::WaitUntil;
using e2e::WindowText;

// The About box's controls, numbered in the order they are created.
enum : int { kCommand1 = 1, kLabel5, kLabel4, kLabel3, kLabel2, kLabel1 };

HWND FindAbout(DWORD pid) { return e2e::FindWindowOf(pid, L"Czasomir.Form2", true); }

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const fs::path& file) {
    std::vector<std::string> lines;
    std::string text = ReadFile(file), line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    return lines;
}

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS) << key;
    RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

// A key's default value; nothing when the key or the value is missing.
std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& key) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

// Keys as the user types them: down and up, to whichever control has the focus.
void PressKey(HWND focus, UINT key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(focus, WM_KEYDOWN, key, scan | 1);
    PostMessageW(focus, WM_KEYUP, key, scan | 1 | (1u << 30) | (1u << 31));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// What the user sees of an About box, to compare two openings.
struct Content {
    std::wstring caption;
    RECT client;
    std::vector<std::wstring> texts;
    std::vector<RECT> rects;
    bool operator==(const Content& o) const {
        auto same = [](const RECT& a, const RECT& b) {
            return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
        };
        if (caption != o.caption || !same(client, o.client) || texts != o.texts || rects.size() != o.rects.size())
            return false;
        for (size_t i = 0; i < rects.size(); ++i)
            if (!same(rects[i], o.rects[i])) return false;
        return true;
    }
};

Content ContentOf(HWND about) {
    Content c{WindowText(about), {}, {}, {}};
    GetClientRect(about, &c.client);
    for (int id = kCommand1; id <= kLabel1; ++id) {
        HWND control = GetDlgItem(about, id);
        c.texts.push_back(WindowText(control));
        c.rects.push_back(RectInParent(control));
    }
    return c;
}

class AboutE2E : public ::testing::Test {
protected:
    static inline fs::path recorderLog_;
    static inline std::vector<std::pair<std::wstring, std::optional<std::wstring>>> savedHandlers_;

    // The mail program and the browser are the recorder, for this user. Wine's
    // shell reads the schemes from HKEY_CLASSES_ROOT only, which is the machine's
    // classes there: the commands go there too, and the old ones come back afterwards.
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        recorderLog_ = fs::path(temp) / (L"czasomir-links-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
        const std::wstring command = L"\"" + fs::path(CZASOMIR_LINK_RECORDER).make_preferred().wstring() + L"\" \"" +
                                     recorderLog_.wstring() + L"\" \"%1\"";
        for (const wchar_t* scheme : {L"mailto", L"http"}) {
            const std::wstring commandKey = std::wstring(scheme) + L"\\shell\\open\\command";
            savedHandlers_.emplace_back(commandKey, DefaultValue(HKEY_CLASSES_ROOT, commandKey));
            const std::wstring userKey = std::wstring(L"Software\\Classes\\") + scheme;
            SetValue(HKEY_CURRENT_USER, userKey, L"URL Protocol", L"");
            SetValue(HKEY_CURRENT_USER, userKey + L"\\shell\\open\\command", nullptr, command);
            if (DefaultValue(HKEY_CLASSES_ROOT, commandKey) != command)
                SetValue(HKEY_CLASSES_ROOT, commandKey, nullptr, command);
        }
    }
    static void TearDownTestSuite() {
        for (const wchar_t* scheme : {L"mailto", L"http"})
            RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\") + scheme).c_str());
        for (const auto& [key, old] : savedHandlers_) {
            if (DefaultValue(HKEY_CLASSES_ROOT, key) == old) continue;
            if (old) {
                SetValue(HKEY_CLASSES_ROOT, key, nullptr, *old);
            } else {
                HKEY h = nullptr;
                if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
                    RegDeleteValueW(h, nullptr);
                    RegCloseKey(h);
                }
            }
        }
        savedHandlers_.clear();
        std::error_code ignored;
        fs::remove(recorderLog_, ignored);
    }

    void SetUp() override {
        std::error_code ignored;
        fs::remove(recorderLog_, ignored);
        app_ = std::make_unique<e2e::App>();
        form1_ = app_->mainWindow();
        ASSERT_NE(form1_, nullptr) << "the main window did not appear";
    }

    void TearDown() override {
        if (HWND about = FindAbout(app_->id())) {
            PostMessageW(about, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !IsWindow(about); }, 5000);
        }
        app_->close();
        EXPECT_TRUE(app_->waitForExit()) << "Czasomir did not end at its close box";
        app_.reset();
    }

    // Help > About, posted: the menu's handler does not return while the box is open.
    HWND OpenAbout() {
        app_->choose(e2e::MainWindowModel().mnuPomocOProgramie.id);
        HWND about = nullptr;
        WaitUntil([&] { return (about = FindAbout(app_->id())) != nullptr && IsWindowVisible(about); });
        // The box is shown before its focus is set: a message it answers comes
        // back only once the program is in the box's message loop.
        DWORD_PTR ignored = 0;
        if (about) SendMessageTimeoutW(about, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        return about;
    }

    bool StillRunning() const { return app_->running(); }

    static bool Gone(HWND about) {
        return WaitUntil([&] { return !IsWindow(about) || !IsWindowVisible(about); }, 5000);
    }

    std::unique_ptr<e2e::App> app_;
    HWND form1_ = nullptr;
};

TEST_F(AboutE2E, OpensModalOverTheMainWindowWithItsLayout) {
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr) << "Help > About showed no About box";

    EXPECT_EQ(GetWindow(about, GW_OWNER), form1_);
    EXPECT_FALSE(IsWindowEnabled(form1_));
    EXPECT_EQ(WindowText(about), L"Czasomir - O programie");

    const LONG style = GetWindowLongW(about, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, 323);
    EXPECT_EQ(client.bottom, 286);

    struct Expected {
        int id;
        const wchar_t* text;
        int left, top, width, height;
    };
    const Expected controls[] = {
        {kCommand1, L"&OK", 104, 232, 113, 33},
        {kLabel5, CZASOMIR_WEB_HOST_W, 24, 192, 97, 17},
        {kLabel4, CZASOMIR_EMAIL_W, 24, 160, 129, 17},
        {kLabel3, L"Wersja 1.1", 24, 128, 57, 17},
        {kLabel2, CZASOMIR_COPYRIGHT_W, 24, 96, 249, 17},
        {kLabel1, L"Czasomir", 8, 16, 305, 57},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(testing::Message() << "control " << e.id);
        HWND control = GetDlgItem(about, e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_EQ(WindowText(control), e.text);
        const RECT r = RectInParent(control);
        EXPECT_EQ(r.left, e.left);
        EXPECT_EQ(r.top, e.top);
        EXPECT_EQ(r.right - r.left, e.width);
        EXPECT_EQ(r.bottom - r.top, e.height);
    }
    EXPECT_EQ(e2e::ClassName(GetDlgItem(about, kCommand1)), L"Button");
    // The links report clicks; the name is centred.
    if (e2e::ClassName(GetDlgItem(about, kLabel4)) == L"Static") {
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(about, kLabel4), GWL_STYLE) & SS_NOTIFY);
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(about, kLabel5), GWL_STYLE) & SS_NOTIFY);
        EXPECT_EQ(GetWindowLongW(GetDlgItem(about, kLabel1), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    }
    // OK is the only control that takes the focus, so it has it.
    EXPECT_EQ(FocusOf(about), GetDlgItem(about, kCommand1));

    // A picture of the box for people to look at.
    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::this_thread::sleep_for(500ms);
    const ScreenCopy shot(about);
    EXPECT_TRUE(shot.SaveBmp(e2e::ScreenshotDirectory() / L"about.bmp"));

    // On the screen the links are drawn in pure blue, the other texts are not.
    auto blue = [](int r, int g, int b) { return r == 0 && g == 0 && b == 255; };
    auto dark = [](int r, int g, int b) { return r + g + b < 3 * 100; };
    for (int id : {kLabel4, kLabel5}) {
        SCOPED_TRACE(testing::Message() << "link " << id);
        EXPECT_GT(shot.Count(GetDlgItem(about, id), blue), 20);
    }
    for (int id : {kLabel1, kLabel2, kLabel3}) {
        SCOPED_TRACE(testing::Message() << "label " << id);
        EXPECT_EQ(shot.Count(GetDlgItem(about, id), blue), 0);
        EXPECT_GT(shot.Count(GetDlgItem(about, id), dark), 20);
    }
    // The name's large type inks far more than a line of the default font.
    EXPECT_GT(shot.Count(GetDlgItem(about, kLabel1), dark), 3 * shot.Count(GetDlgItem(about, kLabel3), dark));
}

TEST_F(AboutE2E, EscapeLeavesItOpenAndEnterPressesOk) {
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    HWND ok = GetDlgItem(about, kCommand1);
    ASSERT_EQ(FocusOf(about), ok);

    PressKey(ok, VK_ESCAPE);
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "Escape closed the box";
    EXPECT_FALSE(IsWindowEnabled(form1_));
    // No button is the cancel button: Escape must not be taken for a click on any control.
    EXPECT_TRUE(Lines(recorderLog_).empty()) << "Escape opened a link";

    PressKey(FocusOf(about), VK_RETURN);
    EXPECT_TRUE(Gone(about)) << "Enter did not close the box";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(form1_) != FALSE; }, 5000));
    EXPECT_TRUE(StillRunning()) << "closing About ended the program";
    EXPECT_TRUE(Lines(recorderLog_).empty());
}

TEST_F(AboutE2E, CloseBoxClosesItAndTheNextOpeningIsFreshWithTheSameContent) {
    HWND first = OpenAbout();
    ASSERT_NE(first, nullptr);
    const Content before = ContentOf(first);
    PostMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Gone(first)) << "the close box did not close the box";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(form1_) != FALSE; }, 5000));
    EXPECT_TRUE(StillRunning()) << "closing About ended the program";

    HWND second = OpenAbout();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(ContentOf(second) == before);
    EXPECT_EQ(GetWindow(second, GW_OWNER), form1_);

    PostMessageW(GetDlgItem(second, kCommand1), BM_CLICK, 0, 0);
    EXPECT_TRUE(Gone(second)) << "OK did not close the box";
}

TEST_F(AboutE2E, LinksOpenTheirTargetsThroughTheShell) {
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);

    // The e-mail link, as its label reports a click.
    HWND label4 = GetDlgItem(about, kLabel4);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(kLabel4, STN_CLICKED), reinterpret_cast<LPARAM>(label4));
    ASSERT_TRUE(WaitUntil([&] { return Lines(recorderLog_).size() >= 1; }, 15000)) << "nothing opened the e-mail link";
    EXPECT_EQ(Lines(recorderLog_).at(0), Utf8(CZASOMIR_EMAIL_TARGET_W));

    // The web link, with the mouse.
    HWND label5 = GetDlgItem(about, kLabel5);
    PostMessageW(label5, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(label5, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(WaitUntil([&] { return Lines(recorderLog_).size() >= 2; }, 15000)) << "nothing opened the web link";
    EXPECT_EQ(Lines(recorderLog_).at(1), Utf8(CZASOMIR_WEB_TARGET_W));
    EXPECT_EQ(Utf8(L"http://" + WindowText(label5)), Lines(recorderLog_).at(1));

    // Clicking a link leaves the box open; nothing else was opened.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(Lines(recorderLog_).size(), 2u);
    EXPECT_TRUE(IsWindowVisible(about));
}

}  // namespace
