#pragma once
// Turning the find dialog's text into the byte pattern of a search.
#include <cstddef>
#include <cstdint>

namespace quorby {

inline constexpr std::uint32_t kFindTextCapacity = 250;   // the dialog's text, terminator included
inline constexpr std::uint32_t kMaxPatternLength = 254;
inline constexpr std::uint32_t kHexPatternBudget = 255;   // steps of parseHexPattern
inline constexpr std::uint32_t kTextScanLimit = 255;      // bytes scanned for the text's terminator

// Hex search syntax, one character after the other:
//  - 0-9, A-F, a-f are nibbles; two make a byte, the first one high.
//  - Characters below '0' (except '"'), 0x3A..0x40, 0x47..0x60 and the end
//    of the text separate: a single waiting nibble becomes a byte 0..15.
//  - A character from 'g' (0x67) upward makes the pattern invalid (length 0).
//  - '"' opens a literal section: every character up to the next '"' (or
//    the end of the text) is one byte as it stands. A waiting nibble is
//    completed at the opening quotation mark, so bytes keep the order of the
//    text: 5"k" gives 05 6B.
//  - Budget: 255 steps; a character outside a literal section costs one,
//    inside it two, the opening quotation mark one, the closing one two, the
//    end of the text one. A character whose cost no longer fits ends the
//    parse: the bytes made so far are the pattern, a waiting nibble is dropped.
// Returns the number of bytes written to `out` (at most 127 by the budget).
// No byte at or beyond `capacity` is read; reaching it ends the text.
std::uint32_t parseHexPattern(const char* text, std::size_t capacity, std::uint8_t out[kMaxPatternLength]);

// Text search: copies the text byte for byte, or passed through the case
// folding table when `foldCase`. The terminator is looked for in the first
// 255 bytes (and never at or beyond `capacity`); a text without one there
// gives length 0.
std::uint32_t copyTextPattern(const char* text, std::size_t capacity, bool foldCase,
                              std::uint8_t out[kMaxPatternLength]);

}  // namespace quorby
