#include "avi/riff_content.h"

namespace quorby {

std::string fourCcText(FourCc id) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = char(std::uint8_t(id >> (8 * i)));
    return s;
}

bool isPrintableFourCc(FourCc id) {
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t c = std::uint8_t(id >> (8 * i));
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace quorby
