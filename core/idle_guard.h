// Counting while nobody uses the computer: when the user asks for it, counting
// pauses while the session is locked or disconnected and while no keyboard or
// mouse input has come for a while (5 minutes), and the time counted since the
// last input is given back when that while is reached. Decisions only: the
// window feeds it the tick count, the last input's moment, the session's
// changes and the total, and applies what it answers to its counter.
#pragma once

#include <cstdint>

namespace czasomir {

// Milliseconds since the last input, from two readings of Windows' tick count,
// which wraps after 49.7 days: the difference in unsigned 32-bit arithmetic. A
// difference of 2^31 ms or more means an input stamped later than now (input
// injected with a time of its own), and counts as no idle time.
std::uint32_t IdleMilliseconds(std::uint32_t tickNow, std::uint32_t lastInputTick);

// What the session did, as Windows reports it.
enum class SessionEvent { Lock, Unlock, Disconnect, Connect };

class IdleGuard {
public:
    static constexpr std::uint32_t kIdleLimitMs = 5 * 60 * 1000;
    explicit IdleGuard(std::uint32_t idleLimitMs = kIdleLimitMs) : limit_(idleLimitMs) {}

    bool on = false;  // the option; off, nothing pauses
    bool paused() const { return paused_; }

    // Counting starts, or the option changes: this moment stands for an input,
    // and nothing counted before it can be taken back.
    void Restart(std::uint32_t tickNow, std::uint32_t lastInputTick, std::int32_t total);
    // The user stopped counting: a pause ends with it, and only a Start counts again.
    void Stopped() { paused_ = false; }
    // The total was set to zero: nothing from before can be taken back.
    void TotalReset() { totalAtInput_ = 0; }
    // The session changed at `realTime` on the run's clock; `lastInputTick` is
    // the last input's moment then (input at the lock screen does not resume).
    void SessionChanged(SessionEvent event, double realTime, std::uint32_t lastInputTick);

    // How far the counter may count at this tick: up to the moment of a lock
    // or disconnection that is about to pause it, else up to `realTime`.
    double CountUntil(double realTime) const;

    // One tick while counting is on, after the counter counted: the total now.
    // The absence is measured on Windows' tick count, which goes on in sleep:
    // a sleep is time away from the desk. When it ends with an input (the key
    // that woke the computer) before a tick could see the idle time, that
    // input's distance from the one before decides the same way.
    struct Step {
        bool pause = false;          // stop the counter now
        bool resume = false;         // start it again now
        bool input = false;          // an input came: nothing counted before it is taken back any more
        std::int32_t takeBack = 0;   // seconds to take from the total (after it counted this tick)
    };
    Step Tick(std::uint32_t tickNow, std::uint32_t lastInputTick, std::int32_t total);

private:
    bool away() const { return locked_ || disconnected_; }
    std::int32_t TakeBack(std::int32_t total) const;  // all counted since the input

    std::uint32_t limit_;
    bool paused_ = false;
    bool locked_ = false, disconnected_ = false;
    double awaySince_ = 0;              // run's clock, when the lock or disconnection began
    std::uint32_t seenInput_ = 0;       // the last input's moment at the latest tick
    std::uint32_t resumeAfter_ = 0;     // while paused: only an input later than this resumes
    bool sinceRestart_ = false;         // no input since Restart: idle time counts from restartTick_
    std::uint32_t restartTick_ = 0;
    std::int32_t totalAtInput_ = 0;     // the total when the last input came
};

}  // namespace czasomir
