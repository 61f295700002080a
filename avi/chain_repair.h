#pragma once
// The chunk-chain repair: where a chunk chain went astray, what is broken
// and the size that mends it. The chunk at `broken` is the one whose size is
// in question: the walk met, at the position its size leads to
// (`landing`), a chunk that does not belong in the chain, or its size
// reaches past the end of its list.
//
// A size is changed only where the file says what it was: an index entry
// for the chunk gives its exact size; otherwise the size is made to end at
// the nearest chunk that continues the chain (its own size leading to the
// next chunk or to the list's end). A chunk at the landing position whose
// size leads on to such a chunk shows that only its id is damaged: the size
// before it is right and is not touched.
#include "avi/avi_facts.h"
#include "avi/chunk_stepper.h"
#include "avi/packet_index.h"

namespace quorby {

inline constexpr int kChainRepairDistances = 256;
// How far past a chunk's data start the repair looks for the next chunk
// when the chunk's size reaches past the end of its list.
inline constexpr std::uint32_t kOverrunSearch = 65536;

struct ChainBreak {
    FilePos broken = 0;
    FilePos landing = 0;   // where the broken chunk's size leads
    FilePos end = 0;       // the end of the broken chunk's list
    FourCc listType = 0;   // that list's type (0 on the file's level)
};

enum class ChainVerdict {
    SizeRight,  // the broken chunk's size is right (the chunk at landing has a damaged id, or its list is too short)
    NewSize,    // newSize mends it
    NotFound,   // nothing the size could be set to
};

struct ChainRepair {
    ChainVerdict verdict = ChainVerdict::NotFound;
    FilePos found = kNoPos;      // where the broken chunk ends with newSize
    std::uint32_t oldSize = 0;
    std::uint32_t newSize = 0;
    bool fromIndex = false;      // newSize is an index entry's
};

// `places`: the indexes to ask, or nullptr.
ChainRepair findChainRepair(RiffContent& content, const ChainBreak& at, const AviFacts& facts,
                            IndexPlaces* places);

// Whether a chunk of the chain may begin at `pos` in a list of type
// `listType` ending at `end`: the list's end itself, or a chunk id that
// belongs there whose size does not reach past `end`.
bool chainGoesOnAt(RiffContent& content, FilePos pos, FilePos end, FourCc listType, const AviFacts& facts);

}  // namespace quorby
