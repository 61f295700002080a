// The chunk chain walk of the stream tools and the search of the chain
// repair, over the writer layout and over damaged chains.
#include <gtest/gtest.h>

#include <random>

#include "avi/chain_repair.h"
#include "avi/chain_walk.h"
#include "avi/stream_ids.h"
#include "tests/avi/avi_files.h"

namespace quorby {
namespace {

using test::BuiltAvi;
using test::MemoryContent;

// Walks every list, as repair AVI-File does, and lets the search mend each
// chunk that does not fit by writing the new size into `bytes`. Returns the
// positions of the chunks passed; gives up after `limit` steps.
struct Walked {
    std::vector<FilePos> chunks;
    int repairs = 0;
    bool failedRepair = false;
    bool ended = false;
};

// Counts reads that begin at or beyond the end of the content.
struct CheckedContent : MemoryContent {
    using MemoryContent::MemoryContent;
    int outside = 0;
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override {
        if (pos >= bytes.size()) ++outside;
        return MemoryContent::read(pos, out, n, got);
    }
};

Walked walkAndMend(std::vector<std::uint8_t>& bytes, const AviFacts& facts, std::size_t limit) {
    CheckedContent content(bytes);
    ChainWalk w;
    startChainWalk(w);
    Walked r;
    bool more = stepChain(content, w) == 0;
    while (more && r.chunks.size() < limit) {
        if (!chunkFitsChain(w, facts)) {
            ChainBreak at;
            at.broken = w.cursor.previousChunkPos;
            at.landing = w.cursor.currentChunkPos;
            at.end = w.previousDepth > 0 ? w.listEnd[w.previousDepth - 1] : bytes.size();
            at.listType = w.previousDepth > 0 ? w.listType[w.previousDepth - 1] : 0;
            const ChainRepair repair = at.broken >= at.landing ? ChainRepair{} : findChainRepair(content, at, facts, nullptr);
            if (repair.verdict == ChainVerdict::NotFound) {
                r.failedRepair = true;
                break;
            }
            if (repair.verdict == ChainVerdict::NewSize) {
                EXPECT_LE(repair.found, bytes.size());
                EXPECT_EQ(followingChunkPos(at.broken, repair.newSize), repair.found) << "the broken chunk ends there";
                test::AviBuilder::set32Into(bytes, at.broken + 4, repair.newSize);
                ++r.repairs;
                w.depth = w.previousDepth;
                w.cursor.nextChunkPos = at.broken;
                if (readChunkAt(content, w.cursor) != 0 || stepChain(content, w) != 0) break;
                continue;
            }
        }
        r.chunks.push_back(w.cursor.currentChunkPos);
        if (w.cursor.chunkId == fourCc("LIST") || w.cursor.chunkId == fourCc("RIFF")) enterChainList(w);
        more = stepChain(content, w) == 0;
    }
    r.ended = !more;
    EXPECT_EQ(content.outside, 0) << "no read begins outside the file";
    return r;
}

AviFacts factsOf(const std::vector<std::uint8_t>& bytes) {
    MemoryContent content(bytes);
    AviFacts facts;
    (void)findStreamIds(content, facts);
    return facts;
}

TEST(ChainWalk, WriterFileIsWalkedWholeWithoutRepairs) {
    BuiltAvi f = test::muxerAvi();
    Walked r = walkAndMend(f.b.bytes, factsOf(f.b.bytes), 100000);
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.repairs, 0) << "vprp, strd, strn, ISFT, ix## belong in the chain";
    for (const test::Packet& p : f.packets)
        EXPECT_NE(std::find(r.chunks.begin(), r.chunks.end(), p.pos), r.chunks.end()) << p.pos;
    for (int s = 0; s < 2; ++s)
        for (std::size_t ix : f.ix[s]) EXPECT_NE(std::find(r.chunks.begin(), r.chunks.end(), ix), r.chunks.end());
    EXPECT_TRUE(std::is_sorted(r.chunks.begin(), r.chunks.end()));
}

TEST(ChainWalk, BrokenSizeInMoviEndsAtTheNearestKnownChunk) {
    const BuiltAvi clean = test::muxerAvi();
    const AviFacts facts = factsOf(clean.b.bytes);
    for (int delta : {6, -10, 2}) {
        const test::Packet& p = clean.packets[delta == 2 ? 3 : 2];  // odd and even sizes
        SCOPED_TRACE(delta);
        BuiltAvi f = test::muxerAvi();
        f.b.set32(p.pos + 4, p.size + delta);
        Walked r = walkAndMend(f.b.bytes, facts, 100000);
        EXPECT_TRUE(r.ended);
        EXPECT_EQ(r.repairs, 1);
        EXPECT_EQ(f.b.bytes, clean.b.bytes) << "the size is set back to the packet's";
    }
    {
        // No known id within the distances looked at: nothing to mend with.
        std::vector<std::uint8_t> noise(2048, 0xEE);
        MemoryContent noiseContent(noise);
        EXPECT_EQ(findChainRepair(noiseContent, {0, 1024, FilePos(noise.size()), 0}, facts, nullptr).verdict,
                  ChainVerdict::NotFound);
        // A candidate before the broken chunk's data, or at an odd position, is not taken.
        std::vector<std::uint8_t> b(1024, 0xEE);
        std::memcpy(&b[100], "JUNK", 4);
        std::memcpy(&b[301], "JUNK", 4);
        test::AviBuilder::set32Into(b, 80 + 4, 212);
        MemoryContent c(b);
        EXPECT_EQ(findChainRepair(c, {96, 200, FilePos(b.size()), 0}, facts, nullptr).verdict, ChainVerdict::NotFound)
            << "100 is inside the broken header";
        ChainRepair repair = findChainRepair(c, {80, 300, FilePos(b.size()), 0}, facts, nullptr);
        EXPECT_EQ(repair.verdict, ChainVerdict::NewSize);
        EXPECT_EQ(repair.found, 100u) << "301 is odd; 100 is the nearest reachable one";
        EXPECT_EQ(repair.newSize, 12u);
        EXPECT_EQ(repair.oldSize, 212u);
        // A list that ends at 96: the chunk is made to end with it, not past it.
        repair = findChainRepair(c, {80, 300, 96, 0}, facts, nullptr);
        EXPECT_EQ(repair.verdict, ChainVerdict::NewSize);
        EXPECT_EQ(repair.found, 96u);
        EXPECT_EQ(repair.newSize, 8u);
    }
}

TEST(ChainWalk, RandomCorruptionsEndWithoutReadingOutside) {
    const char* env = std::getenv("QUORBY_AVI_FUZZ");
    const int rounds = env ? std::atoi(env) : 300;
    std::mt19937 rng(1234);
    const BuiltAvi clean = test::muxerAvi(6);
    const AviFacts facts = factsOf(clean.b.bytes);
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::uint8_t> bytes = clean.b.bytes;
        const int damage = 1 + int(rng() % 4);
        for (int k = 0; k < damage; ++k) {
            const std::size_t at = rng() % (bytes.size() - 4);
            switch (rng() % 4) {
                case 0: test::AviBuilder::set32Into(bytes, at, 0); break;                  // size 0
                case 1: test::AviBuilder::set32Into(bytes, at, 0xFFFFFFF0u - k); break;   // wraps
                case 2: bytes[at] = std::uint8_t(rng()); break;
                default: bytes.resize(at + 4); break;                                     // truncated
            }
        }
        SCOPED_TRACE(round);
        Walked r = walkAndMend(bytes, facts, 1000000);
        EXPECT_TRUE(r.ended || r.failedRepair) << "the walk ends";
        EXPECT_LE(r.chunks.size(), bytes.size() / 8 + 1);
    }
}

}  // namespace
}  // namespace quorby
