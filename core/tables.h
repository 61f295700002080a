#pragma once
// Character tables built once at start and shared by every subsystem.
#include <cstdint>
#include "core/file_pos.h"

namespace quorby {

struct Tables {
    char hexPair[256][2];        // "00" .. "FF", upper case
    char decimalTriple[256][3];  // "000" .. "255"
    std::uint8_t hexValue[256];  // '0'..'9','A'..'F','a'..'f' -> 0..15, else 0
    std::uint8_t decValue[256];  // '0'..'9' -> 0..9, else 0
    std::uint8_t upperCase[256]; // 'a'..'z' -> 'A'..'Z', 0xE4/0xF6/0xFC -> 0xC4/0xD6/0xDC
};

const Tables& tables();

// Sixteen upper-case hex digits in four groups of four, each group preceded by a
// blank: 20 characters, no terminator written.
void formatPositionText(FilePos pos, char out[20]);

}  // namespace quorby
