#include "search/find_text_encoding.h"

#include <cstdint>

namespace quorby {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined codes.
constexpr char16_t kHighCodes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at text[i]; false when it is not valid.
bool decodeUtf8(const std::string& text, std::size_t& i, std::uint32_t* code) {
    const auto lead = std::uint8_t(text[i]);
    int extra = 0;
    std::uint32_t value = 0;
    if (lead < 0x80) {
        *code = lead;
        ++i;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) extra = 1, value = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) extra = 2, value = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) extra = 3, value = lead & 0x07;
    else return false;
    if (i + std::size_t(extra) >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const auto b = std::uint8_t(text[i + std::size_t(k)]);
        if ((b & 0xC0) != 0x80) return false;
        value = (value << 6) | (b & 0x3F);
    }
    static constexpr std::uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    *code = value;
    i += std::size_t(extra) + 1;
    return true;
}

char byteForCode(std::uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return char(code);
    for (int k = 0; k < 32; ++k)
        if (kHighCodes[k] != 0 && kHighCodes[k] == code) return char(0x80 + k);
    if (code >= 0x80 && code < 0xA0) return char(code);  // C1 controls as themselves
    return '?';
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string findTextBytes(const std::string& dialogText) {
    std::string out;
    for (std::size_t i = 0; i < dialogText.size();) {
        std::uint32_t code = 0;
        if (!decodeUtf8(dialogText, i, &code)) return dialogText;
        out += byteForCode(code);
    }
    return out;
}

std::string findTextForDialog(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = std::uint8_t(c);
        if (b >= 0x80 && b < 0xA0 && kHighCodes[b - 0x80] == 0) return bytes;
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighCodes[b - 0x80] : b);
    }
    return out;
}

}  // namespace quorby
