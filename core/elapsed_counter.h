// The running total of counted seconds: seconds stored from earlier runs plus
// the seconds of the current run, across any number of midnights. Its only
// input is the local time of day, passed in by the caller at each call.
#pragma once

#include <cstdint>
#include <exception>

namespace czasomir {

// A tick whose total would leave the signed 32-bit range (or whose day count
// would leave the signed 16-bit range).
struct CounterOverflow : std::exception {
    const char* what() const noexcept override { return "elapsed counter overflow"; }
};

inline constexpr std::int32_t kSecondsPerDay = 86400;

// A time-of-day reading (seconds since local midnight, 0..86400 with a
// fraction) in whole seconds, halves going to the even neighbour. Readings
// outside 0..86400, and NaN, are first brought to the nearest end of that range.
std::int32_t WholeSeconds(double reading);

class ElapsedCounter {
public:
    // The counter's state, readable by the window and the time file.
    std::int32_t StoredSeconds = 0;  // seconds counted before the current run
    std::int32_t StartTick = 0;      // whole seconds since midnight at which the run began
    std::int32_t TotalSeconds = 0;   // the total that is shown and saved
    std::int32_t NowTick = 0;        // whole seconds since midnight of the latest tick
    std::int16_t DayCount = 0;       // midnights counted since StartTick was last set
    std::int16_t PastMidnight = 0;   // true is -1, false 0

    void StartCounting(double reading);
    void StopCounting();
    void ResetCounter(double reading);
    // Returns the new TotalSeconds; throws CounterOverflow, leaving TotalSeconds as it was.
    std::int32_t Tick(double reading);

private:
    std::int32_t previousTick_ = 0;  // NowTick of the latest tick, or StartTick before the first
};

}  // namespace czasomir
