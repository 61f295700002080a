#include "inspect/value_text.h"

namespace quorby::inspect {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::uint64_t widthMask(int width) { return width >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * width)) - 1; }

int digitValue(char c, unsigned base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d >= 0 && unsigned(d) < base ? d : -1;
}

}  // namespace

std::uint64_t valueOfBytes(const std::uint8_t* bytes, int width) {
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | bytes[i];
    return v;
}

void putValueBytes(std::uint8_t* bytes, int width, std::uint64_t value) {
    for (int i = 0; i < width; ++i) bytes[i] = std::uint8_t(value >> (8 * i));
}

std::string hexText(std::uint64_t value, int width) {
    std::string text;
    for (int digit = 2 * width - 1; digit >= 0; --digit) {
        text += kHexDigits[(value >> (4 * digit)) & 15];
        if (digit % 4 == 0 && digit != 0) text += ' ';
    }
    return text;
}

std::string decimalText(std::uint64_t value, int width) {
    value &= widthMask(width);
    const std::uint64_t signBit = std::uint64_t{1} << (8 * width - 1);
    const bool negative = width > 1 && (value & signBit) != 0;
    // The magnitude of a negative value: its two's complement within the width.
    std::uint64_t magnitude = negative ? ((~value + 1) & widthMask(width)) : value;
    std::string reversed;
    do {
        reversed += char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) reversed += '-';
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string binaryText(std::uint8_t byte) {
    std::string text;
    for (int bit = 7; bit >= 0; --bit) {
        text += char('0' + ((byte >> bit) & 1));
        if (bit == 4) text += ' ';
    }
    return text;
}

std::string valueText(std::uint64_t value, ValueBase base, int width) {
    switch (base) {
    case ValueBase::Hex: return hexText(value, width);
    case ValueBase::Dec: return decimalText(value, width);
    case ValueBase::Bin: return binaryText(std::uint8_t(value));
    }
    return {};
}

int parseValue(const std::string& text, ValueBase base, int width, std::uint64_t* out) {
    const unsigned radix = base == ValueBase::Hex ? 16 : base == ValueBase::Dec ? 10 : 2;
    const std::uint64_t limit = base == ValueBase::Bin ? 0xFF : widthMask(width);
    bool negative = false;
    bool anyDigit = false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c == ' ') continue;
        if (c == '-' && base == ValueBase::Dec && !negative && !anyDigit) {
            negative = true;
            continue;
        }
        const int d = digitValue(c, radix);
        if (d < 0) return 1;
        if (v > (limit - std::uint64_t(d)) / radix) return 1;  // beyond the width
        v = v * radix + std::uint64_t(d);
        anyDigit = true;
    }
    if (!anyDigit) return 1;
    if (negative) {
        // The signed range of the width reaches down to -2^(8*width-1).
        const std::uint64_t lowest = std::uint64_t{1} << (8 * width - 1);
        if (v > lowest) return 1;
        v = (~v + 1) & widthMask(width);
    }
    *out = v;
    return 0;
}

}  // namespace quorby::inspect
