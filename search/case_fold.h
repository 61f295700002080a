#pragma once
// Letter case folding of the text search without "Match case": a to z become
// A to Z, and the three lower-case umlauts of Latin-1 (0xE4, 0xF6, 0xFC)
// become their capitals (0xC4, 0xD6, 0xDC). No other byte changes: 0xDF and
// the other letters above 0x7F stay as they are.
#include <cstdint>

namespace quorby {

// The folding table: 256 entries, shared with the program's upper-case table.
const std::uint8_t* caseFoldTable();

inline std::uint8_t foldByte(std::uint8_t b) { return caseFoldTable()[b]; }

// The buffer bytes that fold to `folded` (a byte of a folded pattern):
// writes one or two values into `out` and returns their count (two for A..Z
// and the three capital umlauts, one for every other byte).
int bytesFoldingTo(std::uint8_t folded, std::uint8_t out[2]);

}  // namespace quorby
