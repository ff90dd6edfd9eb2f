// What only this process can read: the fonts that the Win32 backend gave the
// main window's controls.
#include <gtest/gtest.h>

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

}  // namespace
