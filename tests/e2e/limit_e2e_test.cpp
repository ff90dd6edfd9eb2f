// The daily limit on the real exe: today's time in historia.csv three seconds
// under a 15-minute limit, then counting: the notification comes from an icon
// added for it (Wine shows it as a tooltip window whose text can be read), the
// caption says so, and the icon goes when the notification has been clicked.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

using e2e::Model;

HWND WindowWithText(const std::wstring& text) {
    struct Search { const std::wstring& text; HWND found = nullptr; } search{text};
    EnumWindows([](HWND window, LPARAM to) {
        auto& s = *reinterpret_cast<Search*>(to);
        if (e2e::WindowText(window) == s.text) s.found = window;
        return s.found ? FALSE : TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(Limit, ReachedWhileCountingSpeaksOnceFromAnIconOfItsOwn) {
    e2e::App placed("100\r\n");
    ASSERT_NE(placed.mainWindow(), nullptr);
    placed.post(WM_CLOSE);
    ASSERT_TRUE(placed.waitForExit());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char today[11];
    snprintf(today, sizeof today, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    std::ofstream(placed.folder() / L"historia.csv", std::ios::binary) << "data;sekundy\r\n" << today << ";897\r\n";
    WritePrivateProfileStringW(L"Czasomir", L"LimitDzienny", L"15", (placed.folder() / L"czasomir.ini").c_str());
    e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
    ASSERT_NE(app.mainWindow(), nullptr);
    HWND picture = app.control(Model().Picture1);
    EXPECT_FALSE(e2e::TrayIconExists(picture));
    app.click(Model().Command1);
    const std::wstring text = L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (00 : 15 : 00).";
    EXPECT_TRUE(e2e::WaitUntil([&] { return WindowWithText(text) != nullptr; }));
    EXPECT_EQ(e2e::WindowText(app.mainWindow()), L"Czasomir (ponad limit)");
    EXPECT_TRUE(e2e::TrayIconExists(picture));
    wchar_t shown[16] = {};
    GetPrivateProfileStringW(L"Czasomir", L"LimitPokazano", L"", shown, 16, (placed.folder() / L"czasomir.ini").c_str());
    EXPECT_EQ(std::wstring(shown), std::wstring(today, today + 10));
    SendMessageW(picture, 0x201, 0, 0x405);  // the notification clicked, as the shell reports it
    EXPECT_FALSE(e2e::TrayIconExists(picture));
}

}  // namespace
