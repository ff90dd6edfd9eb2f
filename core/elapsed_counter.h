// The running total of counted seconds: seconds stored from earlier runs plus
// the seconds of the current run, across any number of midnights. It takes two
// clocks, both read by the caller at each call: the local time of day at the
// start of a run, and a real-time clock whose readings measure the run. A run
// lasts exactly the real time that has passed, so changes of the wall clock or
// the time zone neither add nor take away time, and a sleep counts in full.
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
    std::int32_t NowTick = 0;        // whole seconds since midnight of the latest tick, on the run's clock
    std::int16_t DayCount = 0;       // midnights the run's clock has passed since StartTick was last set
    std::int16_t PastMidnight = 0;   // true is -1, false 0

    // timeOfDay: the local time of day (0..86400, with a fraction); realTime:
    // seconds on a clock that runs on through sleep and ignores changes of the
    // wall clock, from any origin.
    void StartCounting(double timeOfDay, double realTime);
    void StopCounting();
    void ResetCounter(double timeOfDay, double realTime);
    // The run's clock is the start's time of day moved on by the real time
    // since; each 86400 s of it is one midnight, whether or not a tick fell
    // near it. Returns the new TotalSeconds; throws CounterOverflow, leaving
    // TotalSeconds as it was.
    std::int32_t Tick(double realTime);

private:
    double startReading_ = 0;   // the time of day of the run's start, within 0..86400
    double startRealTime_ = 0;  // the real-time reading then
    double elapsed_ = 0;        // real seconds of the run at the latest tick; never falls
};

}  // namespace czasomir
