#pragma once
// The chunk chain walk of the stream tools ("Scan Avi", 'Play', repair
// AVI-File): chunk after chunk through the whole file, entering the lists
// its caller chooses. The walk knows where each entered list ends and leaves
// it there, so a chunk that reaches past its list's end cannot carry the walk
// into the middle of the next one. Every step moves forward: a chunk's size
// is unsigned and the next chunk lies at least 8 bytes further on.
#include "avi/avi_facts.h"
#include "avi/chunk_stepper.h"

namespace quorby {

struct ChainWalk {
    static constexpr int kMaxDepth = 8;
    ChunkCursor cursor;
    FilePos listEnd[kMaxDepth] = {};
    FourCc listType[kMaxDepth] = {};
    int depth = 0;          // lists entered (the file itself is not counted)
    int previousDepth = 0;  // the depth of the chunk at cursor.previousChunkPos
    bool started = false;
};

// The walk before its first step: the next chunk is the first one inside
// the file's RIFF header (position 12).
void startChainWalk(ChainWalk& walk);

// The next chunk: lists whose end is reached are left first. Result 1 at or
// beyond the end of the content (or when the read failed).
[[nodiscard]] int stepChain(RiffContent& content, ChainWalk& walk);

// The current chunk (a "RIFF" or "LIST") is entered: its first sub-chunk is
// the next one read. Lists nested deeper than kMaxDepth are stepped over.
void enterChainList(ChainWalk& walk);

// The type of the innermost entered list, 0 on the file's level.
FourCc innerListType(const ChainWalk& walk);

// Whether the current chunk belongs in the chain: a known chunk id, a data
// packet id of any stream (two digits and two letters) inside "movi" and
// "rec " lists, and any id of four printable characters in the other lists
// (strn, vprp, ISFT ... that writers add to the header and INFO lists).
bool chunkFitsChain(const ChainWalk& walk, const AviFacts& facts);
// The same for an id met in a list of type `listType` (0 on the file's level).
bool idFitsList(FourCc id, FourCc listType, const AviFacts& facts);

// The end of the list the current chunk lies in (the content's end on the
// file's level), and whether the current chunk's data reach past it (a
// missing pad byte after the last chunk of a file is no damage).
FilePos currentListEnd(const ChainWalk& walk, FilePos contentEnd);
bool chunkPassesListEnd(const ChainWalk& walk, FilePos contentEnd);
// The end of a chunk's data, without the pad byte.
FilePos chunkDataEnd(const ChunkCursor& cursor);

// The ids every AVI of the program's kind may hold: "JUNK", "LIST", "RIFF",
// "segm", "avih", "strf", "strh", "strd", "dmlh", "rec ", "indx", the data
// ids, "00__", and any id beginning with "idx" or "ix0".
bool isKnownChunkId(FourCc id, const AviFacts& facts);

}  // namespace quorby
