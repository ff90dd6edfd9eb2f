#include "core/day_history.h"

#include <algorithm>
#include <utility>

#include "core/elapsed_counter.h"

namespace czasomir {

// From the end: the day sought is nearly always today, the last line.
DayHistory::Line* DayHistory::Find(std::int32_t day) {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
        if (it->counts() && it->day == day) return &*it;
    return nullptr;
}

void DayHistory::AppendDay(std::int32_t day, std::int32_t seconds, std::string_view text) {
    if (day <= latest_ && Find(day)) return AppendText(std::string(text));
    lines_.push_back({day, seconds});
    latest_ = std::max(latest_, day);
}

void DayHistory::AppendText(std::string text) {
    lines_.push_back({0, 0, static_cast<std::int32_t>(texts_.size())});
    texts_.push_back(std::move(text));
}

std::int32_t DayHistory::Seconds(std::int32_t day) const {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
        if (it->counts() && it->day == day) return it->seconds;
    return 0;
}

std::int64_t DayHistory::Sum(std::int32_t last, int count) const {
    std::int64_t sum = 0;
    for (const Line& line : lines_)
        if (line.counts() && line.day <= last && line.day > last - count) sum += line.seconds;
    return sum;
}

void DayHistory::Add(std::int32_t day, std::int32_t seconds) {
    if (Line* line = Find(day)) {
        const std::int64_t sum = std::int64_t{line->seconds} + seconds;
        line->seconds = static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, 0, kMostSecondsPerDay));
        return;
    }
    if (seconds <= 0) return;
    // Before the first later day, else at the end.
    auto at = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) { return l.counts() && l.day > day; });
    lines_.insert(at, {day, std::min(seconds, kMostSecondsPerDay)});
    latest_ = std::max(latest_, day);
}

void DayHistory::Count(std::int32_t today, double timeOfDay, std::int32_t change) {
    const int sign = change < 0 ? -1 : 1;
    std::int64_t left = std::int64_t{change} * sign;
    std::int64_t window = WholeSeconds(timeOfDay);  // the part of the day that has passed
    for (std::int32_t day = today; left > 0; --day, window = kSecondsPerDay) {
        const std::int64_t share = std::min(left, window);
        if (share > 0) Add(day, static_cast<std::int32_t>(share * sign));
        left -= share;
    }
}

void DayHistory::Merge(const DayHistory& other) {
    for (const Line& line : other.lines_)
        if (line.counts()) Add(line.day, line.seconds);
}

}  // namespace czasomir
