// The further readings of the value inspector: byte order, floats, the
// UTF-8 and UTF-16 character, Unix times and the DOS date-time. Expected
// texts and bytes are those Python's struct and str.encode and date -u give.
#include <gtest/gtest.h>

#include "inspect/value_forms.h"

namespace quorby::inspect {
namespace {

TEST(ValueForms, ByteOrderAppliesToEveryWidth) {
    const std::uint8_t b[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(orderedValue(b, 2, false), 0x0201u);
    EXPECT_EQ(orderedValue(b, 2, true), 0x0102u);
    EXPECT_EQ(orderedValue(b, 4, true), 0x01020304u);
    EXPECT_EQ(orderedValue(b, 8, false), 0x0807060504030201u);
    EXPECT_EQ(orderedValue(b, 8, true), 0x0102030405060708u);
    std::uint8_t out[8] = {};
    putOrderedValue(out, 4, 0xAABBCCDD, true);
    EXPECT_EQ(out[0], 0xAA);
    EXPECT_EQ(out[3], 0xDD);
    putOrderedValue(out, 4, 0xAABBCCDD, false);
    EXPECT_EQ(out[0], 0xDD);
    EXPECT_EQ(out[3], 0xAA);
}

TEST(ValueForms, FloatsShowTheShortestTextAndTypedTextsGiveExactBits) {
    EXPECT_EQ(floatText(0x4048F5C3), "3.14");
    EXPECT_EQ(floatText(0x3FC00000), "1.5");
    EXPECT_EQ(floatText(0x80000000), "-0");
    EXPECT_EQ(floatText(0x00000001), "1e-45");
    EXPECT_EQ(floatText(0x7F800000), "inf");
    EXPECT_EQ(floatText(0x7FC00000), "nan");
    EXPECT_EQ(doubleText(0xC004000000000000), "-2.5");
    std::uint32_t f = 0;
    ASSERT_EQ(parseFloat(" 3.14 ", &f), 0);
    EXPECT_EQ(f, 0x4048F5C3u);
    ASSERT_EQ(parseFloat("+1e-45", &f), 0);
    EXPECT_EQ(f, 1u);
    ASSERT_EQ(parseFloat("-inf", &f), 0);
    EXPECT_EQ(f, 0xFF800000u);
    ASSERT_EQ(parseFloat("nan", &f), 0);
    EXPECT_EQ(f & 0x7F800000u, 0x7F800000u);
    EXPECT_NE(f & 0x007FFFFFu, 0u);
    std::uint64_t d = 0;
    ASSERT_EQ(parseDouble("-2.5", &d), 0);
    EXPECT_EQ(d, 0xC004000000000000u);
    f = 7;
    EXPECT_EQ(parseFloat("1e50", &f), 1);  // beyond a float's range
    EXPECT_EQ(parseFloat("1.5x", &f), 1);
    EXPECT_EQ(parseFloat("", &f), 1);
    EXPECT_EQ(parseFloat("1,5", &f), 1);
    EXPECT_EQ(f, 7u);
}

TEST(ValueForms, CharactersInUtf8AndUtf16) {
    struct Case {
        std::uint8_t bytes[5];
        int length;
        std::uint32_t cp;
    };
    const Case utf8[] = {
        {{0x41}, 1, 0x41},
        {{0xC3, 0xA9}, 2, 0xE9},
        {{0xE2, 0x82, 0xAC}, 3, 0x20AC},
        {{0xF0, 0x9F, 0x98, 0x80}, 4, 0x1F600},
        {{0x80}, 0, 0},                    // a continuation byte
        {{0xC0, 0x80}, 0, 0},              // an overlong NUL
        {{0xE0, 0x80, 0x80}, 0, 0},        // overlong
        {{0xED, 0xA0, 0x80}, 0, 0},        // a surrogate
        {{0xF4, 0x90, 0x80, 0x80}, 0, 0},  // beyond U+10FFFF
        {{0xC3, 0x41}, 0, 0},              // cut short
        {{0xFF}, 0, 0},
    };
    for (const Case& c : utf8) {
        std::uint32_t cp = 0;
        EXPECT_EQ(utf8Sequence(c.bytes, 5, &cp), c.length) << std::hex << int(c.bytes[0]);
        if (c.length) {
            EXPECT_EQ(cp, c.cp);
        }
    }
    std::uint32_t cp = 0;
    const std::uint8_t cut[] = {0xE2, 0x82};
    EXPECT_EQ(utf8Sequence(cut, 2, &cp), 0);  // the file ends within it

    const std::uint8_t le[] = {0x3D, 0xD8, 0x00, 0xDE}, be[] = {0xD8, 0x3D, 0xDE, 0x00};
    EXPECT_EQ(utf16Sequence(le, false, &cp), 4);
    EXPECT_EQ(cp, 0x1F600u);
    EXPECT_EQ(utf16Sequence(be, true, &cp), 4);
    EXPECT_EQ(cp, 0x1F600u);
    EXPECT_EQ(utf16Sequence(le, true, &cp), 2);  // 3D D8 read big-endian is U+3DD8
    EXPECT_EQ(cp, 0x3DD8u);
    const std::uint8_t lone[] = {0x00, 0xDC, 0x41, 0x00};
    EXPECT_EQ(utf16Sequence(lone, false, &cp), 0);

    std::uint8_t out[4];
    ASSERT_EQ(encodeUtf8(0x20AC, out), 3);
    EXPECT_EQ(out[0], 0xE2);
    EXPECT_EQ(out[2], 0xAC);
    ASSERT_EQ(encodeUtf16(0x1F600, true, out), 4);
    EXPECT_EQ(std::memcmp(out, be, 4), 0);
    ASSERT_EQ(encodeUtf16(0xE9, false, out), 2);
    EXPECT_EQ(out[0], 0xE9);
    EXPECT_EQ(out[1], 0x00);

    EXPECT_EQ(characterText(0xE9), "U+00E9 \xC3\xA9");
    EXPECT_EQ(characterText(0x0A), "U+000A");
    EXPECT_EQ(characterText(0x85), "U+0085");
    EXPECT_EQ(characterText(0x1F600), "U+1F600 \xF0\x9F\x98\x80");
    ASSERT_EQ(parseCharacter("\xE2\x82\xAC", &cp), 0);
    EXPECT_EQ(cp, 0x20ACu);
    ASSERT_EQ(parseCharacter("U+00e9 x", &cp), 0);  // the code point counts, not what follows
    EXPECT_EQ(cp, 0xE9u);
    ASSERT_EQ(parseCharacter(" ", &cp), 0);
    EXPECT_EQ(cp, 0x20u);
    EXPECT_EQ(parseCharacter("ab", &cp), 1);
    EXPECT_EQ(parseCharacter("U+D800", &cp), 1);
    EXPECT_EQ(parseCharacter("U+110000", &cp), 1);
    EXPECT_EQ(parseCharacter("U+", &cp), 1);
    EXPECT_EQ(parseCharacter("\xC3", &cp), 1);
}

TEST(ValueForms, UnixTimesInUtc) {
    EXPECT_EQ(utcText(0), "1970-01-01 00:00:00");
    EXPECT_EQ(utcText(1796672909), "2026-12-07 19:48:29");
    EXPECT_EQ(utcText(2147483647), "2038-01-19 03:14:07");
    EXPECT_EQ(utcText(-2147483648LL), "1901-12-13 20:45:52");
    EXPECT_EQ(utcText(-1), "1969-12-31 23:59:59");
    EXPECT_EQ(utcText(253402300799LL), "9999-12-31 23:59:59");
    EXPECT_EQ(utcText(253402300800LL), "out of range");
    EXPECT_EQ(utcText(INT64_MIN), "out of range");
    std::int64_t s = 0;
    ASSERT_EQ(parseUtc("2026-12-07 19:48:29", &s), 0);
    EXPECT_EQ(s, 1796672909);
    ASSERT_EQ(parseUtc("1901-12-13 20:45:52", &s), 0);
    EXPECT_EQ(s, -2147483648LL);
    ASSERT_EQ(parseUtc("2024-02-29 00:00:00", &s), 0);
    EXPECT_EQ(parseUtc("2023-02-29 00:00:00", &s), 1);
    EXPECT_EQ(parseUtc("2026-12-07 24:00:00", &s), 1);
    EXPECT_EQ(parseUtc("2026-12-07T19:48:29", &s), 1);
    EXPECT_EQ(parseUtc("2026-1-07 19:48:29", &s), 1);
}

TEST(ValueForms, DosDateTimeWithItsFieldsChecked) {
    // 2026-12-07 19:48:28: time 9E0E, date 5D87.
    EXPECT_EQ(dosText(0x9E0E, 0x5D87), "2026-12-07 19:48:28");
    EXPECT_EQ(dosText(0x0000, 0x0021), "1980-01-01 00:00:00");
    EXPECT_EQ(dosText(0x0000, 0x0000), "invalid");      // month 0, day 0
    EXPECT_EQ(dosText(0x0000, 0x01A1), "invalid");      // month 13
    EXPECT_EQ(dosText(0x0000, 0x005E), "invalid");      // 1980-02-30
    EXPECT_EQ(dosText(0xC000, 0x0021), "invalid");      // hour 24
    EXPECT_EQ(dosText(0x0780, 0x0021), "invalid");      // minute 60
    EXPECT_EQ(dosText(0x001E, 0x0021), "invalid");      // second 60
    EXPECT_EQ(dosText(0x0000, 0x085D), "1984-02-29 00:00:00");  // a leap day
    std::uint16_t time = 0, date = 0;
    ASSERT_EQ(parseDos("2026-12-07 19:48:28", &time, &date), 0);
    EXPECT_EQ(time, 0x9E0E);
    EXPECT_EQ(date, 0x5D87);
    EXPECT_EQ(parseDos("2026-12-07 19:48:29", &time, &date), 1);  // odd seconds have no DOS form
    EXPECT_EQ(parseDos("1979-12-31 23:59:58", &time, &date), 1);
    EXPECT_EQ(parseDos("2108-01-01 00:00:00", &time, &date), 1);
}

}  // namespace
}  // namespace quorby::inspect
