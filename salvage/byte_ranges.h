#pragma once
// A bounded, sorted set of byte ranges [start, end) of one file, kept merged:
// the sectors known to be unreadable, or the unreadable ranges one operation
// went past. When it is full, further ranges are counted but not kept.
#include <cstdint>
#include <string>

#include "core/file_pos.h"

namespace quorby {

struct ByteRanges {
    static constexpr int kCapacity = 512;
    FilePos start[kCapacity] = {};
    FilePos end[kCapacity] = {};  // exclusive
    int count = 0;
    bool overflowed = false;  // a range did not fit and was left out
};

void clearRanges(ByteRanges& ranges);

// Adds [from, to), merged with the ranges it touches or overlaps. Result 1
// when the set is full and the range was left out.
int addRange(ByteRanges& ranges, FilePos from, FilePos to);

// Whether `pos` lies in one of the ranges.
bool inRanges(const ByteRanges& ranges, FilePos pos);

// Whether one of the ranges overlaps [from, to).
bool overlapsRanges(const ByteRanges& ranges, FilePos from, FilePos to);

// "0x2000000+0x1000, 0x3F00000+0x200": each range as its start and length
// in hexadecimal; at most `shown` of them, then ", ..." when more follow.
std::string rangeListText(const ByteRanges& ranges, int shown);

// "2 unreadable ranges skipped: 0x2000000+0x1000, 0x3F00000+0x200"
// ("1 unreadable range skipped: ..."); empty when there is none.
std::string skippedRangesLine(const ByteRanges& ranges);

}  // namespace quorby
