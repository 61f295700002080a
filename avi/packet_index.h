#pragma once
// What the indexes of an AVI file say about one chunk: its id and size as
// the AVI 1.0 index ("idx1") or a standard index ("ix##") behind the super
// indexes of streams "00" and "01" lists it. A repair of a broken chunk
// chain takes a size from here where it can: the index was written with the
// packet and gives the exact value, where the chain itself only tells where
// the next chunk begins (a size or that size less the pad byte).
#include "avi/avi_facts.h"

namespace quorby {

// Where the indexes lie, found by the structure walk (a chain break in the
// header lists leaves them unknown).
struct IndexPlaces {
    FilePos idx1Pos = kNoPos;
    FilePos idx1Base = 0;          // what the idx1 offsets count from
    FilePos superIndexPos[2] = {0, 0};
    // Where the last look-up found its entry: a walk asks in file order, so
    // the next answer is usually close behind it.
    std::uint32_t idx1Next = 0;
    std::uint32_t superNext[2] = {0, 0};
};

IndexPlaces findIndexPlaces(RiffContent& content);

struct IndexedChunk {
    FourCc id = 0;
    std::uint32_t size = 0;
};

// The entry of an index whose chunk header lies at `chunk`. Entries with
// size 0 (dropped frames) name no chunk. Result false when no index names it.
bool indexedChunkAt(RiffContent& content, IndexPlaces& places, FilePos chunk, IndexedChunk* out);

}  // namespace quorby
