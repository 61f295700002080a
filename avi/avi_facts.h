#pragma once
// What the structure walk learns about an AVI file for the index checks and
// the stream tools: the main and stream headers, where the super indexes,
// the "movi" list and "idx1" lie, and the chunk ids of the data packets.
#include <cstdint>

#include "avi/chunk_stepper.h"

namespace quorby {

struct AviFacts {
    static constexpr int kHeaderBytes = 64;  // a header chunk's first bytes, its 8-byte header included
    std::uint8_t mainHeader[kHeaderBytes] = {};
    std::uint8_t videoHeader[kHeaderBytes] = {};
    std::uint8_t audioHeader[kHeaderBytes] = {};
    bool hasMainHeader = false;
    bool hasVideoHeader = false;
    bool hasAudioHeader = false;
    // The "indx" chunks of streams "00" and "01"; 0 when there is none.
    FilePos superIndexPos[2] = {0, 0};
    // The "LIST movi" position + 8 (its list type), or 0 when the idx1
    // offsets are absolute; kNoPos before a "movi" list was met.
    FilePos moviBase = kNoPos;
    FilePos idx1Pos = kNoPos;
    // The data packets' chunk ids (00dc, 01wb, ...); valid only when known.
    FourCc videoDataId = 0;
    FourCc audioDataId = 0;
    bool videoIdKnown = false;
    bool audioIdKnown = false;
    // The handler code of the video stream header (its data bytes 4 to 7).
    FourCc videoCompression = 0;
};

}  // namespace quorby
