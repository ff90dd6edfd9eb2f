// The main window as the user, the clock and the shell drive it: scenarios of
// steps, each an event or a check of what the user would see.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/elapsed_text.h"
#include "czasomir/build_info.h"
#include "platform/resource_ids.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

struct Step {
    enum Kind {
        Pass, SetClock, Sleep, Click, Reset, Close, Quit, Minimize, Press, Taskbar, FocusBox, Put, Block, Unblock,
        AcceptIcon, NoSaves, Answer, Ending, TakeBack, Input, Session, Option, ServiceStarts,
        Pick, Again, Wake, Scale, SetLimit, SetBreak, Work,  // events
        Holds, Total, Shown, Counting, FocusOnButton, Ended, IconsAdded, Told, Asked, Days, Today, Paused, Ini, Tip,
        Picture, Menus, Active, Refocused, Notes, Over, IconsGone  // checks
    } kind;
    double number = 0;  // Pass, Sleep: seconds; SetClock: seconds the wall clock moves (a time zone, summer
                        // time); Press: the mouse message; Total: the total, shown; Shown: 0 hidden, 1 shown,
                        // 2 minimised; Counting, Ended: 1 or 0; IconsAdded: how many times the icon was added;
                        // Answer: the next question's, 1 Tak, 0 Nie (none given: Escape); Ending: 1 the session
                        // ends, 0 called off; Told: messages shown so far; Asked: questions asked so far;
                        // TakeBack: seconds the next tick takes back (as skipping idle time does); Today: seconds
                        // Input: seconds its stamp is later than now; Session: a tk::SessionChange; Paused: 1 or
                        // 0; Ini: the option in czasomir.ini and the menu (-1: no value); Picture: 1 or 0; Pick:
                        // the item the user picks when the icon's menu opens next (-1: none); Menus: how many menus;
                        // Wake: seconds asleep, woken by a key; Scale: twips per pixel (negative: no event tells);
                        // ServiceStarts: 1 its ready event fires, but it refuses until asked again
                        // Refocused: how many times the keyboard was given back to the notification area
                        // SetLimit, SetBreak: minutes chosen in Settings (0: off); Work: seconds with input each minute; Notes: notifications so far (wide: the last);
                        // Over: 1 or 0; IconsGone: how many times the icon was removed
    std::string text;   // Put, Holds: czas.dat's bytes; Days: historia.csv's;
                        // Block, Unblock: the new file a save cannot write (none given: czas.dat's)
    std::wstring wide;  // Tip: the icon's tip, as the shell last got it; Menus: the last menu ('*': bold); Asked: the
                        // last question, when given; Told: the text of every message (none given: a failed save's)
};
using enum Step::Kind;
constexpr double kHour = 3600, kDay = 86400, kLock = 0, kUnlock = 1, kDisconnect = 2, kConnect = 3;

struct AtStart {                       // what the start finds besides czas.dat
    bool iconRefused = false;          // the shell does not take the icon until AcceptIcon
    const char* historia = nullptr;    // historia.csv
    int ini = -1;                      // czasomir.ini's option; -1: none
    bool iniRefused = false, serviceLate = false, locked = false;  // writes to it; the session service; the session
    bool noReadyEvent = false;         // the session service's ready event cannot be waited on
    std::uint32_t tickOrigin = 0;      // the tick count at now = 0
    int limit = -1;                    // czasomir.ini's daily limit, minutes; -1: none
    const wchar_t* notified = L"";     // and the day it last spoke
    bool balloonRefused = false;
    int breakAfter = -1;               // czasomir.ini's break reminder, minutes; -1: none
};
struct Scenario {
    const char* name;
    std::optional<std::string> czasDat;
    const wchar_t* arguments;
    std::vector<Step> steps;
    AtStart at = {};
};
void PrintTo(const Scenario& c, std::ostream* out) { *out << c.name; }

class MainWindowScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(MainWindowScenario, Runs) {
    const Scenario& c = GetParam();
    const AtStart& at = c.at;
    MainWindow w(c.arguments);
    w.platform.trayAccepts = !at.iconRefused;
    if (at.historia) Write(w.dir / "historia.csv", at.historia);
    const auto ini = std::make_tuple(Wide(w.dir / "czasomir.ini"), L"Czasomir", L"PomijajBezczynnosc");
    if (at.ini >= 0) w.platform.profile[ini] = at.ini;
    w.platform.profileWritable = !at.iniRefused, w.platform.sessionServiceReady = !at.serviceLate;
    w.platform.sessionLocked = at.locked, w.platform.tickOrigin = at.tickOrigin, w.platform.sessionReadyEventWaits = !at.noReadyEvent;
    if (at.limit >= 0) w.platform.profile[{std::get<0>(ini), L"Czasomir", L"LimitDzienny"}] = at.limit;
    w.platform.profileTexts[{std::get<0>(ini), L"Czasomir", L"LimitPokazano"}] = at.notified;
    w.platform.balloonAccepted = !at.balloonRefused;
    if (at.breakAfter >= 0) w.platform.profile[{std::get<0>(ini), L"Czasomir", L"PrzerwaPo"}] = at.breakAfter;
    Form1& f = w.Start(c.czasDat);
    w.platform.whileAsked = [&] {  // the window counts on behind the question, which a tray press does not end
        w.platform.Advance(2);
        w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x201, 0);
    };
    int n = 0, last = f.Counter.TotalSeconds;
    for (const Step& s : GetParam().steps) {
        SCOPED_TRACE(testing::Message() << "step " << ++n);
        switch (s.kind) {
        case Pass:
        case Work:  // with an input at the start of each minute
            for (double left = s.number; left > 0; left -= 60) {
                if (s.kind == Work) w.platform.Input();
                w.platform.Advance(std::min(left, 60.0));
                // Never backwards, whatever the wall clock does; once by at most 5 minutes at an idle pause.
                EXPECT_GE(f.Counter.TotalSeconds, last - (f.PausedForIdle() ? 300 : 0));
                last = f.Counter.TotalSeconds;
            }
            break;
        case SetClock: w.platform.wallClockShift += s.number; break;
        case Sleep:
        case Wake: w.platform.Sleep(s.number, s.kind == Wake), last = f.Counter.TotalSeconds; break;  // a take-back at the key
        case Scale: s.number > 0 ? w.platform.DpiChanged(f, s.number) : void(w.platform.twipsPerPixel = -s.number); break;
        case Click: w.platform.Click(f.Command1); break;
        case Reset: w.platform.Choose(f.mnuPlikZresetuj, f), last = 0; break;
        case Close: w.platform.Close(f); break;
        case Quit: w.platform.Choose(f.mnuPlikZamknij, f); break;
        case Minimize: w.platform.Minimize(f); break;
        case Press: w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, static_cast<int>(s.number), 0); break;
        case Taskbar: w.platform.TaskbarCreated(f); break;
        case Put: Write(w.dir / "czas.dat", s.text); break;
        case Block: fs::create_directory(w.dir / (s.text.empty() ? "czas.dat.new" : s.text.c_str())); break;  // a save cannot write its new file
        case Unblock: fs::remove(w.dir / (s.text.empty() ? "czas.dat.new" : s.text.c_str())); break;
        case FocusBox: w.platform.Focus(f.Check1); break;
        case AcceptIcon: w.platform.trayAccepts = true; break;
        case NoSaves: f.Timer2.setEnabled(false); break;  // days of saves would be slow; closing saves
        case TakeBack: f.Counter.StoredSeconds -= static_cast<std::int32_t>(s.number), last -= s.number; break;
        case Days: EXPECT_EQ(Read(w.dir / "historia.csv"), s.text); break;
        case Today: EXPECT_EQ(f.TodaySeconds(), s.number); break;
        case Input: w.platform.Input(s.number); break;
        case Session: w.platform.SessionChange(f, static_cast<tk::SessionChange>(s.number)); break;
        case Option: w.platform.Choose(f.mnuPlikPomijaj, f); break;
        case ServiceStarts: w.platform.SessionServiceStarts(s.number == 1); break;
        case Pick: w.platform.popupChoice = static_cast<int>(s.number); break;
        case Again: w.platform.AnotherStart(f); break;
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
        case Answer: w.platform.answers.push_back(s.number != 0); break;
        case Ending: w.platform.sessionEnding = s.number != 0; break;
        case Told:
            EXPECT_EQ(w.platform.messages, std::vector<std::wstring>(static_cast<std::size_t>(s.number), s.wide.empty()
                ? L"Nie można zapisać zmierzonego czasu w folderze " + Wide(w.dir.path) + L". Czas jest liczony dalej." : s.wide));
            break;
        case Asked:
            EXPECT_EQ(w.platform.questions.size(), s.number);
            EXPECT_TRUE(s.wide.empty() || w.platform.questions.back() == s.wide);
            break;
        case Paused:
            EXPECT_EQ(f.caption, s.number ? L"Czasomir (przerwa)" : L"Czasomir");
            if (!w.platform.trayCalls.empty()) EXPECT_EQ(f.TrayIcon.tip.ends_with(L" (przerwa)"), s.number != 0);
            break;
        case Ini:
            EXPECT_EQ(w.platform.profile.count(ini) ? w.platform.profile[ini] : -1, s.number);
            EXPECT_EQ(f.mnuPlikPomijaj.checked, s.number == 1);
            break;
        case Tip: EXPECT_EQ(w.LastTray(tk::kTrayTip).tip, s.wide); break;
        case Picture: EXPECT_EQ(w.LastTray(tk::kTrayIcon).icon, w.platform.TrayPicture(s.number ? IDI_CZASOMIR : IDI_CZASOMIR_STOPPED)); break;
        case Menus:
            EXPECT_EQ(w.platform.popups.size(), s.number);
            EXPECT_EQ(w.platform.popups.empty() ? L"" : w.platform.popups.back(), s.wide);
            break;
        case Active: EXPECT_EQ(w.platform.ActiveForm(), &f); break;
        case Refocused: EXPECT_EQ(w.TrayCalls(tk::TrayOp::Focus), s.number); break;
        case SetLimit:
        case SetBreak:  // its box ticked (0: unticked), the minutes typed, OK
            w.platform.whileModal = [&](tk::Form& dialog) {
                auto& settings = static_cast<Form4&>(dialog);
                const int minutes = static_cast<int>(s.number);
                (s.kind == SetBreak ? settings.Check2 : settings.Check1).setValue(minutes > 0);
                settings.Text1.userTyped(std::to_wstring(minutes / 60)), settings.Text2.userTyped(std::to_wstring(minutes % 60));
                settings.Text3.userTyped(std::to_wstring(minutes)), w.platform.Click(settings.Command1);
            };
            w.platform.Choose(f.mnuPlikUstawienia, f);
            break;
        case Notes:
            EXPECT_EQ(std::ranges::count_if(w.platform.trayCalls, [](const auto& call) { return call.icon.flags & tk::kTrayInfo; }), s.number);
            if (!s.wide.empty()) EXPECT_EQ(w.LastTray(tk::kTrayInfo).info, s.wide);
            break;
        case Over:
            EXPECT_EQ(f.caption, s.number ? L"Czasomir (ponad limit)" : L"Czasomir");
            if (f.TrayIcon.window) EXPECT_EQ(f.TrayIcon.tip.ends_with(L" - ponad limit"), s.number != 0);
            break;
        case IconsGone: EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), s.number); break;
        }
    }
    if (w.platform.ended) EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);  // the icon goes, once, at the end
    for (const auto& call : w.platform.trayCalls) {  // the record handed to the shell
        EXPECT_EQ(std::tuple(call.icon.id, call.icon.window), std::tuple(1u, f.Picture1.handle()));
        if (call.op == tk::TrayOp::Modify) {  // the tip always, or the shell hides it
            EXPECT_EQ(std::tuple(call.icon.flags & tk::kTrayTip, call.icon.tip.substr(0, 11)), std::tuple(tk::kTrayTip, std::wstring(L"Czasomir - ")));
        }
        if (call.op == tk::TrayOp::Add)
            EXPECT_EQ(std::tuple(call.icon.flags, call.icon.callbackMessage, call.icon.icon != 0, call.icon.tip.substr(0, 11)),
                      std::tuple(7u, 0x201u, true, std::wstring(L"Czasomir - ")));
        if (call.icon.flags == tk::kTrayInfo)  // the program's icon beside it; held back in quiet time
            EXPECT_EQ(std::tuple(call.icon.infoFlags, call.icon.icon), std::tuple(0x84u, w.platform.TrayPicture(IDI_CZASOMIR)));
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, MainWindowScenario, ::testing::Values(
    Scenario{"ANewFileIsZeroOtherSwitchesStartNormally", {}, L"/AUTO", {{Shown, 1}, {FocusOnButton}, {Pass, 5}, {Total, 0},
        {Holds, 0, "0\r\n"}, {Counting, 0}, {Taskbar}, {IconsAdded, 0}, {Minimize}, {Shown, 2}, {Again}, {Shown, 1}, {Active}}},
    Scenario{"AnOverflowKeepsTheLastGoodTotal", "2147483646\r\n", L"", {{Click}, {Pass, 6}, {Total, 2147483647}, {Close},
        {Holds, 0, "2147483647\r\n"}}},
    // Reset asks first, naming the total; the display counts on behind the question; only Tak resets; zero asks nothing.
    Scenario{"ResetAsksFirstShowsZeroAndCountsOn", "5000\r\n", L"", {{Click}, {Pass, 3.1}, {Reset},
        {Asked, 1, "", L"Czy wyzerować zmierzony czas (01 : 23 : 23)? Tego nie można cofnąć."}, {Total, 5005}, {Answer, 0},
        {Reset}, {Total, 5007}, {Answer, 1}, {Reset}, {Total, 0}, {Holds, 0, "5000\r\n"}, {Pass, 2}, {Total, 2}, {Click},
        {Answer, 1}, {Reset}, {Reset}, {Asked, 4}, {Close}, {Holds, 0, "0\r\n"}}},
    Scenario{"SavedEvery65535MsAndAfterAFailureLater", "7\r\n", L"", {{Put, 0, "junk"}, {Pass, 65.534}, {Holds, 0, "junk"},
        {Pass, 0.002}, {Holds, 0, "7\r\n"}, {Click}, {Block}, {Pass, 65.535}, {Holds, 0, "7\r\n"}, {Told, 1}, {Unblock},
        {Pass, 65.535}, {Holds, 0, "138\r\n"}}},
    // Told once, when the window is shown and the session goes on; never by the closing save; closing all the same.
    Scenario{"AFailedSaveIsToldOnceAndDoesNotKeepItOpen", "10\r\n", L"/auto", {{Block}, {Pass, 66}, {Told, 0}, {Ending, 1},
        {Press, 0x201}, {Pass, 66}, {Told, 0}, {Ending, 0}, {Minimize}, {Told, 0}, {Press, 0x201}, {Told, 1}, {Pass, 66},
        {Quit}, {Told, 1}, {Ended, 1}, {Holds, 0, "10\r\n"}}},
    // Pressed, or started again, while shown: the next minimise hides; started again while hidden: shown.
    Scenario{"ALeftPressRestoresMinimisingHides", {}, L"/auto", {{Press, 0x200}, {Press, 0x202}, {Press, 0x203},
        {Press, 0x204}, {Shown, 0}, {FocusBox}, {Press, 0x201}, {Shown, 1}, {FocusOnButton}, {Minimize}, {Shown, 0},
        {Press, 0x201}, {Press, 0x201}, {Minimize}, {Shown, 0}, {Press, 0x201}, {Press, 0x401}, {Minimize}, {Shown, 0},
        {Press, 0x201}, {Again}, {Minimize}, {Shown, 0}, {FocusBox}, {Again}, {Shown, 1}, {FocusOnButton}, {Minimize}, {Shown, 0}}},
    // 60 tries, 2 s apart; then the window, and at a late taskbar the icon tried afresh until taken; minimising hides.
    Scenario{"AnIconThatNeverComesLeavesTheWindowReachable", {}, L"/auto", {{Pass, 2 * 60 - 1}, {Shown, 0}, {Pass, 2},
        {Shown, 1}, {Taskbar}, {IconsAdded, 62}, {Pass, 2}, {IconsAdded, 63}, {AcceptIcon}, {Pass, 2}, {IconsAdded, 64},
        {Pass, 60}, {IconsAdded, 64}, {Minimize}, {Shown, 0}, {Counting, 1}}, {.iconRefused = true}},
    // Counting follows real time: a change of the wall clock adds nothing, a sleep adds its real length.
    Scenario{"ClockSetBackJustAfterStartASleepOfThreeDays", "100\r\n", L"", {{Click}, {Pass, 1}, {SetClock, -2}, {Pass, 10},
        {Total, 111}, {Sleep, 3 * kDay}, {Pass, 1}, {Total, 112}}},
    // The days: 10:00 on Monday 2026-12-07 at the start; the clock set first to the time of day of the start.
    Scenario{"ATakeBackIsTakenFromTheDaysItCameFrom", {}, L"", {{NoSaves}, {SetClock, 13 * kHour + 3480}, {Click}, {Pass, 240},
        {TakeBack, 180}, {Pass, 1}, {Total, 61}, {Close}, {Days, 0, "data;sekundy\r\n2026-12-07;60\r\n2026-12-08;1\r\n"}},
        {.ini = 1}},
    Scenario{"ResetKeepsTheDaysAndALineThatCannotBeRead", "5000\r\n", L"", {{Click}, {Pass, 5}, {Answer, 1}, {Reset}, {Pass, 5},
        {Close}, {Holds, 0, "5\r\n"}, {Days, 0, "data;sekundy\r\nzepsute\r\n2026-12-06;50\r\n2026-12-07;12\r\n"}},
        {.historia = "data;sekundy\r\nzepsute\r\n2026-12-06;50\r\n"}},
    // Counting hidden with an icon. The tip is made when the pointer comes over the icon; the picture and the menu
    // follow the button. A change of the picture carries the tip as it reads then. The picture follows the display's
    // scale: at its change, and at a new taskbar after a change nothing told.
    Scenario{"TrayModeTipPictureAndMenuFollowTheCount", "60\r\n", L"/auto", {{Shown, 0}, {Counting, 1}, {IconsAdded, 1}, {Picture, 1},
        {Tip, 0, "", L"Czasomir - 00 : 01 : 00, dziś 00 : 00 : 00"}, {Pass, 2.1}, {Tip, 0, "", L"Czasomir - 00 : 01 : 00, dziś 00 : 00 : 00"},
        {Pick, 1}, {Press, 0x7B}, {Counting, 0}, {Picture, 0}, {Tip, 0, "", L"Czasomir - 00 : 01 : 02, dziś 00 : 00 : 02"},
        {Menus, 1, "", L"Pokaż*|Stop|Historia...|-|Zamknij"}, {Pass, 5}, {Press, 0x7B}, {Counting, 1}, {Picture, 1},
        {Menus, 2, "", L"Pokaż*|Start|Historia...|-|Zamknij"}, {Pass, 3}, {Press, 0x200},
        {Tip, 0, "", L"Czasomir - 00 : 01 : 05, dziś 00 : 00 : 05"}, {Shown, 0}, {Scale, 10}, {Picture, 1}, {Scale, -7.5},
        {Taskbar}, {IconsAdded, 2}, {Picture, 1}, {Pass, 2.1}, {Total, 67}}},
    // Enter shows the window, the menu key opens the menu; right presses, releases and the left release do nothing.
    Scenario{"TheIconFromTheKeyboardAndItsMenu", "10\r\n", L"/auto", {{Press, 0x204}, {Press, 0x205}, {Press, 0x400},
        {Menus, 0}, {Shown, 0}, {Press, 0x401}, {Shown, 1}, {FocusOnButton}, {Minimize}, {Shown, 0}, {Press, 0x7B},
        {Menus, 1, "", L"Pokaż*|Stop|Historia...|-|Zamknij"}, {Shown, 0}, {Refocused, 1}, {Pick, 0}, {Press, 0x7B}, {Shown, 1},
        {Minimize}, {Pick, 2}, {Press, 0x7B}, {Shown, 0}, {Pick, 3}, {Press, 0x7B}, {Refocused, 2},  // dismissed: Escape
        {Pass, 3.15}, {Ended, 0}, {Pick, 4}, {Press, 0x7B}, {Ended, 1}, {Holds, 0, "13\r\n"}}},
    // Pomijaj czas bezczynności. The start is an input; idle time is 5 minutes.
    Scenario{"LockPausesAtOnceOnlyInputAfterUnlockResumes", "100\r\n", L"", {{Click}, {Pass, 10.45}, {Session, kLock}, {Pass, 1},
        {Paused, 1}, {Total, 110}, {Input}, {Pass, 10}, {Session, kUnlock}, {Pass, 10}, {Paused, 1}, {Input}, {Pass, 10.55},
        {Paused, 0}, {Total, 120}, {Option}, {Ini, 0}, {Session, kLock}, {Pass, 600}, {Paused, 0}, {Total, 720}}, {.ini = 1}},
    Scenario{"ADisconnectPausesUntilAnInputAfterTheReconnect", "100\r\n", L"", {{Click}, {Session, kDisconnect}, {Pass, 1},
        {Paused, 1}, {Session, kConnect}, {Input}, {Pass, 10}, {Paused, 0}, {Total, 110}}, {.ini = 1}},
    // A sleep is time away: it counts towards the 5 minutes, whether a tick or the key that wakes the computer sees it.
    Scenario{"SleepInAnIdleSpan", "100\r\n", L"/auto", {{Pass, 60}, {Input}, {Pass, 120}, {Sleep, kHour}, {Pass, 1}, {Paused, 1},
        {Total, 160}, {Input}, {Pass, 10}, {Paused, 0}, {Total, 170}, {Pass, 110}, {Wake, 100}, {Pass, 10}, {Paused, 0},
        {Total, 290}, {Pass, 50}, {Wake, kHour}, {Paused, 0}, {Total, 280}, {Pass, 120}, {Sleep, 100}, {Pass, 79}, {Paused, 0},
        {Pass, 2}, {Paused, 1}, {Total, 280}}, {.ini = 1}},
    Scenario{"ATakeBackOverMidnightAndASleepComesOffTheDaysThatGotIt", "100\r\n", L"", {{SetClock, 13 * kHour + 3540},
        {Click}, {Pass, 120}, {Sleep, 7 * kHour - 60}, {Paused, 1}, {Total, 100}, {Today, 0}, {Close},
        {Days, 0, "data;sekundy\r\n2026-12-07;500\r\n2026-12-08;0\r\n"}}, {.historia = "data;sekundy\r\n2026-12-07;500\r\n", .ini = 1}},
    Scenario{"AStopInAPauseStaysAStartWhileIdleCountsFromTheStart", "100\r\n", L"", {{Click}, {Session, kLock}, {Pass, 1},
        {Paused, 1}, {Click}, {Counting, 0}, {Paused, 0}, {Session, kUnlock}, {Input}, {Pass, 10}, {Counting, 0}, {Total, 100},
        {Pass, 600}, {Click}, {Pass, 299}, {Paused, 0}, {Total, 399}, {Pass, 2}, {Paused, 1}, {Total, 100}}, {.ini = 1}},
    Scenario{"TickCountWrapsInAnIdleSpanInputStampedLater", "100\r\n", L"", {{Click}, {Pass, 299}, {Paused, 0}, {Pass, 2},
        {Paused, 1}, {Total, 100}, {Input, 120}, {Pass, 200}, {Paused, 0}, {Total, 300}},
        {.ini = 1, .tickOrigin = 0u - 36060000u}},  // wraps a minute after the start
    Scenario{"NoIniMeansOffTheItemWritesIt", {}, L"", {{Ini, -1}, {Option}, {Ini, 1}, {Told, 0}}},
    Scenario{"OtherValuesMeanOffARefusedWriteKeepsTheItem", {}, L"", {{Ini, 2}, {Option}, {Ini, 2},
        {Told, 1, "", L"Nie udało się zapisać ustawienia w pliku czasomir.ini."}}, {.ini = 2, .iniRefused = true}},
    Scenario{"SessionServiceLateAlreadyLocked", "100\r\n", L"/auto", {{Pass, 10}, {Total, 110}, {ServiceStarts}, {Pass, 1},
        {Paused, 1}, {Picture, 0}, {Total, 110}, {Session, kUnlock}, {Input}, {Pass, 5}, {Paused, 0}, {Picture, 1}, {Total, 115}},
        {.ini = 1, .serviceLate = true, .locked = true}},
    // A watch that could not begin (no ready event to wait on, or refused once more after it) begins at the next switch-on.
    Scenario{"NoReadyEventTheNextSwitchOnWatches", "100\r\n", L"", {{Click}, {ServiceStarts}, {Session, kLock}, {Pass, 1},
        {Paused, 0}, {Option}, {Option}, {Session, kLock}, {Pass, 1}, {Paused, 1}},
        {.ini = 1, .serviceLate = true, .noReadyEvent = true}},
    Scenario{"RefusedAfterTheReadyEventTheNextSwitchOnWatches", "100\r\n", L"", {{Click}, {ServiceStarts, 1}, {Session, kLock},
        {Pass, 1}, {Paused, 0}, {Option}, {Option}, {Session, kLock}, {Pass, 1}, {Paused, 1}}, {.ini = 1, .serviceLate = true}},
    // The daily limit, 15 minutes, reached at 10:00 on 2026-12-07 with today at 14:58 before the start. The normal
    // mode adds an icon for the notification and removes it after a minute (the shell may report nothing).
    Scenario{"LimitReachedMidTickSpeaksOnceAReset", "100\r\n", L"", {{Click}, {Pass, 1}, {Over, 0}, {Notes, 0}, {Pass, 1.2},
        {Over, 1}, {IconsAdded, 1}, {Tip, 0, "", L"Czasomir - 00 : 01 : 42, dziś 00 : 15 : 00 - ponad limit"},
        {Notes, 1, "", L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (00 : 15 : 00)."}, {Pass, 59.2},
        {IconsGone, 0}, {Pass, 0.5}, {IconsGone, 1}, {Answer, 1}, {Reset}, {Click}, {Click}, {Pass, 120}, {Over, 1}, {Notes, 1},
        {Pass, 3600}, {IconsAdded, 1}}, {.historia = "data;sekundy\r\n2026-12-07;898\r\n", .limit = 15}},
    Scenario{"RestartTheSameDaySpeaksNot", {}, L"", {{Over, 0}, {Click}, {Pass, 5}, {Over, 1}, {Notes, 0}},
        {.historia = "data;sekundy\r\n2026-12-07;898\r\n", .limit = 15, .notified = L"2026-12-07"}},
    Scenario{"AlreadyOverAtStartFromTheTrayIcon", {}, L"/auto", {{Over, 1}, {Notes, 0}, {Pass, 0.3}, {Notes, 1}, {Pass, 120},
        {Press, 0x404}, {IconsAdded, 1}, {IconsGone, 0}},
        {.historia = "data;sekundy\r\n2026-12-07;2000\r\n", .limit = 15, .notified = L"2026-12-06"}},
    Scenario{"ALimitOutOfRangeIsOff", {}, L"", {{Over, 0}}, {.historia = "data;sekundy\r\n2026-12-07;2000\r\n", .limit = 14}},
    Scenario{"StoppedOverMidnightClearsAtTheNextSave", {}, L"", {{SetClock, 13 * kHour + 3590}, {Over, 1}, {Pass, 70},
        {Over, 0}, {Notes, 0}}, {.historia = "data;sekundy\r\n2026-12-07;2000\r\n", .limit = 15}},
    Scenario{"ALoweredLimitSpeaksAtOnceARaisedOneClears", {}, L"", {{Over, 0}, {SetLimit, 30}, {Over, 1},
        {Notes, 1, "", L"Dzisiejszy czas przy komputerze osiągnął dzienny limit (00 : 30 : 00)."}, {SetLimit, 90}, {Over, 0},
        {SetLimit, 45}, {Over, 1}, {Notes, 1}, {SetLimit, 0}, {Over, 0}}, {.historia = "data;sekundy\r\n2026-12-07;3600\r\n"}},
    Scenario{"PausedWinsOverTheLimit", {}, L"/auto", {{Over, 1}, {Pass, 301}, {Paused, 1}, {Input}, {Pass, 1}, {Over, 1}},
        {.historia = "data;sekundy\r\n2026-12-07;2000\r\n", .ini = 1, .limit = 15}},
    // The shell reports the notification clicked (or timed out): the icon goes, the window comes back.
    Scenario{"AClickOnTheNotificationShowsTheWindow", {}, L"", {{Minimize}, {SetLimit, 15}, {Notes, 1}, {Press, 0x405},
        {IconsGone, 1}, {Shown, 1}, {Active}, {Pass, 60}, {IconsGone, 1}}, {.historia = "data;sekundy\r\n2026-12-07;2000\r\n"}},
    Scenario{"ATimedOutNotificationTakesItsIcon", {}, L"", {{Minimize}, {SetLimit, 15}, {Press, 0x404}, {IconsGone, 1},
        {Shown, 2}}, {.historia = "data;sekundy\r\n2026-12-07;2000\r\n"}},
    // A notification a while after one that was clicked away keeps its icon its full minute.
    Scenario{"ASecondNotificationKeepsItsIconAMinute", {}, L"", {{Click}, {Work, 31}, {Notes, 1}, {Press, 0x405}, {IconsGone, 1},
        {Work, 571}, {Notes, 2}, {Work, 38}, {IconsGone, 1}, {Work, 25}, {IconsGone, 2}},
        {.historia = "data;sekundy\r\n2026-12-07;870\r\n", .limit = 15, .breakAfter = 10}},
    Scenario{"ANotificationRefusedChangesNothingElse", {}, L"", {{SetLimit, 15}, {Notes, 1}, {IconsAdded, 1}, {IconsGone, 1},
        {Over, 1}, {SetLimit, 20}, {Notes, 1}}, {.historia = "data;sekundy\r\n2026-12-07;2000\r\n", .balloonRefused = true}},
    // The break reminder, 10 minutes: a break is 5 minutes without input, a lock, a Stop or a sleep; a reminder
    // again after each further stretch; off, nothing. The start is an input.
    Scenario{"ALockIsABreakWithTheIdleOptionOff", {}, L"", {{Click}, {Work, 300}, {Session, kLock}, {Work, 660}, {Notes, 0},
        {Session, kUnlock}, {Work, 599}, {Notes, 0}, {Work, 2}, {Notes, 1}}, {.breakAfter = 10}},
    Scenario{"FiveMinutesWithoutInputIsABreakWithTheIdleOptionOn", {}, L"/auto", {{Work, 300}, {Pass, 300}, {Paused, 1},
        {Work, 599}, {Notes, 0}, {Work, 2}, {Notes, 1}}, {.ini = 1, .breakAfter = 10}},
    Scenario{"AStopAndASleepAreBreaksTimeNotCountedAddsNothing", {}, L"", {{Click}, {Work, 300}, {Click}, {Work, 600},
        {Click}, {Work, 300}, {Sleep, 60}, {Work, 599}, {Notes, 0}, {Work, 2}, {Notes, 1}}, {.breakAfter = 10}},
    Scenario{"AReminderOutOfRangeIsOff", {}, L"", {{Click}, {Work, 400}, {Notes, 0}}, {.breakAfter = 5}},
    Scenario{"SwitchedOnInTheMiddleOfAStretch", {}, L"", {{Click}, {Work, 720}, {Notes, 0}, {SetBreak, 10}, {Pass, 0.2},
        {Notes, 1, "", L"Komputer jest używany bez przerwy od 12 min. Czas na przerwę."}, {Work, 479}, {Notes, 1}, {Work, 2},
        {Notes, 2, "", L"Komputer jest używany bez przerwy od 20 min. Czas na przerwę."}, {SetBreak, 0}, {Work, 900}, {Notes, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

// czas.dat stays in the program's folder while it can be saved there and the folder is not under Program Files; else
// it moves to this copy's own folder, with the total and the days when they are the user's own, and never comes
// back; when no folder takes it, or the move is cut short, counting goes on and the user is told once.
TEST(DataFolder, TheTotalLivesWhereItCanBeSaved) {
    // The program folder refuses: the save's new file cannot be made, or czas.dat is read-only. own: what this copy's
    // own folder holds ("-": it cannot be made; "/": a folder in the place of historia.csv's new file there). Protected:
    // under Program Files, writable as for an administrator; others: its files are another user's.
    enum Refusal { None, NewFile, ReadOnly };
    const struct { const char* name; Refusal program; const char* own; bool protectedCopy, others, moved; std::int32_t shown; } cases[] = {
        {"ProgramFolderWritable", None, "", false, false, false, 500}, {"NewFileRefused", NewFile, "", false, false, true, 500},
        {"ReadOnly", ReadOnly, "", false, false, true, 500}, {"OwnFolderHoldsATotal", None, "900\r\n", false, false, true, 900},
        {"NoFolderTakesIt", NewFile, "-", false, false, false, 500}, {"ElevatedInProgramFiles", None, "", true, false, true, 500},
        {"AnotherUsersFiles", NewFile, "", false, true, true, 0}, {"SeedCutShort", NewFile, "/", false, false, false, 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        w.platform.executableKey = L"C:\\PROGRAMY\\CZASOMIR\\CZASOMIR.EXE";
        if (c.protectedCopy) w.platform.protectedFolders = {Wide(w.dir.path)};
        w.platform.filesOwned = !c.others;
        const fs::path own = w.local.path / "Czasomir" / "CZASOMIR-DB1555CD";
        Write(w.dir / "czas.dat", "500\r\n");
        Write(w.dir / "historia.csv", "data;sekundy\r\n2026-12-06;50\r\n");  // goes along with the total
        if (c.program == NewFile) fs::create_directory(w.dir / "czas.dat.new");
        if (c.program == ReadOnly) fs::permissions(w.dir / "czas.dat", fs::perms::all, fs::perm_options::remove);
        if (*c.own == '-') Write(w.local / "Czasomir", "");
        else if (*c.own == '/') fs::create_directories(own / "historia.csv.new");
        else if (*c.own) fs::create_directories(own), Write(own / "czas.dat", c.own);
        Form1& f = w.Start();
        EXPECT_EQ(f.DataFolder(), Wide(c.moved ? own : w.dir.path));
        EXPECT_EQ(w.platform.messages.size(), c.program && !c.moved ? 1u : 0u);  // told at the start
        w.platform.Click(f.Command1);
        w.platform.Advance(200);  // three saves
        w.platform.Close(f);
        EXPECT_EQ(Read(w.dir / "czas.dat"), c.moved || c.program ? "500\r\n" : FormatTotalLine(c.shown + 200));
        EXPECT_EQ(Read(own / "czas.dat"), c.moved ? FormatTotalLine(c.shown + 200) : "");
        const bool kept = c.shown == 500;  // the days stay in the program folder with a total not carried over
        EXPECT_EQ(Read((c.moved ? own : w.dir.path) / "historia.csv"),
                  std::string("data;sekundy\r\n") + (kept ? "2026-12-06;50\r\n" : "") + "2026-12-07;200\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(w.dir.path), {}), c.program == NewFile ? 3 : 2);
        EXPECT_EQ(w.platform.messages.size(), c.program && !c.moved ? 1u : 0u);  // and no more
    }
}

// One copy runs per data folder, in any session, for any user: a start whose folder user A's copy uses (A again, in
// this session or another; B sharing a writable program folder) ends at once, touching nothing, and wakes it unless
// started at logon; each user of a Program Files copy counts in a folder of their own, and asks Windows to start it
// again, with its own arguments, after an update.
TEST(SecondStart, OneCopyPerDataFolder) {
    const struct { const wchar_t* arguments; bool protectedCopy; const char* user; bool ends; } cases[] = {
        {L"", true, "A", true}, {L"x  y", true, "B", false}, {L"", false, "A", true}, {L"/auto", false, "B", true},
        {L"/auto", true, "B", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.user << c.protectedCopy << Wide(c.arguments));
        MainWindow w(c.arguments);
        if (c.protectedCopy) w.platform.protectedFolders = {Wide(w.dir.path)};
        fs::create_directories(w.platform.localAppData = w.local / c.user);
        w.platform.runningCopies = {ChooseDataFolder(Wide(w.dir.path), Wide(w.local / "A"), w.platform.ExecutableKey(),
                                                     [&] { return c.protectedCopy; }).path};
        Form1& f = w.Start();
        EXPECT_EQ(w.platform.wokeOther, c.ends && *c.arguments != L'/' ? 1 : 0);
        EXPECT_EQ(w.platform.ended && w.platform.trayCalls.empty() && !fs::exists(w.dir / "czas.dat"), c.ends);
        EXPECT_EQ(f.DataFolder() == FallbackFolder(Wide(w.local / "B"), w.platform.ExecutableKey()), !c.ends);
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(w.local.path), {}), c.ends ? 1 : 4);
        EXPECT_EQ(w.platform.restartArguments, c.ends ? std::nullopt : std::optional<std::wstring>(c.arguments));
    }
}

TEST(About, ModalLinksOpenTheirOwnTargetsAndTheMainWindowTakesNoInput) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("100\r\n");
    w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x201, 0);  // shown from the tray
    bool opened = false;
    w.platform.whileModal = [&](tk::Form& dialog) {
        auto& about = static_cast<Form2&>(dialog);
        opened = f.about() == &about;
        for (tk::Label* label : {&about.Label1, &about.Label2, &about.Label3, &about.Label4, &about.Label5})
            w.platform.Click(*label);
        EXPECT_EQ(w.platform.opened, (std::vector<std::pair<tk::Handle, std::wstring>>{
                                         {about.handle(), CZASOMIR_EMAIL_TARGET_W}, {about.handle(), CZASOMIR_WEB_TARGET_W}}));
        // The main window takes no input: a click, a menu, the minimise and close boxes,
        w.platform.Click(f.Command1), w.platform.Choose(f.mnuPlikZresetuj, f), w.platform.Minimize(f), w.platform.Close(f);
        w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x201, 0);  // a tray press does nothing meanwhile,
        w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x7B, 0);   // nor does the icon's menu key
        EXPECT_TRUE(f.visible() && !w.platform.ended && w.platform.popups.empty() && w.platform.questions.empty() &&
                    f.Command1.caption() == L"Stop");
        w.platform.Close(about);  // the close box (OK: the end-to-end tests)
        EXPECT_FALSE(about.created());
    };
    w.platform.Choose(f.mnuPomocOProgramie, f);
    EXPECT_TRUE(opened && !f.about());
    w.platform.Minimize(f);  // had a press counted while the box was open, this would restore instead
    EXPECT_FALSE(f.visible());
}

// Settings takes a limit from 0:15 to 23:59 and a break after 10 to 240 minutes (off, whatever the boxes show,
// when unticked) and keeps them once czasomir.ini holds them; it first offers 2:00 and 50, and a second opening
// shows what was kept (ticks and values, as "12:0 150"); its idle box is the menu item's option.
TEST(Settings, RangesAndWhatIsKept) {
    const std::wstring refused = L"Podaj czas od 0:15 do 23:59.", notSaved = L"Nie udało się zapisać ustawienia w pliku czasomir.ini.",
                       breakRefused = L"Podaj liczbę minut od 10 do 240.";
    const struct { bool on; const wchar_t *hours, *minutes, *breakAfter; int kept, keptBreak; const wchar_t* shownAgain;
                   const std::wstring* told = nullptr; bool writable = true, idle = false; } cases[] = {
        {true, L"2", L"0", nullptr, 120, 0, L"12:0 050"}, {true, L"0", L"15", nullptr, 15, 0, L"10:15 050"},
        {true, L"23", L"59", nullptr, 1439, 0, L"123:59 050"}, {true, L"0", L"14", nullptr, -1, -1, L"02:0 050", &refused},
        {true, L"", L"30", nullptr, -1, -1, L"02:0 050", &refused}, {true, L"1", L"1a", nullptr, -1, -1, L"02:0 050", &refused},
        {false, L"99", L"", nullptr, 0, 0, L"02:0 050"}, {true, L"1", L"0", nullptr, -1, -1, L"02:0 050", &notSaved, false},
        {false, L"2", L"0", nullptr, 0, 0, L"02:0 050", nullptr, true, true}, {false, L"", L"", L"10", 0, 10, L"02:0 110"},
        {false, L"", L"", L"240", 0, 240, L"02:0 1240"}, {false, L"", L"", L"9", -1, -1, L"02:0 050", &breakRefused}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.on << Wide(c.hours) << ":" << Wide(c.minutes));
        MainWindow w;
        Form1& f = w.Start();
        w.platform.profileWritable = c.writable;
        std::vector<std::wstring> shown;
        w.platform.whileModal = [&](tk::Form& dialog) {
            auto& settings = static_cast<Form4&>(dialog);
            shown.push_back(std::to_wstring(settings.Check1.value()) + settings.Text1.text() + L":" + settings.Text2.text() + L" " +
                            std::to_wstring(settings.Check2.value()) + settings.Text3.text());
            if (shown.size() > 1) return;  // the second opening: Escape
            settings.Check1.setValue(c.on), settings.Check2.setValue(c.breakAfter != nullptr), settings.Check3.setValue(c.idle);
            settings.Text1.userTyped(c.hours), settings.Text2.userTyped(c.minutes), settings.Text3.userTyped(c.breakAfter ? c.breakAfter : L"");
            w.platform.Click(settings.Command1);
            EXPECT_EQ(settings.created(), c.told == &refused || c.told == &breakRefused);
            w.platform.MouseDown(f.Picture1, tk::kLeftButton, 0, 0x7B, 0);  // the icon's menu waits meanwhile
        };
        w.platform.Choose(f.mnuPlikUstawienia, f), w.platform.Choose(f.mnuPlikUstawienia, f);
        EXPECT_EQ(shown, (std::vector<std::wstring>{L"02:0 050", c.shownAgain}));
        EXPECT_TRUE(w.platform.popups.empty() && f.mnuPlikPomijaj.checked == c.idle);
        const std::wstring ini = Wide(w.dir / "czasomir.ini");
        EXPECT_EQ(std::tuple(w.platform.ReadProfileInt(ini, L"Czasomir", L"LimitDzienny", -1), w.platform.ReadProfileInt(ini, L"Czasomir", L"PrzerwaPo", -1)),
                  std::tuple(c.kept, c.keptBreak));
        EXPECT_EQ(w.platform.messages, c.told ? std::vector{*c.told} : std::vector<std::wstring>{});
    }
}

// Monday 2026-12-07, the last 14 days with gaps: the totals, the chart, the folder and the copy for a spreadsheet.
TEST(History, TotalsChartFolderAndACopyOpenedThroughTheShellWhileTheMainWindowCounts) {
    MainWindow w;
    Write(w.dir / "historia.csv", "data;sekundy\r\n2026-11-07;5000\r\n2026-11-08;100\r\n2026-11-30;900\r\n"
                                  "2026-12-01;1800\r\n2026-12-06;7200\r\n2026-12-07;3599\r\n2026-12-08;999\r\n");
    w.platform.tempDirectory = w.dir / "temp";
    fs::create_directory(w.platform.tempDirectory);
    Form1& f = w.Start("100\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(1);
    bool opened = false;
    w.platform.whileModal = [&](tk::Form& dialog) {
        auto& history = static_cast<Form3&>(dialog);
        opened = f.historyWindow() == &history;
        f.mnuPlikHistoria_Click();  // from the tray's menu meanwhile: no second window
        EXPECT_EQ(f.historyWindow(), &history);
        EXPECT_EQ((std::vector{history.Label2.caption(), history.Label4.caption(), history.Label6.caption(), history.Label8.caption()}),
                  (std::vector<std::wstring>{L"01 : 00 : 00", L"03 : 30 : 00", L"03 : 46 : 40", Wide(w.dir.path)}));
        w.platform.Advance(66);  // the main window counts and saves behind it
        const fs::path first = w.platform.tempDirectory / "historia.csv", copy = w.platform.tempDirectory / "historia (2).csv";
        w.platform.Click(history.Command2);
        fs::remove(first), fs::create_directory(first);  // the first name taken: the next copy takes the next name
        w.platform.Click(history.Command2);
        EXPECT_EQ(w.platform.documents, (std::vector<std::pair<tk::Handle, std::wstring>>{{history.handle(), Wide(first)},
                                                                                          {history.handle(), Wide(copy)}}));
        EXPECT_NE(Read(w.dir / "historia.csv").find("2026-12-07;3664\r\n"), std::string::npos);  // at the save
        EXPECT_NE(Read(copy).find("2026-12-06;7200\r\n2026-12-07;3666\r\n2026-12-08;999\r\n"), std::string::npos);  // now
        w.platform.Click(history.Command1);
        EXPECT_FALSE(history.created());
    };
    w.platform.Choose(f.mnuPlikHistoria, f);
    EXPECT_TRUE(opened && !f.historyWindow());
}

}  // namespace
}  // namespace czasomir::test
