// What Timer2 does every 65.535 s: one save of the total, and one of a
// history of ten years (3,650 days), in a scratch directory (the current
// directory unless a path is given in CZASOMIR_BENCH_DIR). The history's own
// work (reading and writing its lines) is measured apart from the file
// operations: it must stay under 1 ms of CPU.
#include "storage/history_file.h"
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

// Ten years of days, each with a few hours.
czasomir::DayHistory TenYears() {
    czasomir::DayHistory history;
    for (std::int32_t day = 20794 - 3649; day <= 20794; ++day) history.Add(day, 3600 + day % 20000);
    return history;
}

void HistoryRead(benchmark::State& state) {
    const std::string text = czasomir::FormatHistory(TenYears());
    for (auto _ : state) benchmark::DoNotOptimize(czasomir::ParseHistory(text));
    state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(HistoryRead)->Unit(benchmark::kMicrosecond);

void HistoryWrite(benchmark::State& state) {
    const czasomir::DayHistory history = TenYears();
    for (auto _ : state) benchmark::DoNotOptimize(czasomir::FormatHistory(history));
}
BENCHMARK(HistoryWrite)->Unit(benchmark::kMicrosecond);

// A tick's share: today's seconds grow by one.
void HistoryCount(benchmark::State& state) {
    czasomir::DayHistory history = TenYears();
    for (auto _ : state) history.Count(20794, 43200, 1);
}
BENCHMARK(HistoryCount);

// The whole save, with its file operations.
void HistorySave(benchmark::State& state) {
    czasomir::HistoryFile file(ScratchDirectory());
    file.days() = TenYears();
    for (auto _ : state) file.Save();
}
BENCHMARK(HistorySave)->Unit(benchmark::kMicrosecond);

}  // namespace
