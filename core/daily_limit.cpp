#include "core/daily_limit.h"

#include "core/calendar.h"

namespace czasomir {

bool DailyLimit::Check(std::int32_t day, std::int32_t todaySeconds, bool mayNotify) {
    over_ = limitSeconds > 0 && todaySeconds >= limitSeconds;
    if (!over_ || !mayNotify || notifiedDay == day) return false;
    notifiedDay = day;
    return true;
}

std::wstring DayText(std::int32_t day) {
    const CivilDate date = DateOfDay(day);
    std::wstring text = L"0000-00-00";
    for (int i = 3, y = date.year; i >= 0; --i, y /= 10) text[i] = static_cast<wchar_t>(L'0' + y % 10);
    text[5] = static_cast<wchar_t>(L'0' + date.month / 10), text[6] = static_cast<wchar_t>(L'0' + date.month % 10);
    text[8] = static_cast<wchar_t>(L'0' + date.day / 10), text[9] = static_cast<wchar_t>(L'0' + date.day % 10);
    return text;
}

std::optional<int> NumberIn(const std::wstring& text, int least, int most) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value < least || value > most) return std::nullopt;
    return value;
}

}  // namespace czasomir
