// Decimal digits of an integer, without the C library's formatted output (which
// would bring printf and locale code into the executable).
#pragma once

#include <cstdint>
#include <string>

namespace czasomir {

// The value's decimal digits, "-" first when it is negative ("-2147483648", "0", "42").
template <typename Char>
std::basic_string<Char> DecimalText(std::int64_t value) {
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    Char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<Char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::basic_string<Char> text;
    if (value < 0) text += static_cast<Char>('-');
    while (count > 0) text += digits[--count];
    return text;
}

}  // namespace czasomir
