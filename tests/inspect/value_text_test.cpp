// The inspector's text forms and the reading of typed texts, against plain
// reference conversions.
#include <gtest/gtest.h>

#include <bitset>
#include <cctype>
#include <cstring>
#include <random>

#include "inspect/value_text.h"

namespace quorby::inspect {
namespace {

TEST(ValueText, FormsAsTheFieldsShowThem) {
    const struct {
        std::uint64_t value;
        ValueBase base;
        int width;
        const char* shown;
    } cases[] = {
        {0x0A, ValueBase::Hex, 1, "0A"},
        {0x0A, ValueBase::Bin, 1, "0000 1010"},
        {0xFF, ValueBase::Bin, 1, "1111 1111"},
        {0xFF, ValueBase::Dec, 1, "255"},
        {0, ValueBase::Dec, 1, "0"},
        {0, ValueBase::Dec, 8, "0"},
        {0x01FF, ValueBase::Hex, 2, "01FF"},
        {0xFFFF, ValueBase::Dec, 2, "-1"},
        {0x7FFF, ValueBase::Dec, 2, "32767"},
        {0x8000, ValueBase::Dec, 2, "-32768"},
        {0xDEADBEEF, ValueBase::Hex, 4, "DEAD BEEF"},
        {0xFFFFFFFE, ValueBase::Dec, 4, "-2"},
        {0x0123456789ABCDEF, ValueBase::Hex, 8, "0123 4567 89AB CDEF"},
        {0x8000000000000000, ValueBase::Dec, 8, "-9223372036854775808"},
        {0x7FFFFFFFFFFFFFFF, ValueBase::Dec, 8, "9223372036854775807"},
    };
    for (const auto& c : cases) EXPECT_EQ(valueText(c.value, c.base, c.width), c.shown) << c.shown;
}

TEST(ValueText, BadInputIsRefusedAndGoodInputRead) {
    const struct {
        const char* typed;
        ValueBase base;
        int width;
        bool accepted;
        std::uint64_t value;
    } cases[] = {
        // empty
        {"", ValueBase::Hex, 1, false, 0}, {"   ", ValueBase::Dec, 4, false, 0}, {"-", ValueBase::Dec, 2, false, 0},
        {"", ValueBase::Bin, 1, false, 0},
        // wrong base
        {"1G", ValueBase::Hex, 2, false, 0}, {"12a", ValueBase::Dec, 4, false, 0}, {"0102", ValueBase::Bin, 1, false, 0},
        {"0x10", ValueBase::Hex, 4, false, 0}, {"+5", ValueBase::Dec, 1, false, 0}, {"-5", ValueBase::Hex, 1, false, 0},
        {"5-", ValueBase::Dec, 2, false, 0}, {"1.5", ValueBase::Dec, 8, false, 0},
        // too long or out of range
        {"100", ValueBase::Hex, 1, false, 0}, {"1 0000", ValueBase::Hex, 2, false, 0},
        {"1 0000 0000 0000 0000", ValueBase::Hex, 8, false, 0}, {"256", ValueBase::Dec, 1, false, 0},
        {"-129", ValueBase::Dec, 1, false, 0}, {"65536", ValueBase::Dec, 2, false, 0},
        {"18446744073709551616", ValueBase::Dec, 8, false, 0}, {"-9223372036854775809", ValueBase::Dec, 8, false, 0},
        {"1 0000 0000", ValueBase::Bin, 1, false, 0}, {"99999999999999999999999", ValueBase::Dec, 8, false, 0},
        // accepted: both signed and unsigned decimals, lower case, blanks, leading zeros
        {"ff", ValueBase::Hex, 1, true, 0xFF}, {"00ff", ValueBase::Hex, 1, true, 0xFF},
        {"-128", ValueBase::Dec, 1, true, 0x80}, {"-1", ValueBase::Dec, 2, true, 0xFFFF},
        {"65535", ValueBase::Dec, 2, true, 0xFFFF}, {"-0", ValueBase::Dec, 4, true, 0},
        {"18446744073709551615", ValueBase::Dec, 8, true, ~std::uint64_t{0}},
        {"-9223372036854775808", ValueBase::Dec, 8, true, 0x8000000000000000},
        {"dead beef", ValueBase::Hex, 4, true, 0xDEADBEEF}, {"1010", ValueBase::Bin, 1, true, 10},
        {" 1111 1111 ", ValueBase::Bin, 1, true, 0xFF},
    };
    for (const auto& c : cases) {
        std::uint64_t got = 0x5A5A;
        const int result = parseValue(c.typed, c.base, c.width, &got);
        EXPECT_EQ(result, c.accepted ? 0 : 1) << '"' << c.typed << "\" width " << c.width;
        EXPECT_EQ(got, c.accepted ? c.value : 0x5A5A) << '"' << c.typed << "\" width " << c.width;
    }
}

// The reference: the bytes read as the machine's own integers (this host is
// little-endian, as the file's values are), printed by the standard library.
std::string referenceText(const std::uint8_t* bytes, ValueBase base, int width) {
    std::uint64_t u = 0;
    std::memcpy(&u, bytes, std::size_t(width));
    if (base == ValueBase::Bin) {
        const std::string bits = std::bitset<8>(bytes[0]).to_string();
        return bits.substr(0, 4) + " " + bits.substr(4);
    }
    if (base == ValueBase::Dec) {
        switch (width) {
        case 1: return std::to_string(bytes[0]);
        case 2: { std::int16_t v; std::memcpy(&v, bytes, 2); return std::to_string(v); }
        case 4: { std::int32_t v; std::memcpy(&v, bytes, 4); return std::to_string(v); }
        default: { std::int64_t v; std::memcpy(&v, bytes, 8); return std::to_string(v); }
        }
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%0*llX", 2 * width, static_cast<unsigned long long>(u));
    std::string grouped;
    for (int i = 0; digits[i] != 0; ++i) {
        if (i > 0 && i % 4 == 0) grouped += ' ';
        grouped += digits[i];
    }
    return grouped;
}

TEST(ValueText, RandomTypedValuesComeBackAsTheirBytes) {
    std::mt19937_64 random(20240518);
    const int widths[] = {1, 2, 4, 8};
    for (int round = 0; round < 20000; ++round) {
        std::uint8_t bytes[8];
        for (std::uint8_t& b : bytes) b = std::uint8_t(random());
        const auto base = ValueBase(random() % 3);
        const int width = base == ValueBase::Bin ? 1 : widths[random() % 4];
        const int first = base == ValueBase::Bin ? int(random() % 4) : 0;
        const std::string shown = referenceText(bytes + first, base, width);
        ASSERT_EQ(valueText(valueOfBytes(bytes + first, width), base, width), shown);

        // As a user might type it: without blanks, in lower case, or a
        // negative decimal as its unsigned value.
        std::string typed = shown;
        if (random() % 2) std::erase(typed, ' ');
        if (random() % 2)
            for (char& c : typed) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (base == ValueBase::Dec && typed[0] == '-' && random() % 2) {
            std::uint64_t u = 0;
            std::memcpy(&u, bytes, std::size_t(width));
            typed = std::to_string(u);
        }
        std::uint64_t value = 0;
        ASSERT_EQ(parseValue(typed, base, width, &value), 0) << typed;
        std::uint8_t back[8] = {};
        std::memcpy(back, bytes, 8);
        std::memset(back + first, 0xCC, std::size_t(width));
        putValueBytes(back + first, width, value);
        ASSERT_EQ(std::memcmp(back, bytes, 8), 0) << typed;
    }
}

}  // namespace
}  // namespace quorby::inspect
