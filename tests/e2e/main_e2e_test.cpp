// The main window of the real Czasomir.exe, seen and driven from outside: its
// layout at 96 and 144 DPI, what the screen shows, one instance per exe file,
// every way of ending, and kills at random moments.
#include <gtest/gtest.h>

#include <random>

#include "storage/time_file.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::App;
using e2e::Model;

// The screen DPI that programs started from now on see, until this goes.
struct ScreenDpi {
    explicit ScreenDpi(DWORD dpi) { Set(dpi); }
    ~ScreenDpi() { Set(96); }
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

class Layout : public ::testing::TestWithParam<int> {};

TEST_P(Layout, ControlsSitWhereTheFormPutsThemAtTheScreensDpi) {
    ScreenDpi screen(GetParam());
    App app;
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    auto pixels = [&](int twips) { return MulDiv(twips, GetParam(), 1440); };
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, pixels(Model().clientWidth));
    EXPECT_EQ(client.bottom, pixels(Model().clientHeight));
    for (const tk::Control* c : Model().controls()) {
        if (c->kind() == tk::Kind::Timer) continue;
        HWND child = app.control(*c);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        const tk::Bounds& b = c->bounds();
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  std::vector<LONG>({pixels(b.left), pixels(b.top), pixels(b.width), pixels(b.height)})) << c->id();
        EXPECT_EQ(IsWindowVisible(child) != FALSE, c->visible()) << c->id();
    }
    EXPECT_EQ(e2e::FocusOf(main), app.control(Model().Command1));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Layout, ::testing::Values(96, 144));

// Saved as screenshots/main.bmp (README's picture is a copy); the banner's corner
// is see-through, the display is one line of text, the check box's caption two whole lines.
TEST(Screen, BannerTimeAndBothLinesOfTheCheckBoxShow) {
    App app("3725\r\n");  // counting, for the picture in README
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.click(Model().Command1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown() != 3725; }));
    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    app.waitIdle();
    Sleep(300);  // the X server catches up with the last paint
    const e2e::ScreenCopy shot(main);
    EXPECT_TRUE(shot.Save(e2e::ScreenshotDirectory() / L"main.bmp"));
    HWND banner = app.control(Model().Image1);
    EXPECT_EQ(shot.At(banner, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(shot.At(banner, 80, 22), GetSysColor(COLOR_BTNFACE));
    auto dark = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; };
    auto lines = [&](const tk::Control& c) {  // runs of rows with ink; nothing cut off at the bottom
        RECT r{};
        GetClientRect(app.control(c), &r);
        int n = 0;
        for (int y = 0, previous = 0, ink; y < r.bottom; ++y, previous = ink)
            n += (ink = shot.Count(app.control(c), dark, y)) > 0 && previous == 0;
        return shot.Count(app.control(c), dark, r.bottom - 1) ? -1 : n;
    };
    EXPECT_EQ(lines(Model().Label1), 1);
    EXPECT_EQ(lines(Model().Check1), 2);
}

TEST(Instances, OnePerExeFileWhateverTheCommandLineACopyElsewhereRunsToo) {
    App first("1234\r\n");
    HWND window = first.mainWindow();
    ASSERT_NE(window, nullptr);
    std::wstring lower = first.exe().wstring();
    CharLowerW(lower.data());
    for (const std::wstring& exe : {first.exe().wstring(), lower}) {
        for (const wchar_t* arguments : {L"", L"/auto"}) {
            e2e::Process second(exe, e2e::Quoted(exe, arguments), first.folder());
            EXPECT_TRUE(second.waitForExit()) << arguments;
        }
    }
    EXPECT_EQ(first.czasDat(), "1234\r\n");
    EXPECT_TRUE(IsWindowVisible(window));
    App other;
    EXPECT_NE(other.mainWindow(), nullptr);
    EXPECT_TRUE(first.running() && other.running());
}

// The close box, File > Close and the end of the session each save what the
// display shows and end the program; a folder with Polish letters is no different.
TEST(Closing, EveryWayOfEndingSavesTheShownTotal) {
    for (int way = 0; way < 3; ++way) {
        App app("100\r\n", L"", way == 2 ? L"Czas pracy ąęłżźćńó" : L"Czasomir");
        HWND main = app.mainWindow();
        ASSERT_NE(main, nullptr);
        app.click(Model().Command1);
        ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) >= 101; }));
        app.click(Model().Command1);
        const auto shown = app.shown();
        DWORD_PTR answer = 0;
        if (way == 0) {
            app.post(WM_CLOSE);
        } else if (way == 1) {
            app.post(WM_COMMAND, Model().mnuPlikZamknij.id);
        } else {
            SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
            EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
            SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
            EXPECT_FALSE(app.waitForExit(300));  // called off: the program goes on and saves nothing
            EXPECT_EQ(app.czasDat(), "100\r\n");
            SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
        }
        EXPECT_TRUE(app.waitForExit()) << way;
        EXPECT_EQ(app.czasDat(), czasomir::FormatTotalLine(static_cast<std::int32_t>(shown.value_or(-1)))) << way;
    }
}

// Saving every 20 ms, killed at random moments of its startup and of its
// counting: czas.dat always holds one whole line whose total never goes back.
TEST(Kill, CzasDatAlwaysHoldsOneWholeLineThatNeverGoesBack) {
    SetEnvironmentVariableW(L"CZASOMIR_TEST_SAVE_MS", L"20");
    App placed("1000\r\n", L"", L"Czasomir", true);
    placed.kill();
    std::mt19937 random(GetTickCount());
    std::int32_t last = 1000;
    for (int run = 0; run < 60; ++run) {
        e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
        if (run % 5 == 0) {
            Sleep(random() % 80);
        } else {
            ASSERT_NE(app.mainWindow(), nullptr);
            app.click(Model().Command1);
            Sleep(random() % 350);
        }
        ASSERT_TRUE(app.running()) << run;
        app.kill();
        const auto value = e2e::WholeLine(placed.czasDat());
        ASSERT_TRUE(value) << "run " << run << ": " << placed.czasDat().value_or("<missing>");
        ASSERT_GE(*value, last) << run;
        last = *value;
    }
    EXPECT_GT(last, 1000) << "no save fell between the kills";
    SetEnvironmentVariableW(L"CZASOMIR_TEST_SAVE_MS", nullptr);
}

}  // namespace
