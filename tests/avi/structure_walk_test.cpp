// The structure walk over the textbook layout and over what a real OpenDML
// writer lays down, and over damaged files.
#include <gtest/gtest.h>

#include <random>

#include "avi/structure_walk.h"
#include "tests/avi/avi_files.h"

namespace quorby {
namespace {

using test::BuiltAvi;
using test::MemoryContent;
using test::StringReport;

struct WalkResult {
    int result;
    std::string report;
    AviFacts facts;
    ChunkCursor cursor;
};

WalkResult walk(const std::vector<std::uint8_t>& bytes) {
    MemoryContent content(bytes);
    StringReport report;
    WalkResult r{};
    r.result = listStructure(content, r.cursor, r.facts, report);
    r.report = report.text;
    return r;
}

TEST(StructureWalk, TextbookAvi10ListsEveryChunkAndKeepsTheFacts) {
    for (bool absolute : {false, true}) {
        SCOPED_TRACE(absolute ? "absolute idx1 offsets" : "relative idx1 offsets");
        BuiltAvi f = test::textbookAvi(absolute);
        WalkResult r = walk(f.b.bytes);
        EXPECT_EQ(r.report, f.expectedReport());
        EXPECT_EQ(r.result, 1) << "the walk ends by stepping past the end of the file";
        // The "rec " entry comes first; the first entry whose id begins with
        // "0" decides.
        EXPECT_EQ(r.facts.moviBase, absolute ? 0u : f.moviList[0] + 8);
        EXPECT_EQ(r.facts.idx1Pos, f.idx1);
        EXPECT_EQ(r.facts.superIndexPos[0], 0u);
        EXPECT_EQ(r.facts.superIndexPos[1], 0u);
        ASSERT_TRUE(r.facts.hasMainHeader && r.facts.hasVideoHeader && r.facts.hasAudioHeader);
        EXPECT_EQ(le32(r.facts.mainHeader + 8), 40000u);
        EXPECT_EQ(le32(r.facts.mainHeader + 8 + 32), 320u);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(r.facts.videoHeader + 8), 8), "vidsDIVX");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(r.facts.audioHeader + 8), 4), "auds");
    }
}

TEST(StructureWalk, RealWriterLayoutIsWalkedToTheEnd) {
    BuiltAvi f = test::muxerAvi();
    WalkResult r = walk(f.b.bytes);
    EXPECT_EQ(r.report, f.expectedReport());
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.facts.superIndexPos[0], f.indx[0]);
    EXPECT_EQ(r.facts.superIndexPos[1], f.indx[1]);
    EXPECT_EQ(r.facts.moviBase, f.moviList[0] + 8) << "the first movi list, not the AVIX one";
    EXPECT_EQ(r.facts.idx1Pos, f.idx1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.facts.videoHeader + 8), 8), "vidsFMP4");
}

TEST(StructureWalk, ChunksTheWalkDoesNotListEndIt) {
    // An id of unprintable bytes in the stream list: nothing after it is listed.
    BuiltAvi f = test::muxerAvi();
    const std::size_t vprp = f.indx[0] + 8 + 24 + 64;
    ASSERT_EQ(std::memcmp(&f.b.bytes[vprp], "vprp", 4), 0);
    f.b.bytes[vprp] = 0x01;
    WalkResult r = walk(f.b.bytes);
    EXPECT_EQ(r.result, 0);
    std::string upTo;
    for (const auto& line : f.expected) {
        if (line.find("vprp") != std::string::npos) break;
        upTo += line;
    }
    EXPECT_EQ(r.report, upTo);
    EXPECT_EQ(r.cursor.currentChunkPos, vprp);

    // A top-level chunk that claims more than the file holds is not listed:
    // a line says where it runs past the end of the file.
    BuiltAvi g = test::textbookAvi();
    g.b.set32(g.idx1, fourCc("abcd"));
    g.b.set32(g.idx1 + 4, 0x10000000);
    WalkResult s = walk(g.b.bytes);
    EXPECT_EQ(s.result, 0);
    const std::string tail =
        test::posLine(g.moviList[0], "LIST movi") + test::posLine(g.idx1, "   abcd runs past End of File !");
    EXPECT_TRUE(s.report.ends_with(tail)) << s.report;
    EXPECT_EQ(s.facts.idx1Pos, kNoPos);
}

// Content of 8 GiB of zeros with a few chunk headers laid into it.
class SparseContent : public RiffContent {
public:
    FilePos size() const override { return FilePos(8) << 30; }
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override {
        *got = n;
        for (std::uint32_t i = 0; i < n; ++i) {
            out[i] = 0;
            for (const auto& [at, bytes] : pieces)
                if (pos + i >= at && pos + i < at + bytes.size()) out[i] = bytes[pos + i - at];
        }
        return 0;
    }
    std::vector<std::pair<FilePos, std::vector<std::uint8_t>>> pieces;
};

TEST(ChunkStepper, SizesPadsPageBoundariesAndTheEnd) {
    test::AviBuilder b;
    b.beginList("RIFF", "AVI ");
    b.bytes.resize(508 - 8);
    b.chunk("JUNK", 0);           // header at 500
    const std::size_t odd = b.chunk("odd1", 5);      // 508: its header crosses the page boundary at 512
    const std::size_t after = b.chunk("next", 2);    // one pad byte after the 5 data bytes
    MemoryContent content(b.bytes);
    ChunkCursor c;
    c.nextChunkPos = odd;
    ASSERT_EQ(readChunkAt(content, c), 0);
    EXPECT_EQ(c.chunkId, fourCc("odd1"));
    EXPECT_EQ(c.chunkSize, 5u);
    EXPECT_EQ(c.nextChunkPos, after);
    EXPECT_EQ(after, odd + 14);
    ASSERT_EQ(readChunkAt(content, c), 0);
    EXPECT_EQ(c.previousChunkPos, odd);
    EXPECT_EQ(c.currentChunkPos, after);
    const ChunkCursor atEnd = c;
    EXPECT_EQ(readChunkAt(content, c), 1) << "the next chunk would begin at the end of the file";
    EXPECT_EQ(c.currentChunkPos, atEnd.currentChunkPos);
    EXPECT_EQ(c.nextChunkPos, atEnd.nextChunkPos);

    // 2 GiB and more steps forward.
    SparseContent big;
    for (std::uint32_t size : {0x80000000u, 0xFFFFFFFFu}) {
        ChunkCursor k;
        std::vector<std::uint8_t> header = {'b', 'i', 'g', ' '};
        for (int i = 0; i < 4; ++i) header.push_back(std::uint8_t(size >> (8 * i)));
        big.pieces = {{FilePos(0x100), header}};
        k.nextChunkPos = 0x100;
        ASSERT_EQ(readChunkAt(big, k), 0);
        EXPECT_EQ(k.nextChunkPos, 0x100 + 8 + FilePos(size) + (size & 1));
        EXPECT_GT(k.nextChunkPos, k.currentChunkPos);
    }
}

TEST(StructureWalk, DamagedFilesEndTheWalkWithoutReadingOutside) {
    const BuiltAvi f = test::muxerAvi();
    const std::vector<std::uint8_t>& good = f.b.bytes;
    // Every truncation.
    for (std::size_t cut = 0; cut < good.size(); cut += 7) {
        std::vector<std::uint8_t> part(good.begin(), good.begin() + cut);
        WalkResult r = walk(part);
        // At most a line for each list the cut falls in, and one for the chunk.
        EXPECT_LE(r.report.size(), f.expectedReport().size() + 4 * 60) << cut;
        // A cut inside the first movi list: the line after "LIST movi" names the end of the file.
        if (cut > f.moviList[0] + 12 && cut < f.idx1) {
            const std::string end =
                test::posLine(f.moviList[0], "LIST movi") + test::posLine(cut, "   File ends inside LIST movi !");
            EXPECT_TRUE(r.report.ends_with(end))
                << cut;
        }
    }
    // Random corruptions with a fixed seed (QUORBY_AVI_FUZZ=N runs N rounds).
    std::mt19937 rng(20261206);
    const char* env = std::getenv("QUORBY_AVI_FUZZ");
    const int rounds = env ? std::atoi(env) : 3000;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::uint8_t> bad = good;
        const int hits = 1 + int(rng() % 4);
        for (int h = 0; h < hits; ++h) {
            const std::size_t at = rng() % bad.size();
            switch (rng() % 3) {
                case 0: bad[at] = std::uint8_t(rng()); break;
                case 1: if (at + 4 <= bad.size()) std::memset(&bad[at], 0, 4); break;
                default: if (at + 4 <= bad.size()) for (int i = 0; i < 4; ++i) bad[at + i] = 0xFF; break;
            }
        }
        MemoryContent content(bad);
        StringReport report;
        AviFacts facts;
        ChunkCursor cursor;
        (void)listStructure(content, cursor, facts, report);
        // Each line stands for a chunk of at least 8 bytes that lies in the file.
        const std::size_t lines = std::count(report.text.begin(), report.text.end(), '\n');
        EXPECT_LE(lines, bad.size() / 8) << "round " << round;
        EXPECT_LE(content.reads, 4 * bad.size() / 8 + 8) << "round " << round;
        for (FilePos p : facts.superIndexPos) EXPECT_LT(p, bad.size());
        if (facts.idx1Pos != kNoPos) {
            EXPECT_LT(facts.idx1Pos, bad.size());
        }
        if (facts.moviBase != kNoPos) {
            EXPECT_LT(facts.moviBase, bad.size());
        }
    }
}

}  // namespace
}  // namespace quorby
