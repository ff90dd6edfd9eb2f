// The main window of the real Czasomir.exe, driven from outside as the user
// and Windows drive it: one instance per exe, Start/Stop, the three ways of
// closing, what czas.dat holds afterwards, folders with blanks and Polish
// letters, command lines that are not "/auto", and a process killed while it
// saves.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace {

using e2e::DisplayedSeconds;
using e2e::Process;
using e2e::StoredSeconds;
using e2e::With;

using namespace e2e::ids;

// The main window once startup has ended in normal mode; null when it did not.
HWND Started(Process& app) {
    HWND window = app.mainWindow();
    return e2e::WaitShownStarted(window) ? window : nullptr;
}

std::string Line(std::int64_t total) { return std::to_string(total) + "\r\n"; }

std::optional<std::int64_t> Shown(e2e::App& app) { return DisplayedSeconds(app.text(Label1())); }

// Counts from the button until the display has gone `seconds` past where it
// stood, stops, and gives what the stopped display shows.
std::optional<std::int64_t> CountFor(e2e::App& app, std::int64_t seconds) {
    const auto before = Shown(app);
    if (!before) return std::nullopt;
    app.click(Command1());
    EXPECT_EQ(app.text(Command1()), L"Stop");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Shown(app).value_or(0) >= *before + seconds; }, 10000));
    app.click(Command1());
    EXPECT_EQ(app.text(Command1()), L"Start");
    return Shown(app);
}

// --- One instance per exe ------------------------------------------------------

TEST(SingleInstance, SecondStartOfTheSameExeEndsAtOnceAndTouchesNothing) {
    e2e::App first(With("1234\r\n"));
    HWND window = Started(first);
    ASSERT_NE(window, nullptr);
    const std::wstring caption = e2e::WindowText(window), display = first.text(Label1()),
                       button = first.text(Command1());
    ASSERT_EQ(display, L"00 : 20 : 34");

    // Also with "/auto" and with the path written in other letter case: the same exe all the same.
    std::wstring lower = first.exe().wstring();
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    for (const std::wstring& commandLine :
         {Process::Quoted(first.exe()), Process::Quoted(first.exe(), L"/auto"), L"\"" + lower + L"\""}) {
        SCOPED_TRACE(commandLine);
        Process second(first.exe(), commandLine, first.folder());
        ASSERT_TRUE(second.started());
        // Watched until it has gone: it never shows a window.
        bool windowSeen = false;
        e2e::WaitUntil([&] {
            HWND w = e2e::FindMainWindow(second.id());
            windowSeen = windowSeen || (w && IsWindowVisible(w));
            return !second.running();
        });
        ASSERT_TRUE(second.waitForExit(0));
        EXPECT_EQ(second.exitCode(), 0u);
        EXPECT_FALSE(windowSeen);
    }
    EXPECT_EQ(first.czasDat(), "1234\r\n");
    EXPECT_FALSE(std::filesystem::exists(first.folder() / L"czas.dat.new"));

    ASSERT_TRUE(first.running());
    EXPECT_EQ(e2e::FindMainWindow(first.id()), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(e2e::WindowText(window), caption);
    EXPECT_EQ(first.text(Label1()), display);
    EXPECT_EQ(first.text(Command1()), button);
    // And it still answers: it counts.
    const auto counted = CountFor(first, 1);
    ASSERT_TRUE(counted);
    EXPECT_GE(*counted, 1235);
}

TEST(SingleInstance, CopiesOfTheExeInOtherFoldersRunSideBySide) {
    e2e::App one(With("10\r\n")), two(With("20\r\n"));
    ASSERT_NE(Started(one), nullptr);
    ASSERT_NE(Started(two), nullptr);
    EXPECT_EQ(one.text(Label1()), L"00 : 00 : 10");
    EXPECT_EQ(two.text(Label1()), L"00 : 00 : 20");
    EXPECT_TRUE(one.running());
    EXPECT_TRUE(two.running());
}

// --- Startup display and czas.dat ------------------------------------------------

TEST(Startup, StoredTotalIsShownAndMissingFileIsCreatedAsZero) {
    {
        e2e::App app(With("3725\r\n"));
        HWND window = Started(app);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(app.text(Label1()), L"01 : 02 : 05");
        EXPECT_EQ(app.text(Command1()), L"Start");
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(IsIconic(window));
        EXPECT_EQ(app.czasDat(), "3725\r\n");
    }
    {
        e2e::App app;
        ASSERT_NE(Started(app), nullptr);
        EXPECT_EQ(app.text(Label1()), L"00 : 00 : 00");
        EXPECT_EQ(app.czasDat(), "0\r\n");
    }
}

// --- Counting and closing ----------------------------------------------------------

TEST(Closing, ThreeSecondsOfCountingAreShownAndFileCloseSavesWhatIsShown) {
    e2e::App app;
    ASSERT_NE(Started(app), nullptr);
    app.click(Command1());
    ASSERT_EQ(app.text(Command1()), L"Stop");
    Sleep(3000);
    app.click(Command1());
    ASSERT_EQ(app.text(Command1()), L"Start");
    const auto shown = Shown(app);
    ASSERT_TRUE(shown);
    EXPECT_GE(*shown, 2);
    EXPECT_LE(*shown, 4);
    Sleep(600);  // stopped: no tick changes it any more
    EXPECT_EQ(Shown(app), shown);

    app.choose(FileClose());
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0u);
    EXPECT_EQ(app.czasDat(), Line(*shown));
}

TEST(Closing, CloseBoxSavesTheTotalStoppedOrCounting) {
    {
        e2e::App app(With("100\r\n"));
        ASSERT_NE(Started(app), nullptr);
        const auto shown = CountFor(app, 1);
        ASSERT_TRUE(shown);
        app.close();
        ASSERT_TRUE(app.waitForExit());
        EXPECT_EQ(app.czasDat(), Line(*shown));
    }
    {
        // Closed while counting: the total of the last tick, which is at
        // least what was last seen and no more than a tick or two beyond it.
        e2e::App app(With("200\r\n"));
        ASSERT_NE(Started(app), nullptr);
        app.click(Command1());
        ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(app).value_or(0) >= 201; }));
        const auto seen = Shown(app);
        ASSERT_TRUE(seen);
        app.close();
        ASSERT_TRUE(app.waitForExit());
        const auto saved = StoredSeconds(app.czasDat());
        ASSERT_TRUE(saved) << *app.czasDat();
        EXPECT_GE(*saved, *seen);
        EXPECT_LE(*saved, *seen + 2);
    }
}

TEST(Closing, EndOfSessionSavesTheTotalAndEndsTheProcess) {
    e2e::App app(With("7\r\n"));
    HWND window = Started(app);
    ASSERT_NE(window, nullptr);
    const auto shown = CountFor(app, 1);
    ASSERT_TRUE(shown);

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));  // nothing vetoes the end of the session
    // An end of session that was called off: the program goes on and saves nothing.
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
    EXPECT_FALSE(app.waitForExit(300));
    EXPECT_EQ(app.czasDat(), "7\r\n");

    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.czasDat(), Line(*shown));
}

// A save that cannot be made (czas.dat is a folder) does not keep the program
// from closing; the folder is left as it was.
TEST(Closing, SaveThatFailsDoesNotKeepTheProgramOpen) {
    e2e::App placed;
    ASSERT_NE(Started(placed), nullptr);
    placed.kill();
    const auto dat = placed.folder() / L"czas.dat";
    std::filesystem::remove(dat);
    std::filesystem::create_directory(dat);

    for (bool fileClose : {true, false}) {
        SCOPED_TRACE(fileClose ? "File > Close" : "close box");
        Process app(placed.exe(), Process::Quoted(placed.exe()), placed.folder());
        HWND window = Started(app);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(e2e::WindowText(GetDlgItem(window, Label1())), L"00 : 00 : 00");
        SendMessageW(GetDlgItem(window, Command1()), BM_CLICK, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil(
            [&] { return DisplayedSeconds(e2e::WindowText(GetDlgItem(window, Label1()))).value_or(0) >= 1; }));
        if (fileClose)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(FileClose(), 0), 0);
        else
            PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(app.waitForExit());
        EXPECT_TRUE(std::filesystem::is_directory(dat));
        EXPECT_FALSE(std::filesystem::exists(placed.folder() / L"czas.dat.new"));
    }
}

// With a short save period: while czas.dat cannot be replaced the saves fail;
// once it can, the next period writes the total.
TEST(PeriodicSave, FailedSaveIsMadeAtALaterPeriod) {
    e2e::App placed(With(std::nullopt, L"", true));
    ASSERT_NE(Started(placed), nullptr);
    placed.kill();
    const auto dat = placed.folder() / L"czas.dat";
    std::filesystem::remove(dat);
    std::filesystem::create_directory(dat);

    e2e::ScopedEnvironment period(e2e::Variables{{L"CZASOMIR_TEST_SAVE_MS", L"50"}});
    Process app(placed.exe(), Process::Quoted(placed.exe()), placed.folder());
    HWND window = Started(app);
    ASSERT_NE(window, nullptr);
    SendMessageW(GetDlgItem(window, Command1()), BM_CLICK, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return DisplayedSeconds(e2e::WindowText(GetDlgItem(window, Label1()))).value_or(0) >= 1; }));
    Sleep(200);  // a few periods of failing saves
    ASSERT_TRUE(app.running());
    ASSERT_TRUE(std::filesystem::is_directory(dat));

    std::filesystem::remove(dat);
    std::optional<std::int64_t> saved;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(dat, ignored)) return false;
        return (saved = StoredSeconds(placed.czasDat())).has_value() && *saved >= 1;
    }, 5000));
    EXPECT_TRUE(app.running());
}

// --- Folders and command lines ---------------------------------------------------------

TEST(Folders, FolderWithBlanksAndPolishLettersIsWhereTheTotalLives) {
    e2e::App app(With("59\r\n", L"", false, L"Czas pracy ąęłżźćńó"));
    ASSERT_NE(Started(app), nullptr);
    EXPECT_EQ(app.text(Label1()), L"00 : 00 : 59");
    const auto shown = CountFor(app, 2);
    ASSERT_TRUE(shown);
    EXPECT_GE(*shown, 61);
    app.choose(FileClose());
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.czasDat(), Line(*shown));
    EXPECT_FALSE(std::filesystem::exists(app.folder().parent_path() / L"czas.dat"));
}

class NotTheTraySwitch : public ::testing::TestWithParam<const wchar_t*> {};

// Only "/auto" exactly means tray mode: anything else is an ordinary start,
// window shown, counting off, no tray icon.
TEST_P(NotTheTraySwitch, StartsInNormalMode) {
    e2e::App app(With("30\r\n", GetParam()));
    HWND window = Started(app);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(app.text(Command1()), L"Start");
    EXPECT_EQ(app.text(Label1()), L"00 : 00 : 30");
    EXPECT_FALSE(e2e::TrayIconExists(app.control(Picture1()), 1));
    Sleep(1200);
    EXPECT_EQ(app.text(Label1()), L"00 : 00 : 30");
    EXPECT_TRUE(IsWindowVisible(window));
}

INSTANTIATE_TEST_SUITE_P(CommandLine, NotTheTraySwitch,
                         ::testing::Values(L"/AUTO", L"/auto x", L"/auto ", L"-auto", L"\"/auto\""));

// --- Killed at any moment --------------------------------------------------------------

// Saves every 20 ms, killed more than a hundred times at random moments of its
// startup and of its counting: czas.dat always holds one whole line with a
// total that never goes back.
TEST(Kill, FileAlwaysHoldsOneWholeLineThatNeverGoesBack) {
    e2e::ScopedEnvironment period(e2e::Variables{{L"CZASOMIR_TEST_SAVE_MS", L"20"}});
    e2e::App placed(With("1000\r\n", L"", true));
    ASSERT_NE(Started(placed), nullptr);
    placed.kill();
    ASSERT_EQ(placed.czasDat(), "1000\r\n");

    std::mt19937 random(GetTickCount());
    std::int64_t last = 1000;
    int kills = 0, countedRuns = 0;
    std::vector<std::string> bad;
    for (int run = 0; run < 110; ++run) {
        Process app(placed.exe(), Process::Quoted(placed.exe()), placed.folder());
        ASSERT_TRUE(app.started());
        if (run % 5 == 0) {
            Sleep(random() % 80);  // during startup: loading, the first show
        } else {
            HWND window = Started(app);
            ASSERT_NE(window, nullptr);
            SendMessageW(GetDlgItem(window, Command1()), BM_CLICK, 0, 0);
            ++countedRuns;
            Sleep(random() % 350);  // across many saves and the occasional new second
        }
        ASSERT_TRUE(app.running()) << "run " << run;
        app.kill();
        ++kills;
        const auto bytes = placed.czasDat();
        const auto value = StoredSeconds(bytes);
        if (!value) {
            bad.push_back("run " + std::to_string(run) + ": \"" + bytes.value_or("<missing>") + "\"");
            continue;
        }
        if (*value < last) bad.push_back("run " + std::to_string(run) + ": went back to " + std::to_string(*value));
        last = std::max(last, *value);
    }
    EXPECT_GE(kills, 100);
    EXPECT_GE(countedRuns, 80);
    EXPECT_TRUE(bad.empty()) << ::testing::PrintToString(bad);
    EXPECT_GT(last, 1000) << "no counted second was ever saved: the kills did not fall across saves";
}

}  // namespace
