// What Timer1 does five times a second: one tick of the counter and its display text.
#include "core/elapsed_counter.h"
#include "core/elapsed_text.h"

#include <benchmark/benchmark.h>

namespace {

void TickAndFormat(benchmark::State& state) {
    czasomir::ElapsedCounter counter;
    counter.StoredSeconds = 3725;
    counter.StartCounting(36000.0, 0.0);
    double realTime = 0.0;  // midnights come every 432000 ticks
    for (auto _ : state) {
        realTime += 0.2;
        benchmark::DoNotOptimize(czasomir::FormatElapsed(counter.Tick(realTime)));
    }
}
BENCHMARK(TickAndFormat);

// The baseline: the display text alone.
void FormatOnly(benchmark::State& state) {
    std::int32_t seconds = 3725;
    for (auto _ : state) benchmark::DoNotOptimize(czasomir::FormatElapsed(++seconds));
}
BENCHMARK(FormatOnly);

}  // namespace
