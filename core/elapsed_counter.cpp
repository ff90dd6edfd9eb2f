#include "core/elapsed_counter.h"

#include <cmath>
#include <limits>

namespace czasomir {

namespace {

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// Exact 64-bit result of a 32-bit step, refused when it does not fit.
std::int32_t Checked(std::int64_t exact) {
    if (exact < std::numeric_limits<std::int32_t>::min() ||
        exact > std::numeric_limits<std::int32_t>::max()) {
        throw CounterOverflow();
    }
    return static_cast<std::int32_t>(exact);
}

}  // namespace

std::int32_t WholeSeconds(double reading) {
    if (!(reading >= 0.0)) return 0;  // also NaN
    if (reading >= kSecondsPerDay) return kSecondsPerDay;
    double whole = std::floor(reading);
    const double fraction = reading - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<std::int32_t>(whole);
}

void ElapsedCounter::StartCounting(double timeOfDay, double realTime) {
    StartTick = WholeSeconds(timeOfDay);
    startReading_ = !(timeOfDay >= 0.0) ? 0.0 : timeOfDay > kSecondsPerDay ? kSecondsPerDay : timeOfDay;
    startRealTime_ = realTime;
    elapsed_ = 0;
    DayCount = 0;
}

void ElapsedCounter::StopCounting() {
    StoredSeconds = TotalSeconds;
}

void ElapsedCounter::ResetCounter(double timeOfDay, double realTime) {
    StoredSeconds = 0;
    TotalSeconds = 0;
    StartCounting(timeOfDay, realTime);
}

std::int32_t ElapsedCounter::Tick(double realTime) {
    // A reading that is not later than the last one (or is NaN) leaves the run as long as it was.
    if (realTime - startRealTime_ > elapsed_) elapsed_ = realTime - startRealTime_;
    const double reading = startReading_ + elapsed_;
    const double days = std::floor(reading / kSecondsPerDay);
    if (!(days <= std::numeric_limits<std::int16_t>::max())) throw CounterOverflow();
    NowTick = WholeSeconds(reading - days * kSecondsPerDay);

    // PastMidnight marks the early hours of a counted day: set by the tick that
    // counts a midnight, cleared once the time of day is above StartTick again.
    const auto day = static_cast<std::int16_t>(days);
    if (day > DayCount) PastMidnight = kTrue;
    DayCount = day;
    if (NowTick > StartTick) PastMidnight = kFalse;

    const std::int32_t d = Checked(std::int64_t{NowTick} - StartTick);
    const std::int32_t s = Checked(std::int64_t{d} + StoredSeconds);
    const std::int32_t p = Checked(std::int64_t{DayCount} * kSecondsPerDay);
    TotalSeconds = Checked(std::int64_t{s} + p);
    return TotalSeconds;
}

}  // namespace czasomir
