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

void DayHistory::Count(std::int32_t today, double timeOfDay, std::int32_t change, RecentDays* recent) {
    const int sign = change < 0 ? -1 : 1;
    std::int64_t left = std::int64_t{change} * sign;
    if (recent && sign < 0) left -= recent->TakeBack(*this, static_cast<std::int32_t>(left));
    std::int64_t window = WholeSeconds(timeOfDay);  // the part of the day that has passed
    for (std::int32_t day = today; left > 0; --day, window = kSecondsPerDay) {
        const std::int64_t share = std::min(left, window);
        if (share > 0) Add(day, static_cast<std::int32_t>(share * sign));
        if (share > 0 && recent && sign > 0) recent->Add(day, static_cast<std::int32_t>(share));
        left -= share;
    }
}

void RecentDays::Add(std::int32_t day, std::int32_t seconds) {
    if (days_.empty() || days_.back().day != day) days_.push_back({day, 0});
    days_.back().seconds += seconds;
}

std::int32_t RecentDays::TakeBack(DayHistory& history, std::int32_t seconds) {
    std::int32_t taken = 0;
    while (taken < seconds && !days_.empty()) {
        DayHistory::Line& latest = days_.back();
        const std::int32_t share = std::min(seconds - taken, latest.seconds);
        history.Add(latest.day, -share);
        taken += share;
        if ((latest.seconds -= share) == 0) days_.pop_back();
    }
    return taken;
}

void DayHistory::Merge(const DayHistory& other) {
    for (const Line& line : other.lines_)
        if (line.counts()) Add(line.day, line.seconds);
}

}  // namespace czasomir
