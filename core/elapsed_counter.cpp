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

void ElapsedCounter::StartCounting(double reading) {
    StartTick = WholeSeconds(reading);
    DayCount = 0;
    previousTick_ = StartTick;
}

void ElapsedCounter::StopCounting() {
    StoredSeconds = TotalSeconds;
}

void ElapsedCounter::ResetCounter(double reading) {
    StoredSeconds = 0;
    TotalSeconds = 0;
    StartTick = WholeSeconds(reading);
    DayCount = 0;
    previousTick_ = StartTick;
}

std::int32_t ElapsedCounter::Tick(double reading) {
    NowTick = WholeSeconds(reading);
    const std::int32_t previous = previousTick_;
    previousTick_ = NowTick;

    // A midnight is normally seen as the time of day falling below StartTick,
    // counted once until the time of day rises above StartTick again. A run that
    // began at 0 or 86400 (in the half second either side of midnight) can never
    // see one of those two events, so it would lose every day after the first
    // (86400) or the first day itself (0). For those runs alone a midnight is
    // the time of day falling below the previous tick's, whatever PastMidnight
    // holds: each wrap of the clock counts exactly one day.
    const bool boundaryRun = StartTick == 0 || StartTick == kSecondsPerDay;
    const bool midnight = boundaryRun ? NowTick < previous
                                      : NowTick < StartTick && PastMidnight == kFalse;
    if (midnight) {
        PastMidnight = kTrue;
        if (DayCount == std::numeric_limits<std::int16_t>::max()) throw CounterOverflow();
        ++DayCount;
    }
    if (NowTick > StartTick) PastMidnight = kFalse;

    const std::int32_t d = Checked(std::int64_t{NowTick} - StartTick);
    const std::int32_t s = Checked(std::int64_t{d} + StoredSeconds);
    const std::int32_t p = Checked(std::int64_t{DayCount} * kSecondsPerDay);
    TotalSeconds = Checked(std::int64_t{s} + p);
    return TotalSeconds;
}

}  // namespace czasomir
