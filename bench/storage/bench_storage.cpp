// What Timer2 does every 65.535 s: one save of the total, in a scratch
// directory (the current directory unless a path is given in CZASOMIR_BENCH_DIR).
#include "storage/time_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::wstring ScratchDirectory() {
    const char* chosen = std::getenv("CZASOMIR_BENCH_DIR");
    auto dir = (chosen ? std::filesystem::path(chosen) : std::filesystem::current_path()) / "czasomir-bench";
    std::filesystem::create_directories(dir);
#ifdef _WIN32
    return dir.wstring();
#else
    const std::u32string text = dir.u32string();  // UTF-8 decoded, whatever the locale
    return std::wstring(text.begin(), text.end());
#endif
}

void SaveTotal(benchmark::State& state) {
    const czasomir::TimeFile file(ScratchDirectory());
    czasomir::ElapsedCounter counter;
    for (auto _ : state) {
        ++counter.TotalSeconds;
        file.SaveTotal(counter);
    }
}
BENCHMARK(SaveTotal)->Unit(benchmark::kMicrosecond);

// The baseline: loading the file back, which flushes nothing to the disk.
void LoadOrCreate(benchmark::State& state) {
    const czasomir::TimeFile file(ScratchDirectory());
    file.SaveTotal(czasomir::ElapsedCounter{});
    for (auto _ : state) {
        czasomir::ElapsedCounter counter;
        file.LoadOrCreate(counter);
        benchmark::DoNotOptimize(counter.TotalSeconds);
    }
}
BENCHMARK(LoadOrCreate)->Unit(benchmark::kMicrosecond);

}  // namespace
