// The seconds counted on each local calendar day, in the order the history
// file keeps them: one line a day, oldest first, with any line that could not
// be read kept where it was, as it was, counting for nothing.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace czasomir {

// The most one day holds: a 25-hour day (the autumn change of summer time).
inline constexpr std::int32_t kMostSecondsPerDay = 90000;

class RecentDays;

class DayHistory {
public:
    struct Line {
        std::int32_t day = 0;      // day number (core/calendar.h)
        std::int32_t seconds = 0;  // 0..kMostSecondsPerDay
        std::int32_t kept = -1;    // a line that could not be read: its text is texts()[kept]
        bool counts() const { return kept < 0; }
    };

    const std::vector<Line>& lines() const { return lines_; }
    const std::vector<std::string>& texts() const { return texts_; }
    void Reserve(std::size_t lines) { lines_.reserve(lines); }

    // The file's lines, in its order. A second line for a day already there is
    // kept as its text: only the first counts.
    void AppendDay(std::int32_t day, std::int32_t seconds, std::string_view text);
    void AppendText(std::string text);

    // The day's seconds; 0 for a day without a line.
    std::int32_t Seconds(std::int32_t day) const;
    // The seconds of `count` days ending with `last`.
    std::int64_t Sum(std::int32_t last, int count) const;

    // Adds (or, negative, takes back) seconds on one day: never above
    // kMostSecondsPerDay, never below 0. A new day gets its line in date order.
    void Add(std::int32_t day, std::int32_t seconds);

    // A change of the total, counted at the local date `today` and time of day
    // `timeOfDay` (seconds since midnight): the seconds since the local
    // midnight go to today, any before it to the days before, a day at a time.
    // A negative change is taken back the same way. With `recent`, what is
    // counted is noted there too, and what is taken back is taken first from
    // the days noted there.
    void Count(std::int32_t today, double timeOfDay, std::int32_t change, RecentDays* recent = nullptr);

    // Adds every day of another history to this one.
    void Merge(const DayHistory& other);

private:
    Line* Find(std::int32_t day);
    std::vector<Line> lines_;  // small: ten years of them take less than 48 KB
    std::vector<std::string> texts_;
    std::int32_t latest_ = INT32_MIN;  // the latest day with a line: a later one is surely new
};

// The seconds counted on each day since a moment (the last input): taken back,
// they come off the days that got them, the latest counted first, though the
// computer may have slept past midnight since.
class RecentDays {
public:
    void Clear() { days_.clear(); }
    void Add(std::int32_t day, std::int32_t seconds);
    // Takes up to `seconds` off the days noted, from `history` too; returns how many.
    std::int32_t TakeBack(DayHistory& history, std::int32_t seconds);

private:
    std::vector<DayHistory::Line> days_;  // in the order counted; a day or two
};

}  // namespace czasomir
