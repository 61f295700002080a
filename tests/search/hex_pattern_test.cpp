#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "search/hex_pattern.h"

namespace quorby {
namespace {

std::vector<std::uint8_t> hex(const std::string& text) {
    std::uint8_t out[kMaxPatternLength];
    const std::uint32_t n = parseHexPattern(text.c_str(), text.size() + 1, out);
    return std::vector<std::uint8_t>(out, out + n);
}

using Bytes = std::vector<std::uint8_t>;

TEST(HexPattern, WrittenFormsOfTheSameBytes) {
    EXPECT_EQ(hex("F3 6B 5"), (Bytes{0xF3, 0x6B, 0x05}));
    EXPECT_EQ(hex("F3,6B05"), (Bytes{0xF3, 0x6B, 0x05}));
    EXPECT_EQ(hex("F3\"k\"05"), (Bytes{0xF3, 0x6B, 0x05}));
    EXPECT_EQ(hex("F36B05"), (Bytes{0xF3, 0x6B, 0x05}));
    EXPECT_EQ(hex("f3 6b"), (Bytes{0xF3, 0x6B}));
    EXPECT_EQ(hex("1 2 3"), (Bytes{0x01, 0x02, 0x03}));
    EXPECT_EQ(hex("123"), (Bytes{0x12, 0x03}));
    EXPECT_EQ(hex("  -,;A"), (Bytes{0x0A}));
}

TEST(HexPattern, EveryCharacterClassBetweenTwoDigits) {
    // "1?2": a separator gives 01 02, a digit makes one byte 1? followed by a
    // waiting 2, a letter from g on makes the text invalid.
    for (int c = 1; c < 256; ++c) {
        if (c == '"') continue;
        const std::string text = std::string("1") + char(c) + "2";
        const Bytes got = hex(text);
        const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (c >= 0x67) {
            EXPECT_TRUE(got.empty()) << "character " << c;
        } else if (digit) {
            ASSERT_EQ(got.size(), 2u) << "character " << c;
            EXPECT_EQ(got[1], 0x02) << "character " << c;
        } else {
            EXPECT_EQ(got, (Bytes{0x01, 0x02})) << "character " << c;
        }
    }
    EXPECT_EQ(hex("F3 6G"), (Bytes{0xF3, 0x06}));
    EXPECT_TRUE(hex("F3 6g").empty());
    EXPECT_TRUE(hex("F3 6B \xE4").empty());
    EXPECT_TRUE(hex("").empty());
    EXPECT_TRUE(hex("  , ").empty());
}

TEST(HexPattern, LiteralSections) {
    EXPECT_EQ(hex("41\"xy"), (Bytes{0x41, 'x', 'y'})) << "an open section ends with the text";
    EXPECT_EQ(hex("\"gG 1\""), (Bytes{'g', 'G', ' ', '1'})) << "taken unchanged, no folding, no validity test";
    EXPECT_TRUE(hex("\"\"").empty());
    EXPECT_EQ(hex("\"a\"\"b\""), (Bytes{'a', 'b'}));
    // A single digit before the quotation mark is completed there: bytes keep
    // the order of the text.
    EXPECT_EQ(hex("5\"k\"6"), (Bytes{0x05, 'k', 0x06}));
    EXPECT_EQ(hex("\"k\"5 6"), (Bytes{'k', 0x05, 0x06}));
}

TEST(HexPattern, BudgetOf255Steps) {
    // 255 digits use the whole budget: the last, waiting digit is dropped.
    EXPECT_EQ(hex(std::string(255, '1')).size(), 127u);
    EXPECT_EQ(hex(std::string(254, '1')).size(), 127u);
    // 253 digits: the end of the text still fits and completes the waiting one.
    const Bytes odd = hex(std::string(253, '1'));
    ASSERT_EQ(odd.size(), 127u);
    EXPECT_EQ(odd.back(), 0x01);
    EXPECT_EQ(odd.front(), 0x11);
    // Characters beyond the budget are never looked at, not even invalid ones.
    EXPECT_EQ(hex(std::string(256, '2') + "zz").size(), 127u);
    EXPECT_TRUE(hex(std::string(200, '2') + "zz").empty());
    // A literal character costs two steps, the opening mark one.
    EXPECT_EQ(hex("\"" + std::string(200, 'x')).size(), 127u);
    // The closing mark costs two: after 126 literal bytes (253 steps) it
    // spends the budget and the digits after it are not reached.
    EXPECT_EQ(hex("\"" + std::string(126, 'x') + "\"AB"), Bytes(126, 'x'));
    EXPECT_EQ(hex("\"" + std::string(125, 'x') + "\"AB").size(), 126u);
}

TEST(HexPattern, NeverReadsBeyondTheCapacity) {
    const char unterminated[6] = {'1', '2', '3', '4', '5', '6'};
    std::uint8_t out[kMaxPatternLength];
    ASSERT_EQ(parseHexPattern(unterminated, sizeof unterminated, out), 3u);
    EXPECT_EQ(out[2], 0x56);
    ASSERT_EQ(parseHexPattern(unterminated, 5, out), 3u);
    EXPECT_EQ(out[2], 0x05);
    EXPECT_EQ(copyTextPattern(unterminated, sizeof unterminated, false, out), 0u)
        << "a text without terminator gives no pattern";
}

TEST(TextPattern, CopiedOrFolded) {
    std::uint8_t out[kMaxPatternLength];
    ASSERT_EQ(copyTextPattern("aBc\xE4\xDF\xF6\xFCz", 250, true, out), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 8), "ABC\xC4\xDF\xD6\xDCZ");
    ASSERT_EQ(copyTextPattern("aBc\xE4", 250, false, out), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "aBc\xE4");
    EXPECT_EQ(copyTextPattern("", 250, true, out), 0u);

    const std::string longest(249, 'q');
    EXPECT_EQ(copyTextPattern(longest.c_str(), 250, false, out), 249u);
    const std::string tooLong(255, 'q');
    EXPECT_EQ(copyTextPattern(tooLong.c_str(), tooLong.size() + 1, false, out), 0u)
        << "no terminator in the first 255 bytes";
    const std::string fits(254, 'q');
    EXPECT_EQ(copyTextPattern(fits.c_str(), fits.size() + 1, false, out), 254u);
}

}  // namespace
}  // namespace quorby
