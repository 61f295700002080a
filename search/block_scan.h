#pragma once
// Finding a pattern in one block of bytes in memory.
//
// The scan looks for two anchor bytes of the pattern at once, chosen as the
// two rarest by a fixed table of typical byte frequencies (zero bytes, blanks
// and common letters are avoided), 32 or 16 candidate positions per step
// with the processor's vector compare. Only positions where both anchors
// match are compared in full, so long runs of one byte value cost no more
// than any other data, whatever the pattern's first byte is.
#include <cstdint>

#include "search/hex_pattern.h"

namespace quorby {

inline constexpr std::uint32_t kNoMatch = 0xFFFFFFFFu;

struct ScanPattern {
    std::uint8_t bytes[kMaxPatternLength] = {};  // folded when foldCase
    std::uint32_t length = 0;
    bool foldCase = false;        // compare folded buffer bytes with the pattern
    std::uint32_t anchorA = 0;    // pattern offsets of the two anchors, anchorA <= anchorB
    std::uint32_t anchorB = 0;
    std::uint8_t valuesA[2] = {}; // buffer bytes that match each anchor (twice
    std::uint8_t valuesB[2] = {}; // the same value when only one does)
};

// Prepares `pattern` (1 .. kMaxPatternLength bytes) for scanning. With
// foldCase the pattern is folded here, so a folded or unfolded text gives the
// same scan. A length of 0 gives a pattern that never matches.
void prepareScan(ScanPattern& scan, const std::uint8_t* pattern, std::uint32_t length, bool foldCase);

// The lowest offset p with from <= p and p + length <= end at which the
// pattern matches `block`; kNoMatch when there is none.
std::uint32_t scanForward(const ScanPattern& scan, const std::uint8_t* block, std::uint32_t from,
                          std::uint32_t end);

// The highest offset p with p + length <= end at which the pattern matches;
// kNoMatch when there is none. (The caller sets `end` to the limit a match's
// last byte must stay below.)
std::uint32_t scanBackward(const ScanPattern& scan, const std::uint8_t* block, std::uint32_t end);

}  // namespace quorby
