// The main window as the user, the clock and the shell drive it: scenarios of
// steps, each an event or a check of what the user would see.
#include <gtest/gtest.h>

#include "core/elapsed_text.h"
#include "czasomir/build_info.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

struct Step {
    enum Kind {
        Pass, SetClock, Sleep, Click, Reset, Close, Quit, Minimize, Press, Taskbar, FocusBox, Put, Block, Unblock,
        AcceptIcon, NoSaves,  // events
        Holds, Total, Shown, Counting, FocusOnButton, Ended, IconsAdded  // checks
    } kind;
    double number = 0;  // Pass, Sleep: seconds; SetClock: seconds the wall clock moves (a time zone, summer
                        // time); Press: the mouse message; Total: the total, shown; Shown: 0 hidden, 1 shown,
                        // 2 minimised; Counting, Ended: 1 or 0; IconsAdded: how many times the icon was added
    std::string text;   // Put, Holds: czas.dat's bytes
};
using enum Step::Kind;
constexpr double kHour = 3600, kDay = 86400;

struct Scenario {
    const char* name;
    std::optional<std::string> czasDat;
    const wchar_t* arguments;
    std::vector<Step> steps;
    bool iconRefused = false;  // the shell does not take the icon until AcceptIcon
};
void PrintTo(const Scenario& c, std::ostream* out) { *out << c.name; }

class MainWindowScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(MainWindowScenario, Runs) {
    MainWindow w(GetParam().arguments);
    w.platform.trayAccepts = !GetParam().iconRefused;
    Form1& f = w.Start(GetParam().czasDat);
    int n = 0, last = f.Counter.TotalSeconds;
    for (const Step& s : GetParam().steps) {
        SCOPED_TRACE(testing::Message() << "step " << ++n);
        switch (s.kind) {
        case Pass:
            for (double left = s.number; left > 0; left -= 60) {
                w.platform.Advance(std::min(left, 60.0));
                EXPECT_GE(f.Counter.TotalSeconds, last);  // never backwards, whatever the wall clock does
                last = f.Counter.TotalSeconds;
            }
            break;
        case SetClock: w.platform.wallClockShift += s.number; break;
        case Sleep: w.platform.Sleep(s.number); break;
        case Click: w.platform.Click(f.Command1); break;
        case Reset: w.platform.Choose(f.mnuPlikZresetuj, f), last = 0; break;
        case Close: w.platform.Close(f); break;
        case Quit: w.platform.Choose(f.mnuPlikZamknij, f); break;
        case Minimize: w.platform.Minimize(f); break;
        case Press: w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, static_cast<int>(s.number), 0); break;
        case Taskbar: w.platform.TaskbarCreated(f); break;
        case Put: Write(w.dir / "czas.dat", s.text); break;
        case Block: fs::create_directory(w.dir / "czas.dat.new"); break;  // a save cannot write its new file
        case Unblock: fs::remove(w.dir / "czas.dat.new"); break;
        case FocusBox: w.platform.Focus(f.Check1); break;
        case AcceptIcon: w.platform.trayAccepts = true; break;
        case NoSaves: f.Timer2.setEnabled(false); break;  // days of saves would be slow; closing saves
        case Holds: EXPECT_EQ(w.Saved(), s.text); break;
        case Total:
            EXPECT_EQ(f.Counter.TotalSeconds, s.number);
            EXPECT_EQ(w.Display(), FormatElapsed(static_cast<std::int32_t>(s.number)));
            break;
        case Shown: EXPECT_EQ(f.visible() ? (f.windowState() == tk::kMinimized ? 2 : 1) : 0, s.number); break;
        case Counting: EXPECT_EQ(f.Command1.caption(), s.number ? L"Stop" : L"Start"); break;
        case FocusOnButton: EXPECT_EQ(w.platform.FocusedControl(), &f.Command1); break;
        case Ended: EXPECT_EQ(w.platform.ended, s.number != 0); break;
        case IconsAdded: EXPECT_EQ(w.TrayCalls(tk::TrayOp::Add), s.number); break;
        }
    }
    if (w.platform.ended) {
        EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);  // the icon goes, once, at the end
    }
    for (const auto& call : w.platform.trayCalls) {  // the record handed to the shell
        EXPECT_EQ(std::tuple(call.icon.id, call.icon.window), std::tuple(1u, f.Picture1.handle()));
        if (call.op == tk::TrayOp::Add)
            EXPECT_EQ(std::tuple(call.icon.flags, call.icon.callbackMessage, call.icon.icon, call.icon.tip),
                      std::tuple(7u, 0x201u, f.iconHandle(), std::wstring(L"Czasomir")));
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, MainWindowScenario, ::testing::Values(
    Scenario{"MissingFileIsCreatedAsZero", {}, L"", {{Shown, 1}, {FocusOnButton}, {Pass, 5}, {Total, 0},
                                                     {Holds, 0, "0\r\n"}, {Counting, 0}}},
    Scenario{"StoredTotalIsShown", "3725\r\n", L"", {{Pass, 5}, {Total, 3725}, {Holds, 0, "3725\r\n"}}},
    Scenario{"WholeSecondsOfTheTicksCount", "59\r\n", L"", {{Pass, 0.4}, {Click}, {Counting, 1}, {Total, 59},
        {Pass, 0.2}, {Total, 60}, {Pass, 3.1}, {Click}, {Counting, 0}, {Pass, 10}, {Total, 63},
        {Click}, {Pass, 2.05}, {Total, 65}}},
    Scenario{"AnOverflowKeepsTheLastGoodTotal", "2147483646\r\n", L"", {{Click}, {Pass, 6}, {Total, 2147483647},
        {Close}, {Holds, 0, "2147483647\r\n"}}},
    Scenario{"ResetShowsZeroAndCountsOn", "5000\r\n", L"", {{Click}, {Pass, 3.1}, {Reset}, {Total, 0},
        {Holds, 0, "5000\r\n"}, {Pass, 2}, {Total, 2}, {Click}, {Reset}, {Close}, {Holds, 0, "0\r\n"}}},
    Scenario{"SavedEvery65535MsAndAfterAFailureLater", "7\r\n", L"", {{Put, 0, "junk"}, {Pass, 65.534}, {Holds, 0, "junk"},
        {Pass, 0.002}, {Holds, 0, "7\r\n"}, {Click}, {Block}, {Pass, 65.535}, {Holds, 0, "7\r\n"}, {Unblock}, {Pass, 65.535},
        {Holds, 0, "138\r\n"}}},
    Scenario{"FileCloseSavesAndEnds", "10\r\n", L"/auto", {{Pass, 3.15}, {Quit}, {Close}, {Ended, 1}, {Holds, 0, "13\r\n"}}},
    Scenario{"CloseBoxSavesAndEnds", "10\r\n", L"", {{Click}, {Pass, 3.15}, {Close}, {Ended, 1}, {Holds, 0, "13\r\n"}}},
    Scenario{"AFailedSaveDoesNotKeepItOpen", "10\r\n", L"/auto", {{Block}, {Pass, 3.15}, {Quit}, {Ended, 1}, {Holds, 0, "10\r\n"}}},
    Scenario{"TrayModeCountsHiddenWithAnIcon", "60\r\n", L"/auto", {{Shown, 0}, {Counting, 1}, {IconsAdded, 1}, {Taskbar},
        {IconsAdded, 2}, {Pass, 2.1}, {Total, 62}}},
    Scenario{"OtherSwitchesStartNormally", {}, L"/AUTO", {{Shown, 1}, {Counting, 0}, {Taskbar}, {IconsAdded, 0}, {Minimize},
        {Shown, 2}}},
    Scenario{"ALeftPressRestoresMinimisingHides", {}, L"/auto", {{Press, 0x200}, {Press, 0x202}, {Press, 0x203},
        {Press, 0x204}, {Shown, 0}, {FocusBox}, {Press, 0x201}, {Shown, 1}, {FocusOnButton}, {Minimize}, {Shown, 0}, {Press, 0x201},
        {Press, 0x201}, {Minimize}, {Shown, 1}, {Minimize}, {Shown, 0}}},  // pressed while shown: one minimise restores
    Scenario{"ARefusedIconIsTriedAgain", {}, L"/auto", {{Pass, 2 * 60 - 1}, {Shown, 0}, {AcceptIcon}, {Pass, 2}, {Pass, 60},
        {IconsAdded, 61}, {Taskbar}, {IconsAdded, 62}}, true},  // 60 tries, 2 s apart
    // Counting follows real time: changes of the wall clock, the time zone and summer time add nothing, a sleep adds
    // its real length. The clock is set first to the time of day of the start (it starts at 10:00).
    Scenario{"ClockSetBackTwoSecondsJustAfterStart", "100\r\n", L"", {{Click}, {Pass, 1}, {SetClock, -2}, {Pass, 10}, {Total, 111}}},
    Scenario{"ZoneEastForwardAcrossMidnight", "100\r\n", L"", {{NoSaves}, {SetClock, 13 * kHour}, {Click}, {Pass, 1800},
        {SetClock, 6 * kHour}, {Pass, 7200}, {Total, 9100}}},
    Scenario{"SpringChangeStartedBeforeTheSkippedHour", "100\r\n", L"", {{NoSaves}, {SetClock, -8.5 * kHour}, {Click},
        {Pass, 1800}, {SetClock, kHour}, {Pass, 3600}, {Total, 5500}}},
    Scenario{"SleepOfThreeDays", "100\r\n", L"", {{Click}, {Sleep, 3 * kDay}, {Pass, 1}, {Total, 259301}}},
    Scenario{"ResetAfterClockChanges", "100\r\n", L"", {{Click}, {Pass, 100}, {SetClock, -kHour}, {Reset}, {Pass, 100},
        {SetClock, 2 * kHour}, {Pass, 50}, {Total, 150}}},
    Scenario{"AnIconThatNeverComesLeavesTheWindowReachable", {}, L"/auto", {{Pass, 2 * 60 - 1}, {Shown, 0}, {Pass, 2},
        {Shown, 1}, {Taskbar}, {IconsAdded, 61}, {Minimize}, {Shown, 2}, {Counting, 1}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(About, ModalLinksOpenTheirOwnTargetsAndTheMainWindowCountsOn) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("100\r\n");
    w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x201, 0);  // shown from the tray
    bool opened = false;
    w.platform.whileModal = [&](tk::Form& dialog) {
        auto& about = static_cast<Form2&>(dialog);
        opened = f.about() == &about;
        about.Label4.setCaption(L"someone.else@example.com");  // the targets are not taken from the captions
        for (tk::Label* label : {&about.Label1, &about.Label2, &about.Label3, &about.Label4, &about.Label5})
            w.platform.Click(*label);
        EXPECT_EQ(w.platform.opened, (std::vector<std::pair<tk::Handle, std::wstring>>{
                                         {about.handle(), CZASOMIR_EMAIL_TARGET_W}, {about.handle(), CZASOMIR_WEB_TARGET_W}}));
        w.platform.Advance(66);  // the main window counts and saves, but takes no input
        EXPECT_EQ(w.Saved(), "165\r\n");
        w.platform.Click(f.Command1), w.platform.Choose(f.mnuPlikZresetuj, f), w.platform.Minimize(f), w.platform.Close(f);
        w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x201, 0);  // a tray press does nothing meanwhile
        EXPECT_TRUE(f.visible() && !w.platform.ended);
        w.platform.Close(about);  // the close box (OK: the end-to-end tests)
        EXPECT_FALSE(about.created());
    };
    w.platform.Choose(f.mnuPomocOProgramie, f);
    EXPECT_TRUE(opened && !f.about());
    EXPECT_EQ(w.Display(), L"00 : 02 : 46");
    w.platform.Minimize(f);  // had a press counted while the box was open, this would restore instead
    EXPECT_FALSE(f.visible());
}

}  // namespace
}  // namespace czasomir::test
