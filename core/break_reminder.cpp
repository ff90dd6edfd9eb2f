#include "core/break_reminder.h"

namespace czasomir {

namespace {

// More than this between two ticks on the tick count than on the run's clock: the computer slept.
constexpr double kSleptSeconds = 2;

}  // namespace

int BreakReminder::Tick(std::int32_t counted, std::uint32_t tickNow, std::uint32_t lastInputTick, double realTime) {
    const bool slept = ticked_ && (tickNow - lastTick_) / 1000.0 > realTime - lastReal_ + kSleptSeconds;
    ticked_ = true, lastTick_ = tickNow, lastReal_ = realTime;
    if (away_ || slept || IdleMilliseconds(tickNow, lastInputTick) >= idleLimit_) {
        stretch_ = 0, reminders_ = 0;
        return 0;
    }
    if (counted > 0) stretch_ += counted;
    if (everySeconds <= 0 || stretch_ < std::int64_t{everySeconds} * (reminders_ + 1)) return 0;
    reminders_ = static_cast<int>(stretch_ / everySeconds);  // once, however many lengths it holds
    return static_cast<int>(stretch_ / 60);
}

}  // namespace czasomir
