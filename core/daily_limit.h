// The daily limit: once today's time (the local calendar day's) reaches the
// limit the user set, one notification that day, and "over the limit" shown
// while today stays at or above it. Decisions only: the window feeds it the
// day and today's seconds and shows what it answers.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace czasomir {

class DailyLimit {
public:
    std::int32_t limitSeconds = 0;  // 0: off
    // The day the notification was given (kept across runs), else none.
    std::int32_t notifiedDay = std::numeric_limits<std::int32_t>::min();

    bool over() const { return over_; }
    // Today's time now, on `day`; `mayNotify` while counting or when the limit
    // was just set. True when the notification is due now: then it counts as given.
    bool Check(std::int32_t day, std::int32_t todaySeconds, bool mayNotify);

private:
    bool over_ = false;
};

// A day as RRRR-MM-DD.
std::wstring DayText(std::int32_t day);

// A whole number typed by the user (digits only) when it lies in [least, most].
std::optional<int> NumberIn(const std::wstring& text, int least, int most);

}  // namespace czasomir
