// A reminder to take a break: after a stretch of counting without a break, a
// reminder, and again after each further stretch of that length, until a
// break. A break is the idle time without input (5 minutes), a lock or a
// disconnection, a Stop, or a sleep or standby; time not counted never adds to
// the stretch. Decisions only: the window feeds it each tick's counted
// seconds, the tick count, the last input's moment and the run's clock.
#pragma once

#include <cstdint>

#include "core/idle_guard.h"

namespace czasomir {

class BreakReminder {
public:
    explicit BreakReminder(std::uint32_t idleLimitMs = IdleGuard::kIdleLimitMs) : idleLimit_(idleLimitMs) {}

    std::int32_t everySeconds = 0;  // the stretch's length; 0: off (the stretch is followed all the same)

    // A Stop or a Start: the stretch ends.
    void Break() { stretch_ = 0, reminders_ = 0, ticked_ = false; }
    // The session was locked or disconnected (true), or is back (false): a break while away.
    void Away(bool away) { away_ = away, Break(); }
    // One tick while counting is on: the seconds the total gained since the
    // last tick, the tick count (runs on in sleep), the last input's moment on
    // it and the run's clock (stops in sleep). The stretch's whole minutes when
    // a reminder is due now, else 0.
    int Tick(std::int32_t counted, std::uint32_t tickNow, std::uint32_t lastInputTick, double realTime);

private:
    std::uint32_t idleLimit_;
    bool away_ = false;
    bool ticked_ = false;  // lastTick_ and lastReal_ hold the last tick's readings
    std::uint32_t lastTick_ = 0;
    double lastReal_ = 0;
    std::int64_t stretch_ = 0;  // seconds counted since the last break
    int reminders_ = 0;         // given in this stretch
};

}  // namespace czasomir
