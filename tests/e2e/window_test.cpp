// What only this process can read: the fonts that the Win32 backend gave the
// main window's controls, and the sizes of the exe's icon images (decoded by Windows).
#include <gtest/gtest.h>

#include "platform/resource_ids.h"
#include "platform/toolkit_win.h"
#include "tests/e2e/harness.h"
#include "tests/support.h"

namespace {

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(Window, ControlsUseCentralEuropeanFontsAndTheDisplayItsOwn) {
    // Left to the end of the process: destroying a shown window costs Wine seconds without a window manager.
    auto& platform = *new tk::Win32Platform;
    auto& form = *new czasomir::Form1(platform, *new czasomir::test::MemoryRejestr);
    platform.Create(form);
    for (const tk::Control* c : std::initializer_list<const tk::Control*>{&form.Command1, &form.Check1, &form.Label1})
        EXPECT_EQ(FontOf(reinterpret_cast<HWND>(c->handle())).lfCharSet, EASTEUROPE_CHARSET) << c->id();
    const LOGFONTW display = FontOf(reinterpret_cast<HWND>(form.Label1.handle()));
    EXPECT_EQ(display.lfFaceName, form.Label1.font.face);
    EXPECT_EQ(display.lfWeight, form.Label1.font.weight);
}

TEST(ExeFile, TheIconHolds16And32PixelImages) {
    HMODULE exe = LoadLibraryExW(e2e::ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    auto data = [&](HRSRC r) { return static_cast<BYTE*>(LockResource(LoadResource(exe, r))); };
    BYTE* group = data(FindResourceW(exe, MAKEINTRESOURCEW(IDI_CZASOMIR), RT_GROUP_ICON));
    ASSERT_NE(group, nullptr);
    for (int size : {16, 32}) {
        HRSRC image = FindResourceW(exe, MAKEINTRESOURCEW(LookupIconIdFromDirectoryEx(group, TRUE, size, size, 0)), RT_ICON);
        HICON icon = CreateIconFromResourceEx(data(image), SizeofResource(exe, image), TRUE, 0x30000, 0, 0, 0);
        ICONINFO info{};
        BITMAP mask{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, size);
        DeleteObject(info.hbmMask), DeleteObject(info.hbmColor), DestroyIcon(icon);
    }
}

}  // namespace
