#pragma once
// The chunk-chain repair's search: where a chunk chain went astray (the
// chunk before `landing` has a wrong size), the nearest known chunk id
// around the landing position, and the size that makes the broken chunk end
// there.
#include "avi/avi_facts.h"
#include "avi/chunk_stepper.h"

namespace quorby {

inline constexpr int kChainRepairDistances = 256;

struct ChainRepair {
    FilePos found = kNoPos;    // the known chunk the broken one is made to end at
    std::uint32_t newSize = 0;  // the broken chunk's size that leads there
};

// Looks in the two pages from the page holding `landing` (offsets below 1017
// forward, from 0 backward) for a known chunk id, at distances 0 to 255 from
// `landing`, the forward candidate first at each distance. Only candidates
// the broken chunk at `broken` can reach are taken: at or after its data
// start, before `end` (the end of its list), at an even position (the
// chunk's end is rounded up to one), with a size that fits 32 bits.
// The new size keeps the parity of the broken one (`brokenSize`): an odd
// size ends one byte before the pad byte, so a damage in the size's higher
// bits is undone exactly. Result 0 with *repair filled, 1 when none.
[[nodiscard]] int findChainRepair(RiffContent& content, FilePos broken, std::uint32_t brokenSize, FilePos landing, FilePos end,
                    const AviFacts& facts, ChainRepair* repair);

}  // namespace quorby
