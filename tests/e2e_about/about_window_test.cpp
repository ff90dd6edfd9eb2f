// The About box built by the Win32 backend inside this process, for what
// another process cannot read: the labels' fonts, text colours and the pointer
// over them.
#include "platform/toolkit_win.h"

#include <gtest/gtest.h>

#include "platform/resource_ids.h"
#include "tests/e2e/window_font.h"
#include "ui/about/form2.h"

namespace {

using czasomir::Form2;
using e2e::FontOf;

class AboutInProcess : public ::testing::Test {
protected:
    // One box for the whole run, left to the end of the process: destroying a
    // shown window costs Wine seconds on a display without a window manager.
    static void SetUpTestSuite() {
        if (about_) return;
        platform_ = new tk::Win32Platform;
        about_ = new Form2(*platform_);
        platform_->Create(*about_);
        about_->show();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) platform_->ProcessMessage(message);
    }

    static HWND Of(const tk::Control& c) { return reinterpret_cast<HWND>(c.handle()); }
    static HWND Box() { return reinterpret_cast<HWND>(about_->handle()); }

    // The text colour the box asks a label to be painted with.
    static COLORREF TextColourOf(const tk::Control& label) {
        HDC dc = GetDC(Of(label));
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageW(Box(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Of(label)));
        const COLORREF colour = GetTextColor(dc);
        ReleaseDC(Of(label), dc);
        return colour;
    }

    // The pointer that a control sets when the mouse moves over it.
    static HCURSOR PointerOver(const tk::Control& c) {
        SetCursor(nullptr);
        SendMessageW(Of(c), WM_SETCURSOR, reinterpret_cast<WPARAM>(Of(c)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    static inline tk::Win32Platform* platform_ = nullptr;
    static inline Form2* about_ = nullptr;
};

TEST_F(AboutInProcess, LinksAreBlueUnderlinedEightPointSansSerif) {
    for (const tk::Label* link : {&about_->Label4, &about_->Label5}) {
        SCOPED_TRACE(testing::Message() << link->id());
        const LOGFONTW font = FontOf(Of(*link));
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(font.lfHeight, -11);  // 8.25 pt at 96 DPI
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_FALSE(font.lfItalic);
        EXPECT_EQ(font.lfCharSet, EASTEUROPE_CHARSET);
        EXPECT_EQ(TextColourOf(*link), RGB(0, 0, 255));
    }
}

TEST_F(AboutInProcess, NameIsLargeBoldItalicTimesNewRoman) {
    const LOGFONTW font = FontOf(Of(about_->Label1));
    EXPECT_STREQ(font.lfFaceName, L"Times New Roman");
    EXPECT_EQ(font.lfHeight, -48);  // 36 pt at 96 DPI
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(font.lfCharSet, EASTEUROPE_CHARSET);
    EXPECT_EQ(TextColourOf(about_->Label1), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(AboutInProcess, VersionAndCopyrightUseTheWindowsFontAndColours) {
    const LOGFONTW button = FontOf(Of(about_->Command1));
    for (const tk::Label* plain : {&about_->Label2, &about_->Label3}) {
        SCOPED_TRACE(testing::Message() << plain->id());
        const LOGFONTW font = FontOf(Of(*plain));
        EXPECT_STREQ(font.lfFaceName, button.lfFaceName);
        EXPECT_EQ(font.lfHeight, button.lfHeight);
        EXPECT_EQ(font.lfWeight, button.lfWeight);
        EXPECT_FALSE(font.lfUnderline);
        EXPECT_FALSE(font.lfItalic);
        EXPECT_EQ(TextColourOf(*plain), GetSysColor(COLOR_BTNTEXT));
    }
}

TEST_F(AboutInProcess, HandPointerOverTheLinksOnlyWithItsHotSpotAtTheCorner) {
    HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDCURSOR));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(PointerOver(about_->Label4), hand);
    EXPECT_EQ(PointerOver(about_->Label5), hand);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    for (const tk::Control* other : std::initializer_list<const tk::Control*>{
             &about_->Label1, &about_->Label2, &about_->Label3, &about_->Command1}) {
        SCOPED_TRACE(testing::Message() << other->id());
        EXPECT_EQ(PointerOver(*other), arrow);
    }

    // 32 x 32, black and white, hot spot at the top-left corner.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr);
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);  // AND and XOR masks, one above the other
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

}  // namespace
