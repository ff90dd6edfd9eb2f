#include "core/elapsed_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace czasomir {
namespace {

struct Case {
    std::int32_t seconds;
    const wchar_t* text;
};

TEST(FormatElapsed, MatchesTheDisplayTableCharacterForCharacter) {
    const Case cases[] = {
        {0, L"00 : 00 : 00"},
        {59, L"00 : 00 : 59"},
        {60, L"00 : 01 : 00"},
        {3599, L"00 : 59 : 59"},
        {3600, L"01 : 00 : 00"},
        {3725, L"01 : 02 : 05"},
        {86399, L"23 : 59 : 59"},
        {86400, L"24 : 00 : 00"},
        {359999, L"99 : 59 : 59"},
        {360000, L"100 : 00 : 00"},
        {std::numeric_limits<std::int32_t>::max(), L"596523 : 14 : 07"},
        {-1, L"00 : 00 : -01"},
        {-60, L"00 : -01 : 00"},
        {-61, L"00 : -01 : -01"},
        {-3600, L"-01 : 00 : 00"},
        {-3725, L"-01 : -02 : -05"},
        {-36000, L"-10 : 00 : 00"},
        {std::numeric_limits<std::int32_t>::min(), L"-596523 : -14 : -08"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatElapsed(c.seconds), c.text) << "seconds " << c.seconds;
    }
}

}  // namespace
}  // namespace czasomir
