// The About box of the real exe: modal over the main window, Escape leaves it
// open and Enter presses OK, and its links, drawn in blue, go through the shell
// to the mail program and the browser (here a recorder of what they were asked to open).
#include <gtest/gtest.h>

#include <fstream>

#include "czasomir/build_info.h"
#include "platform/headless.h"
#include "tests/e2e/harness.h"
#include "ui/about/form2.h"

namespace {

using e2e::WaitUntil;

std::string Recorded(const e2e::fs::path& log) {
    std::ifstream in(log, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }  // ASCII targets

void Key(HWND focus, WPARAM key) {
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

TEST(About, ModalWithItsLinksGoingThroughTheShell) {
    static tk::HeadlessPlatform platform;
    static const czasomir::Form2 model(platform);
    const e2e::fs::path log = e2e::fs::temp_directory_path() / L"czasomir-links.txt";
    e2e::fs::remove(log);
    // Wine's shell looks the schemes up in HKEY_CLASSES_ROOT (of this test prefix).
    const std::wstring command = L"\"" + e2e::fs::path(CZASOMIR_LINK_RECORDER).make_preferred().wstring() + L"\" \"" +
                                 log.wstring() + L"\" \"%1\"";
    for (const std::wstring scheme : {L"mailto", L"http"}) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, scheme.c_str(), L"URL Protocol", REG_SZ, L"", sizeof(wchar_t));
        RegSetKeyValueW(HKEY_CLASSES_ROOT, (scheme + L"\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                        command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }

    e2e::App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.post(WM_COMMAND, e2e::Model().mnuPomocOProgramie.id);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = e2e::FindWindowOf(app.id(), L"Czasomir.Form2")) && IsWindowVisible(about); }));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(about, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    EXPECT_FALSE(IsWindowEnabled(main));
    HWND ok = GetDlgItem(about, model.Command1.id()), email = GetDlgItem(about, model.Label4.id()),
         web = GetDlgItem(about, model.Label5.id());
    EXPECT_EQ(e2e::FocusOf(about), ok);

    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    const e2e::ScreenCopy shot(about);
    shot.Save(e2e::ScreenshotDirectory() / L"about.bmp");
    auto blue = [](COLORREF c) { return c == RGB(0, 0, 255); };
    EXPECT_GT(shot.Count(email, blue), 20);
    EXPECT_GT(shot.Count(web, blue), 20);
    EXPECT_EQ(shot.Count(GetDlgItem(about, model.Label3.id()), blue), 0);

    PostMessageW(about, WM_COMMAND, MAKEWPARAM(model.Label4.id(), STN_CLICKED), reinterpret_cast<LPARAM>(email));
    PostMessageW(web, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(web, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const std::string mail = Utf8(CZASOMIR_EMAIL_TARGET_W) + "\n", page = Utf8(CZASOMIR_WEB_TARGET_W) + "\n";
    EXPECT_TRUE(WaitUntil([&] { return Recorded(log).size() >= mail.size() + page.size(); }, 15000));
    EXPECT_TRUE(Recorded(log) == mail + page || Recorded(log) == page + mail) << Recorded(log);  // in either order

    Key(ok, VK_ESCAPE);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(about));
    Key(e2e::FocusOf(about), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }));
    EXPECT_TRUE(app.running());
}

}  // namespace
