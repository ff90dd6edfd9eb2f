// Test helper: saves a changing total to czas.dat in the working directory,
// as fast as it can, until it is killed. The total's magnitude grows by one at
// each save and its sign alternates, so the line's length changes each time.
#include "storage/time_file.h"
#include "test_dir.h"

#include <cstdlib>
#include <filesystem>

int main() {
    const czasomir::TimeFile file(czasomir::test::Wide(std::filesystem::current_path()));
    czasomir::ElapsedCounter counter;
    file.LoadOrCreate(counter);
    std::int64_t step = std::llabs(counter.StoredSeconds);
    for (;;) {
        ++step;
        counter.TotalSeconds = static_cast<std::int32_t>(step % 2 ? step : -step);
        try {
            file.SaveTotal(counter);
        } catch (const czasomir::SaveFailed&) {
            // the test's reader held the file for too long: the next save tries again
        }
    }
}
