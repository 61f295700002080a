#include "core/tables.h"

namespace quorby {

namespace {

Tables buildTables() {
    Tables t{};
    const char* digits = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        t.hexPair[b][0] = digits[b >> 4];
        t.hexPair[b][1] = digits[b & 15];
        t.decimalTriple[b][0] = char('0' + b / 100);
        t.decimalTriple[b][1] = char('0' + b / 10 % 10);
        t.decimalTriple[b][2] = char('0' + b % 10);
        t.upperCase[b] = std::uint8_t(b);
    }
    for (int c = '0'; c <= '9'; ++c) {
        t.hexValue[c] = std::uint8_t(c - '0');
        t.decValue[c] = std::uint8_t(c - '0');
    }
    for (int c = 0; c < 6; ++c) {
        t.hexValue['A' + c] = std::uint8_t(10 + c);
        t.hexValue['a' + c] = std::uint8_t(10 + c);
    }
    for (int c = 'a'; c <= 'z'; ++c) t.upperCase[c] = std::uint8_t(c - 32);
    t.upperCase[0xE4] = 0xC4;
    t.upperCase[0xF6] = 0xD6;
    t.upperCase[0xFC] = 0xDC;
    return t;
}

}  // namespace

const Tables& tables() {
    static const Tables built = buildTables();
    return built;
}

void formatPositionText(FilePos pos, char out[20]) {
    const char* digits = "0123456789ABCDEF";
    int k = 0;
    for (int group = 0; group < 4; ++group) {
        out[k++] = ' ';
        for (int d = 0; d < 4; ++d) {
            int shift = 60 - 4 * (group * 4 + d);
            out[k++] = digits[(pos >> shift) & 15];
        }
    }
}

}  // namespace quorby
