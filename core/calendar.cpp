#include "core/calendar.h"

namespace czasomir {

namespace {

// Eras of 400 years (146097 days) starting on March 1st, so that the leap day
// is the last day of a year.
constexpr std::int32_t kDaysPerEra = 146097;
constexpr std::int32_t kEraOfEpoch = 719468;  // days from 0000-03-01 to 1970-01-01

std::int32_t FloorDiv(std::int32_t a, std::int32_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

bool IsLeap(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

}  // namespace

std::int32_t DayNumber(const CivilDate& date) {
    const int year = date.year - (date.month <= 2);
    const std::int32_t era = FloorDiv(year, 400);
    const int yearOfEra = year - era * 400;
    const int monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
    const int dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPerEra + dayOfEra - kEraOfEpoch;
}

CivilDate DateOfDay(std::int32_t day) {
    const std::int32_t shifted = day + kEraOfEpoch;
    const std::int32_t era = FloorDiv(shifted, kDaysPerEra);
    const int dayOfEra = shifted - era * kDaysPerEra;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    date.month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    date.year = yearOfEra + era * 400 + (date.month <= 2);
    return date;
}

bool IsValidDate(const CivilDate& date) {
    static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) return false;
    return date.day <= kLength[date.month - 1] + (date.month == 2 && IsLeap(date.year));
}

int Weekday(std::int32_t day) {
    const std::int32_t fromMonday = day + 3;  // 1970-01-01 was a Thursday
    return static_cast<int>(fromMonday - FloorDiv(fromMonday, 7) * 7);
}

}  // namespace czasomir
