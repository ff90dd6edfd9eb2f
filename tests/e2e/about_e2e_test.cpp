// The About box of the real exe: modal over the main window, its links drawn
// in blue, Escape leaves it open and Enter presses OK. (What the links open:
// the unit tests.)
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "tests/e2e/harness.h"
#include "ui/about/form2.h"

namespace {

void Key(HWND focus, WPARAM key) {
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

TEST(About, ModalLinksInBlueEscapeLeavesItOpenEnterPressesOk) {
    static tk::HeadlessPlatform platform;
    static const czasomir::Form2 model(platform);
    e2e::App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.post(WM_COMMAND, e2e::Model().mnuPomocOProgramie.id);
    HWND about = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (about = e2e::FindWindowOf(app.id(), L"Czasomir.Form2")) && IsWindowVisible(about); }));
    DWORD_PTR ignored = 0;  // answered once the box runs its message loop
    SendMessageTimeoutW(about, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    EXPECT_FALSE(IsWindowEnabled(main));
    HWND ok = GetDlgItem(about, model.Command1.id());
    EXPECT_EQ(e2e::FocusOf(about), ok);

    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    const e2e::ScreenCopy shot(about);
    shot.Save(e2e::ScreenshotDirectory() / L"about.bmp");
    auto blue = [](COLORREF c) { return c == RGB(0, 0, 255); };
    EXPECT_GT(shot.Count(GetDlgItem(about, model.Label4.id()), blue), 20);
    EXPECT_GT(shot.Count(GetDlgItem(about, model.Label5.id()), blue), 20);
    EXPECT_EQ(shot.Count(GetDlgItem(about, model.Label3.id()), blue), 0);

    Key(ok, VK_ESCAPE);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(about));
    Key(e2e::FocusOf(about), VK_RETURN);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }));
    EXPECT_TRUE(app.running());
}

}  // namespace
