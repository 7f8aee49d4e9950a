// Code-page conversion of typed characters to the fonts' code page 437.
#include <gtest/gtest.h>

#include "runtime/intl.h"

namespace {
uint8_t convert(uint8_t ch, int32_t from, int32_t to) {
    char c = static_cast<char>(ch);
    EXPECT_EQ(zq_hIntlConvertString(&c, 1, from, to), 0);
    return static_cast<uint8_t>(c);
}

TEST(Intl, Cp1252To437) {
    struct Case {
        uint8_t in, out;
    } cases[] = {
        {0x00, 0x00}, {0x7F, 0x7F},               // ASCII unchanged
        {0xC7, 0x80}, {0xFF, 0x98},               // C cedilla, y diaeresis
        {0x83, 0x9F}, {0xA0, 0xFF},               // f hook (0x80..0x9F block), no-break space
        {0x80, '?'},  {0xC0, '?'},  {0x81, '?'},  // euro, A grave, unassigned: none in 437
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert(c.in, ZQ_CP_1252, ZQ_CP_437), c.out) << std::hex << int(c.in);
    }
}

// Every 437 character that 1252 also has comes back unchanged: the tables
// agree with each other in both directions.
TEST(Intl, RoundTripThrough1252) {
    int32_t shared = 0;
    for (int32_t b = 0x80; b < 0x100; ++b) {
        uint8_t via = convert(static_cast<uint8_t>(b), ZQ_CP_437, ZQ_CP_1252);
        if (via == '?') continue;
        ++shared;
        EXPECT_EQ(convert(via, ZQ_CP_1252, ZQ_CP_437), b) << std::hex << b;
    }
    EXPECT_GT(shared, 50);
}

TEST(Intl, AnsiIs1252HereAndUnknownPagesAreRefused) {
    EXPECT_EQ(convert(0xE9, ZQ_CP_ANSI, ZQ_CP_437), 0x82);
    char text[] = "\xE9t\xE9";
    EXPECT_EQ(zq_hIntlConvertString(text, 3, ZQ_CP_1252, ZQ_CP_437), 0);
    EXPECT_STREQ(text, "\x82t\x82");
    char kept = static_cast<char>(0xE9);
    EXPECT_EQ(zq_hIntlConvertString(&kept, 1, ZQ_CP_1252, 65001), -1);
    EXPECT_EQ(static_cast<uint8_t>(kept), 0xE9);
}
}  // namespace
