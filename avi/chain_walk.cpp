#include "avi/chain_walk.h"

namespace quorby {
namespace {

constexpr FourCc kPrefix3Mask = 0x00FFFFFF;
constexpr FourCc kPrefix2Mask = 0x0000FFFF;

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isStreamPacketId(FourCc id) {
    const std::uint8_t c[4] = {std::uint8_t(id), std::uint8_t(id >> 8), std::uint8_t(id >> 16), std::uint8_t(id >> 24)};
    return isDigit(c[0]) && isDigit(c[1]) && isLetter(c[2]) && isLetter(c[3]);
}

}  // namespace

void startChainWalk(ChainWalk& walk) {
    walk = ChainWalk{};
    walk.cursor.nextChunkPos = 12;
    walk.started = true;
}

int stepChain(RiffContent& content, ChainWalk& walk) {
    ChunkCursor& c = walk.cursor;
    const int depthOfCurrent = walk.depth;
    while (walk.depth > 0 && c.nextChunkPos >= walk.listEnd[walk.depth - 1]) {
        c.nextChunkPos = walk.listEnd[walk.depth - 1];
        --walk.depth;
    }
    if (readChunkAt(content, c) != 0) {
        walk.depth = depthOfCurrent;
        return 1;
    }
    walk.previousDepth = depthOfCurrent;
    return 0;
}

void enterChainList(ChainWalk& walk) {
    ChunkCursor& c = walk.cursor;
    if (walk.depth == ChainWalk::kMaxDepth || c.chunkSize < 4) return;
    FilePos end = followingChunkPos(c.currentChunkPos, c.chunkSize);
    if (walk.depth > 0 && end > walk.listEnd[walk.depth - 1]) end = walk.listEnd[walk.depth - 1];
    walk.listEnd[walk.depth] = end;
    walk.listType[walk.depth] = c.listType;
    ++walk.depth;
    c.nextChunkPos = c.currentChunkPos + 12;
    // The first sub-chunk has no chunk before it in its list.
    c.currentChunkPos = c.nextChunkPos;
}

FourCc innerListType(const ChainWalk& walk) { return walk.depth == 0 ? 0 : walk.listType[walk.depth - 1]; }

bool isKnownChunkId(FourCc id, const AviFacts& facts) {
    static constexpr FourCc kKnown[] = {fourCc("JUNK"), fourCc("LIST"), fourCc("RIFF"), fourCc("segm"),
                                        fourCc("avih"), fourCc("strf"), fourCc("strh"), fourCc("strd"),
                                        fourCc("dmlh"), fourCc("rec "), fourCc("indx"), fourCc("00__")};
    for (FourCc k : kKnown)
        if (id == k) return true;
    if ((id & kPrefix3Mask) == (fourCc("idx1") & kPrefix3Mask)) return true;
    if ((id & kPrefix3Mask) == (fourCc("ix00") & kPrefix3Mask)) return true;
    return (facts.videoIdKnown && id == facts.videoDataId) || (facts.audioIdKnown && id == facts.audioDataId);
}

bool chunkFitsChain(const ChainWalk& walk, const AviFacts& facts) {
    return idFitsList(walk.cursor.chunkId, innerListType(walk), facts);
}

FilePos currentListEnd(const ChainWalk& walk, FilePos contentEnd) {
    return walk.depth == 0 ? contentEnd : walk.listEnd[walk.depth - 1];
}

bool chunkPassesListEnd(const ChainWalk& walk, FilePos contentEnd) {
    return chunkDataEnd(walk.cursor) > currentListEnd(walk, contentEnd);
}

FilePos chunkDataEnd(const ChunkCursor& cursor) { return cursor.currentChunkPos + 8 + FilePos(cursor.chunkSize); }

bool idFitsList(FourCc id, FourCc list, const AviFacts& facts) {
    if (isKnownChunkId(id, facts)) return true;
    if (list == fourCc("movi") || list == fourCc("rec ")) {
        // Standard indexes of any stream ("ix01", "ix12") and packets.
        return (id & kPrefix2Mask) == (fourCc("ix00") & kPrefix2Mask) || isStreamPacketId(id);
    }
    return isPrintableFourCc(id);
}

}  // namespace quorby
