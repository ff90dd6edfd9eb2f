// Counting follows real time: changes of the wall clock, the time zone and
// summer time add nothing, and a sleep adds its real length.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/elapsed_text.h"
#include "tests/ui_main/fixture.h"

namespace czasomir::test {
namespace {

constexpr double kHour = 3600, kDay = 86400;

struct Event {
    enum { Pass, SetClock, Sleep, Reset } kind;
    double seconds = 0;  // time passing, the clock's change, the sleep's length
};
Event Pass(double s) { return {Event::Pass, s}; }
Event SetClock(double s) { return {Event::SetClock, s}; }
Event Sleep(double s) { return {Event::Sleep, s}; }
const Event Reset{Event::Reset};

struct Case {
    const char* name;
    double startTime;  // wall clock time of day when Start is pressed
    std::vector<Event> events;
    int expected;  // seconds since Start (or the last Reset), on top of the stored 100
};

TEST(RealTime, TotalsAreTheRealTimeWhateverTheWallClockDoes) {
    const Case cases[] = {
        {"clock set back 2 s just after Start", 10 * kHour, {Pass(1), SetClock(-2), Pass(59)}, 60},
        {"clock set back an hour", 10 * kHour, {Pass(600), SetClock(-kHour), Pass(600)}, 1200},
        {"clock set forward an hour", 10 * kHour, {Pass(600), SetClock(kHour), Pass(600)}, 1200},
        {"zone 6 h west, back across midnight", 2 * kHour, {Pass(1800), SetClock(-6 * kHour), Pass(7200)}, 9000},
        {"zone 6 h east, on across midnight", 21 * kHour, {Pass(1800), SetClock(6 * kHour), Pass(3600)}, 5400},
        {"autumn change, started in the repeated hour", 2.5 * kHour, {Pass(1800), SetClock(-kHour), Pass(3600)}, 5400},
        {"spring change, started just before the skipped hour", 1.75 * kHour,
         {Pass(900), SetClock(kHour), Pass(1800)}, 2700},
        {"sleep of 25 h across the start time", 20 * kHour, {Pass(600), Sleep(25 * kHour), Pass(600)}, 91200},
        {"sleep of three days", 10 * kHour, {Pass(60), Sleep(3 * kDay), Pass(60)}, 259320},
        {"three midnights, no clock change", 22 * kHour, {Pass(3 * kDay)}, 259200},
        {"reset after clock changes", 10 * kHour,
         {Pass(100), SetClock(-kHour), Reset, Pass(100), SetClock(2 * kHour), Pass(50)}, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        w.platform.now = c.startTime;
        Form1& f = w.Start("100\r\n");
        f.Timer2.setEnabled(false);  // days of saves would make this slow; closing saves
        w.platform.Click(f.Command1);
        int stored = 100, last = 100;
        // The display never moves backwards while counting (a Reset aside).
        auto check = [&] {
            EXPECT_GE(f.Counter.TotalSeconds, last);
            last = f.Counter.TotalSeconds;
        };
        for (const Event& e : c.events) {
            switch (e.kind) {
                case Event::Pass:
                    for (double left = e.seconds; left > 0; left -= 60) {
                        w.platform.Advance(std::min(left, 60.0));
                        check();
                    }
                    break;
                case Event::SetClock: w.platform.wallClockShift += e.seconds; break;
                case Event::Sleep: w.platform.Sleep(e.seconds); check(); break;
                case Event::Reset: w.platform.Choose(f.mnuPlikZresetuj, f); stored = last = 0; break;
            }
        }
        EXPECT_EQ(f.Counter.TotalSeconds, stored + c.expected);
        EXPECT_EQ(w.Display(), FormatElapsed(stored + c.expected));
        w.platform.Close(f);
        EXPECT_EQ(w.Saved(), std::to_string(stored + c.expected) + "\r\n");
    }
}

}  // namespace
}  // namespace czasomir::test
