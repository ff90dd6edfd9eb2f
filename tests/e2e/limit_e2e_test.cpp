// The daily limit on the real exe: today's time in historia.csv three seconds
// under a 15-minute limit, then counting: the notification reaches the shell (Wine
// shows it as a tooltip window whose text can be read; the caption: the unit tests).
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

TEST(Limit, ReachedWhileCountingSpeaks) {
    e2e::App placed("100\r\n");
    placed.post(WM_CLOSE);
    ASSERT_TRUE(placed.waitForExit());
    std::ofstream(placed.folder() / L"historia.csv", std::ios::binary) << e2e::HistoryFile(0, 897);
    WritePrivateProfileStringW(L"Czasomir", L"LimitDzienny", L"15", (placed.folder() / L"czasomir.ini").c_str());
    e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
    ASSERT_NE(app.mainWindow(), nullptr);
    app.click(e2e::Model().Command1);
    EXPECT_TRUE(e2e::WaitUntil([] {
        for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr));)
            if (e2e::WindowText(tip) == L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (00 : 15 : 00).") return true;
        return false;
    }));
}

}  // namespace
