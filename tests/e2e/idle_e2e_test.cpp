// "Pomijaj czas bezczynności" on the real exe: the option is kept in
// czasomir.ini; a lock (posted as Windows sends it: Wine's session
// notifications are stubs) pauses counting until an input after the unlock;
// so does the idle time without input; SendInput resumes it.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

using e2e::App;
using e2e::Model;

void MoveTheMouse() {
    INPUT input{INPUT_MOUSE};
    input.mi.dx = 1, input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

bool Paused(e2e::Process& app) { return e2e::WindowText(app.mainWindow()) == L"Czasomir (przerwa)"; }

// With a short idle time (test build): no input for it after the Start pauses, the total back at the Start's,
// and an input resumes; a lock pauses at once until an input after the unlock.
TEST(Idle, TheOptionSurvivesARestartNoInputOrALockPausesUntilAnInput) {
    SetEnvironmentVariableW(L"CZASOMIR_TEST_IDLE_MS", L"3000");
    App placed("100\r\n", L"", L"Czasomir", true);
    ASSERT_NE(placed.mainWindow(), nullptr);
    placed.post(WM_COMMAND, Model().mnuPlikPomijaj.id);  // handled after the message that waits for idle
    const std::wstring ini = (placed.folder() / L"czasomir.ini").wstring();
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetPrivateProfileIntW(L"Czasomir", L"PomijajBezczynnosc", -1, ini.c_str()) == 1; }));
    placed.post(WM_CLOSE);
    ASSERT_TRUE(placed.waitForExit());
    e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
    ASSERT_NE(app.mainWindow(), nullptr);
    app.click(Model().Command1);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown().value_or(0) > 101; }));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Paused(app); }));
    EXPECT_EQ(app.shown(), 100);
    MoveTheMouse();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !Paused(app) && app.shown() > 100; }, 2500));
    app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Paused(app); }));
    const auto locked = app.shown();
    app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    Sleep(1500);
    EXPECT_TRUE(Paused(app) && app.shown() == locked && app.text(Model().Command1) == L"Stop");
    MoveTheMouse();
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Paused(app) && app.shown() > locked; }, 2500));
    SetEnvironmentVariableW(L"CZASOMIR_TEST_IDLE_MS", nullptr);
}

}  // namespace
