// The main window built by the Win32 backend inside this process, for what
// cannot be read from another process: menus, fonts, the tooltip, and the
// keyboard (Tab, Space, Enter, Escape, Alt+P, Alt+M).
#include "platform/toolkit_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "tests/e2e/window_font.h"
#include "ui/main/form1.h"

namespace {

using czasomir::Form1;
using e2e::FontOf;

class MemoryRegistry : public czasomir::Rejestr {
public:
    std::optional<std::wstring> ReadStringValue(czasomir::RegistryRoot, const std::wstring& key,
                                                const std::wstring& name) override {
        auto it = values.find(key + L"\\" + name);
        return it == values.end() ? std::nullopt : std::optional<std::wstring>(it->second);
    }
    czasomir::RegistryResult WriteStringValue(czasomir::RegistryRoot, const std::wstring& key,
                                              const std::wstring& name, const std::wstring& text) override {
        values[key + L"\\" + name] = text;
        return czasomir::RegistryResult::Done;
    }
    czasomir::RegistryResult DeleteValue(czasomir::RegistryRoot, const std::wstring& key,
                                         const std::wstring& name) override {
        values.erase(key + L"\\" + name);
        return czasomir::RegistryResult::Done;
    }
    std::map<std::wstring, std::wstring> values;
};

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return (info.fType & MFT_SEPARATOR) != 0;
}

class MainWindowInProcess : public ::testing::Test {
protected:
    // The window is left to the end of the process: destroying a shown window
    // costs Wine seconds on a display without a window manager.
    MainWindowInProcess()
        : platform(*new tk::Win32Platform), registry(*new MemoryRegistry), form(*new Form1(platform, registry)) {}

    void SetUp() override {
        platform.Create(form);  // the window and its controls, without the startup sequence
        form.show();
        Pump();
    }

    HWND Main() const { return reinterpret_cast<HWND>(form.handle()); }
    static HWND Of(const tk::Control& c) { return reinterpret_cast<HWND>(c.handle()); }

    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) platform.ProcessMessage(message);
    }
    // A key pressed and released at the control that has the focus.
    void Key(WPARAM key) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        Pump();
    }

    tk::Win32Platform& platform;
    MemoryRegistry& registry;
    Form1& form;
};

TEST_F(MainWindowInProcess, MenusHoldTheirCaptionsSeparatorAndCommands) {
    HMENU bar = GetMenu(Main());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"&Plik");
    EXPECT_EQ(MenuText(bar, 1), L"Po&moc");

    HMENU plik = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(plik), 3);
    EXPECT_EQ(MenuText(plik, 0), L"Zre&setuj");
    EXPECT_EQ(GetMenuItemID(plik, 0), static_cast<UINT>(form.mnuPlikZresetuj.id));
    EXPECT_TRUE(IsSeparator(plik, 1));
    EXPECT_EQ(MenuText(plik, 2), L"&Zamknij");
    EXPECT_EQ(GetMenuItemID(plik, 2), static_cast<UINT>(form.mnuPlikZamknij.id));

    HMENU pomoc = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(pomoc), 1);
    EXPECT_EQ(MenuText(pomoc, 0), L"O Programie ...");
    EXPECT_EQ(GetMenuItemID(pomoc, 0), static_cast<UINT>(form.mnuPomocOProgramie.id));
    EXPECT_FALSE(GetMenuState(pomoc, 0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
}

TEST_F(MainWindowInProcess, TimeDisplayUsesBoldTimesNewRomanOf26Points) {
    const LOGFONTW font = FontOf(Of(form.Label1));
    EXPECT_STREQ(font.lfFaceName, L"Times New Roman");
    EXPECT_EQ(font.lfHeight, -35);  // 26.25 pt at 96 DPI
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_FALSE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(font.lfCharSet, 238);
}

TEST_F(MainWindowInProcess, ButtonAndCheckBoxUseTheFormsCentralEuropeanFont) {
    const LOGFONTW button = FontOf(Of(form.Command1)), check = FontOf(Of(form.Check1));
    EXPECT_EQ(button.lfCharSet, 238);
    EXPECT_STREQ(button.lfFaceName, check.lfFaceName);
    EXPECT_EQ(button.lfHeight, check.lfHeight);
    EXPECT_LT(button.lfHeight, 0);
    EXPECT_GE(button.lfHeight, -11);  // no more than 8 points at 96 DPI
}

TEST_F(MainWindowInProcess, CheckBoxCaptionFitsInTwoLinesOfItsBox) {
    HWND check = Of(form.Check1);
    RECT box{};
    GetClientRect(check, &box);
    HDC dc = GetDC(check);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(check, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // Beside the tick box: its glyph (13 pixels at 96 DPI) and a gap.
    RECT text{0, 0, box.right - 13 - 6, 0};
    const std::wstring caption = form.Check1.caption;
    DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(check, dc);
    EXPECT_EQ(text.bottom / metrics.tmHeight, 2);
    // The two lines' letters, descenders included, stay within the box.
    EXPECT_LE(metrics.tmHeight + metrics.tmAscent + metrics.tmDescent - metrics.tmInternalLeading, box.bottom + 1);
}

TEST_F(MainWindowInProcess, CheckBoxHasItsTooltipText) {
    HWND tip = reinterpret_cast<HWND>(platform.ToolTipWindow(form));
    ASSERT_NE(tip, nullptr);
    ASSERT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[512] = L"";
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), Of(form.Check1));
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    EXPECT_EQ(std::wstring(text), form.Check1.toolTip);
    EXPECT_GT(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 0);  // wraps onto several lines
}

TEST_F(MainWindowInProcess, WindowHasItsIconsAndTheTrayGetsTheSmallOne) {
    const auto big = SendMessageW(Main(), WM_GETICON, ICON_BIG, 0);
    const auto small = SendMessageW(Main(), WM_GETICON, ICON_SMALL, 0);
    ASSERT_NE(big, 0);
    ASSERT_NE(small, 0);
    EXPECT_EQ(static_cast<tk::Handle>(small), form.iconHandle());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(big), &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST_F(MainWindowInProcess, TabMovesBetweenTheButtonAndTheCheckBox) {
    EXPECT_EQ(GetFocus(), Of(form.Command1));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Of(form.Check1));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Of(form.Command1));
}

TEST_F(MainWindowInProcess, SpaceAndEnterPressTheFocusedButtonEscapeDoesNothing) {
    Key(VK_SPACE);
    EXPECT_EQ(form.Command1.caption(), L"Stop");
    Key(VK_RETURN);
    EXPECT_EQ(form.Command1.caption(), L"Start");
    Key(VK_ESCAPE);
    EXPECT_EQ(form.Command1.caption(), L"Start");
    EXPECT_TRUE(IsWindowVisible(Main()));

    Key(VK_TAB);
    Key(VK_SPACE);  // ticks the check box: its Click registers the program
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(registry.values.size(), 1u);
    Key(VK_RETURN);  // not a push button: nothing
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(form.Command1.caption(), L"Start");
}

// While a menu runs its own loop, this notes which menu is open and then
// types `then` into it (0: closes the menu).
struct MenuProbe {
    static inline HMENU open = nullptr;
    static inline wchar_t then = 0;
    static void CALLBACK Look(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup || !IsWindowVisible(popup)) return;
        KillTimer(nullptr, timer);
        open = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        if (then)
            PostMessageW(popup, WM_CHAR, then, 1);
        else
            EndMenu();
    }
};

TEST_F(MainWindowInProcess, AltKeysOpenTheMenusAndTheirLettersChooseItems) {
    auto altKey = [&](wchar_t letter, wchar_t then) {
        MenuProbe::open = nullptr;
        MenuProbe::then = then;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, MenuProbe::Look);
        // The character that the Alt+letter keystroke brings, at the control with the focus.
        PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 | (1 << 29));
        for (int i = 0; i < 20 && !MenuProbe::open; ++i) {
            Pump();
            Sleep(30);
        }
        KillTimer(nullptr, timer);
        Pump();
        return MenuProbe::open;
    };
    HMENU bar = GetMenu(Main());
    EXPECT_EQ(altKey(L'p', 0), GetSubMenu(bar, 0));
    EXPECT_EQ(altKey(L'm', 0), GetSubMenu(bar, 1));

    form.Label1.setCaption(L"12 : 34 : 56");
    EXPECT_EQ(altKey(L'p', L's'), GetSubMenu(bar, 0));  // File > Reset
    EXPECT_EQ(form.Label1.caption(), L"00 : 00 : 00");
}

}  // namespace
