#include "view/row_text.h"

#include <cstring>
#include "core/tables.h"

namespace quorby {

namespace {

constexpr char kHeaderLabels[] =
    " 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"
    " 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ";

}  // namespace

AddressText::AddressText(FilePos address) {
    formatPositionText(address, text);
    text[kAddressTextLength - 1] = ' ';
}

void AddressText::advanceRow() {
    // Start at the last but one digit (the 16s); blanks separate the groups.
    for (int k = kAddressTextLength - 3; k > 0; --k) {
        char& digit = text[k];
        if (digit == ' ') continue;
        if (digit == 'F') {
            digit = '0';
            continue;
        }
        digit = digit == '9' ? 'A' : char(digit + 1);
        return;
    }
}

void buildHexText(const std::uint8_t* bytes, int count, char out[kHexTextLength]) {
    std::memset(out, ' ', kHexTextLength);
    const Tables& t = tables();
    for (int i = 0; i < count && i < kBytesPerRow; ++i) {
        char* at = out + hexDigitOffset(i);
        at[0] = t.hexPair[bytes[i]][0];
        at[1] = t.hexPair[bytes[i]][1];
    }
}

void buildCharText(const std::uint8_t* bytes, int count, char out[kCharTextLength]) {
    std::memset(out, ' ', kCharTextLength);
    for (int i = 0; i < count && i < kBytesPerRow; ++i) out[1 + i] = char(bytes[i]);
}

const char* headerText(std::uint32_t headerShift, bool second) {
    return kHeaderLabels + 3 * (headerShift % 16) + (second ? kHeaderLength - 1 : 0);
}

}  // namespace quorby
