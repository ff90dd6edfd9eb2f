#include "core/elapsed_text.h"

#include "core/decimal_text.h"

namespace czasomir {

namespace {

// The value with at least two digits, a "-" in front when negative.
void AppendField(std::wstring& text, std::int64_t value) {
    if (value < 0) {
        text += L'-';
        value = -value;
    }
    if (value < 10) text += L'0';
    text += DecimalText<wchar_t>(value);
}

}  // namespace

std::wstring FormatElapsed(std::int32_t seconds) {
    // Division truncates toward zero, so each field takes the sign of the total.
    const std::int64_t total = seconds;
    const std::int64_t hours = total / 3600;
    const std::int64_t minutes = total % 3600 / 60;
    const std::int64_t secs = total % 60;
    std::wstring text;
    AppendField(text, hours);
    text += L" : ";
    AppendField(text, minutes);
    text += L" : ";
    AppendField(text, secs);
    return text;
}

}  // namespace czasomir
