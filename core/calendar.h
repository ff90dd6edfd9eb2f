// Calendar dates as day numbers: days since 1970-01-01 in the proleptic
// Gregorian calendar (negative before it). Day numbers make "the day before"
// and "the last 7 days" plain arithmetic.
#pragma once

#include <cstdint>

namespace czasomir {

struct CivilDate {
    int year = 1970, month = 1, day = 1;  // month 1..12, day 1..31
    bool operator==(const CivilDate&) const = default;
};

// The day number of a date; the date must be valid (see IsValidDate).
std::int32_t DayNumber(const CivilDate& date);
// The date of a day number.
CivilDate DateOfDay(std::int32_t day);
// True for a real date of years 1..9999.
bool IsValidDate(const CivilDate& date);
// 0 for Monday ... 6 for Sunday.
int Weekday(std::int32_t day);

}  // namespace czasomir
