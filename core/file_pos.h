#pragma once
// Positions and lengths in the Main File, a drive, the Journal File or the Compare File.
#include <cstdint>

namespace quorby {

using FilePos = std::uint64_t;

// The Main File is shown, stored and written in pages of 512 bytes, two at a
// time: a page pair.
inline constexpr int kPageSize = 512;
inline constexpr int kPagePairSize = 1024;
// The start of the page that holds `pos`.
inline constexpr FilePos pageStart(FilePos pos) { return pos & ~FilePos{kPageSize - 1}; }

// The empty journal pointer has all 64 bits set; any value whose high 32 bits
// are all ones counts as empty.
inline constexpr FilePos kEmptyPtr = ~FilePos{0};
inline constexpr bool isEmptyPtr(FilePos p) { return (p >> 32) == 0xFFFFFFFFu; }

// Signed difference a - b, clamped to -2147483647 .. 2147483647: used wherever
// a 64-bit distance is compared with an offset or a count.
inline constexpr std::int32_t clampedDifference(FilePos a, FilePos b) {
    constexpr std::int32_t kLimit = 2147483647;
    if (a >= b) {
        FilePos d = a - b;
        return d > FilePos(kLimit) ? kLimit : std::int32_t(d);
    }
    FilePos d = b - a;
    return d > FilePos(kLimit) ? -kLimit : -std::int32_t(d);
}

}  // namespace quorby
