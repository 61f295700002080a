#include "search/hex_pattern.h"

#include "search/case_fold.h"

namespace quorby {
namespace {

enum class CharClass { Nibble, Separator, Quote, Invalid, End };

CharClass classify(std::uint8_t c) {
    if (c == 0) return CharClass::End;
    if (c == '"') return CharClass::Quote;
    if (c >= '0' && c <= '9') return CharClass::Nibble;
    if (c >= 'A' && c <= 'F') return CharClass::Nibble;
    if (c >= 'a' && c <= 'f') return CharClass::Nibble;
    if (c >= 0x67) return CharClass::Invalid;
    return CharClass::Separator;  // below '0', 0x3A..0x40, 0x47..0x60
}

std::uint8_t nibbleValue(std::uint8_t c) {
    if (c <= '9') return std::uint8_t(c - '0');
    if (c <= 'F') return std::uint8_t(c - 'A' + 10);
    return std::uint8_t(c - 'a' + 10);
}

struct HexParser {
    std::uint8_t* out;
    std::uint32_t count = 0;
    std::uint32_t budget = kHexPatternBudget;
    bool nibbleWaiting = false;
    std::uint8_t high = 0;

    bool spend(std::uint32_t steps) {
        if (budget < steps) return false;
        budget -= steps;
        return true;
    }
    void put(std::uint8_t b) { out[count++] = b; }
    void completeNibble() {
        if (nibbleWaiting) put(high);
        nibbleWaiting = false;
    }
};

}  // namespace

std::uint32_t parseHexPattern(const char* text, std::size_t capacity, std::uint8_t out[kMaxPatternLength]) {
    HexParser p{out};
    const auto* s = reinterpret_cast<const std::uint8_t*>(text);
    const auto* const end = s + capacity;
    auto at = [end](const std::uint8_t* q) -> std::uint8_t { return q < end ? *q : 0; };
    for (;;) {
        const std::uint8_t c = at(s);
        const CharClass kind = classify(c);
        if (!p.spend(1)) return p.count;  // budget spent: the waiting nibble is dropped
        if (kind == CharClass::Invalid) return 0;
        if (kind == CharClass::End) {
            p.completeNibble();
            return p.count;
        }
        ++s;
        if (kind == CharClass::Separator) {
            p.completeNibble();
        } else if (kind == CharClass::Nibble) {
            if (p.nibbleWaiting) {
                p.put(std::uint8_t(p.high << 4 | nibbleValue(c)));
                p.nibbleWaiting = false;
            } else {
                p.high = nibbleValue(c);
                p.nibbleWaiting = true;
            }
        } else {  // literal section
            p.completeNibble();
            for (;;) {
                const std::uint8_t literal = at(s);
                if (literal == 0) return p.count;  // not closed: ends with the text
                if (!p.spend(2)) return p.count;
                ++s;
                if (literal == '"') break;
                p.put(literal);
            }
        }
    }
}

std::uint32_t copyTextPattern(const char* text, std::size_t capacity, bool foldCase,
                              std::uint8_t out[kMaxPatternLength]) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t span = capacity < kTextScanLimit ? capacity : kTextScanLimit;
    std::size_t length = 0;
    while (length < span && s[length] != 0) ++length;
    if (length >= span || length > kMaxPatternLength) return 0;
    for (std::uint32_t i = 0; i < length; ++i) out[i] = foldCase ? foldByte(s[i]) : s[i];
    return std::uint32_t(length);
}

}  // namespace quorby
