#include <gtest/gtest.h>

#include <vector>

#include "salvage/sector_reads.h"
#include "tests/support/memory_file_io.h"

namespace quorby {
namespace {

using testing::MemoryFileIo;

std::uint8_t patternAt(FilePos p) { return std::uint8_t(p * 7 + (p >> 9)); }

struct DyingFile {
    MemoryFileIo io;
    FileHandle h = kNoFile;
    UnreadableSectors known;

    explicit DyingFile(std::size_t size) {
        auto& bytes = io.bytes("/disk");
        bytes.resize(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = patternAt(i);
        EXPECT_EQ(0, io.open("/disk", OpenMode::ReadOnly, &h));
        forgetUnreadable(known, io.sectorSize(h));
    }
    void fail(FilePos from, FilePos to) { io.unreadable["/disk"].push_back({from, to}); }
};

// What the reader should deliver: the file's bytes, zeros where unreadable.
void expectContent(const std::vector<std::uint8_t>& got, FilePos pos, const ByteRanges& holes) {
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::uint8_t want = inRanges(holes, pos + i) ? 0 : patternAt(pos + i);
        ASSERT_EQ(want, got[i]) << "at 0x" << std::hex << pos + i;
    }
}

TEST(SectorReads, HealthyBlockCostsOneRead) {
    DyingFile f(1 << 20);
    std::vector<std::uint8_t> block(262144);
    ReadGaps gaps;
    std::uint32_t done = 0;
    f.io.resetCounts();
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0x10000, block.data(), 262144, &done, &gaps));
    EXPECT_EQ(262144u, done);
    EXPECT_EQ(0, gaps.count);
    EXPECT_EQ(1u, f.io.reads);
    expectContent(block, 0x10000, ByteRanges{});
    // Past the end: the bytes that are there.
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, (1 << 20) - 100, block.data(), 1024, &done, &gaps));
    EXPECT_EQ(100u, done);
}

TEST(SectorReads, BadSectorsAloneAreZeroedReportedAndRememberedAcrossReads) {
    DyingFile f(1 << 20);
    // 4 KiB and one sector inside one 256 KiB block, and one byte of a third
    // sector: that whole sector is lost.
    f.fail(0x42000, 0x43000);
    f.fail(0x5FE00, 0x60000);
    f.fail(0x70123, 0x70124);
    std::vector<std::uint8_t> block(262144, 0xEE);
    ReadGaps gaps;
    std::uint32_t done = 0;
    f.io.resetCounts();
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0x40000, block.data(), 262144, &done, &gaps));
    EXPECT_EQ(30u, f.io.lastError().code);
    EXPECT_EQ(262144u, done);
    ASSERT_EQ(3, gaps.count);
    EXPECT_EQ(0x2000u, gaps.offset[0]);
    EXPECT_EQ(0x1000u, gaps.length[0]);
    EXPECT_EQ(0x1FE00u, gaps.offset[1]);
    EXPECT_EQ(0x200u, gaps.length[1]);
    EXPECT_EQ(0x30000u, gaps.offset[2]);
    EXPECT_EQ(0x200u, gaps.length[2]);
    ByteRanges holes;
    addGapsAt(holes, 0x40000, gaps);
    expectContent(block, 0x40000, holes);
    // Halving finds them in a few dozen reads, not one per sector.
    EXPECT_LT(f.io.reads, 120u);
    const std::uint64_t firstTime = f.io.reads;

    // Known now: the next read of the block touches none of them.
    ASSERT_EQ(3, f.known.ranges.count);
    EXPECT_EQ(0x42000u, f.known.ranges.start[0]);
    EXPECT_EQ(0x43000u, f.known.ranges.end[0]);
    f.io.logEvents = true;
    f.io.resetCounts();
    std::fill(block.begin(), block.end(), 0xEE);
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0x40000, block.data(), 262144, &done, &gaps));
    EXPECT_EQ(3, gaps.count);
    expectContent(block, 0x40000, holes);
    EXPECT_LT(f.io.reads, firstTime);
    for (const auto& e : f.io.events) EXPECT_FALSE(overlapsRanges(f.known.ranges, e.pos, e.pos + e.length));

    // A read that lies wholly in a known sector reads nothing.
    f.io.resetCounts();
    std::vector<std::uint8_t> pair(1024, 0xEE);
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0x42200, pair.data(), 512, &done, &gaps));
    EXPECT_EQ(0u, f.io.reads);
    EXPECT_EQ(512u, done);
    EXPECT_EQ(0, pair[0]);

    // Forgotten at a new opening: tried again.
    forgetUnreadable(f.known, 512);
    f.io.resetCounts();
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0x42200, pair.data(), 512, &done, &gaps));
    EXPECT_EQ(2u, f.io.reads);  // the read and its retry
}

TEST(SectorReads, ARetryThatSucceedsLosesNothing) {
    DyingFile f(8192);
    f.io.failNth(1);
    std::vector<std::uint8_t> block(8192);
    ReadGaps gaps;
    std::uint32_t done = 0;
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 0, block.data(), 8192, &done, &gaps));
    EXPECT_EQ(8192u, done);
    EXPECT_EQ(0, gaps.count);
    EXPECT_EQ(0, f.known.ranges.count);
    expectContent(block, 0, ByteRanges{});
}

TEST(SectorReads, DeviceSectorSizeAndTheFilesEnd) {
    DyingFile f(20000);
    f.io.sectorBytes = 4096;
    forgetUnreadable(f.known, f.io.sectorSize(f.h));
    f.fail(8192 + 700, 8192 + 701);
    f.fail(16384 + 10, 16384 + 11);  // in the last, short sector
    std::vector<std::uint8_t> block(20000 - 512);
    ReadGaps gaps;
    std::uint32_t done = 0;
    EXPECT_EQ(0, salvageRead(f.io, f.h, f.known, 512, block.data(), std::uint32_t(block.size()), &done, &gaps));
    EXPECT_EQ(block.size(), done);
    ASSERT_EQ(2, gaps.count);
    EXPECT_EQ(8192u - 512, gaps.offset[0]);
    EXPECT_EQ(4096u, gaps.length[0]);
    EXPECT_EQ(16384u - 512, gaps.offset[1]);
    EXPECT_EQ(20000u - 16384, gaps.length[1]);
    ByteRanges holes;
    addGapsAt(holes, 512, gaps);
    expectContent(block, 512, holes);
    EXPECT_TRUE(inGap(gaps, 8192 - 512));
    EXPECT_FALSE(inGap(gaps, 8192 - 513));
}

TEST(SectorReads, ReadableRunsStepOverGaps) {
    ReadGaps gaps;
    gaps.count = 2;
    gaps.offset[0] = 512; gaps.length[0] = 512;
    gaps.offset[1] = 2048; gaps.length[1] = 1024;
    std::uint32_t a = 0, b = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> runs;
    for (std::uint32_t from = 100; nextReadableRun(gaps, from, 4000, &a, &b); from = b) runs.push_back({a, b});
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> want{{100, 512}, {1024, 2048}, {3072, 4000}};
    EXPECT_EQ(want, runs);
    EXPECT_FALSE(nextReadableRun(gaps, 2100, 3072, &a, &b));
}

// Gaps as (offset, length) pairs, for comparing.
std::vector<std::pair<std::uint32_t, std::uint32_t>> gapList(const ReadGaps& g) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    for (int i = 0; i < g.count; ++i) out.push_back({g.offset[i], g.length[i]});
    return out;
}

TEST(SectorReads, ACoveredStretchIsNoLongerAGap) {
    using List = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    ReadGaps g;
    g.count = 2;
    g.offset[0] = 1024; g.length[0] = 4096;   // [1024, 5120)
    g.offset[1] = 8192; g.length[1] = 512;    // [8192, 8704)
    coverGap(g, 2048, 512);                   // the middle: split in two
    EXPECT_EQ(gapList(g), (List{{1024, 1024}, {2560, 2560}, {8192, 512}}));
    coverGap(g, 512, 1024);                   // over the head of the first
    EXPECT_EQ(gapList(g), (List{{1536, 512}, {2560, 2560}, {8192, 512}}));
    coverGap(g, 4608, 4096);                  // the tail of one, the whole of the next
    EXPECT_EQ(gapList(g), (List{{1536, 512}, {2560, 2048}}));
    coverGap(g, 0, 1536);                     // beside a gap: nothing changes
    EXPECT_EQ(gapList(g), (List{{1536, 512}, {2560, 2048}}));
    coverGap(g, 0, 10000);
    EXPECT_EQ(g.count, 0);

    // With every slot taken a gap is not split: its bytes stay unreadable.
    ReadGaps full;
    for (int i = 0; i < ReadGaps::kCapacity; ++i) {
        full.offset[i] = std::uint32_t(i) * 2048;
        full.length[i] = 1024;
    }
    full.count = ReadGaps::kCapacity;
    coverGap(full, 256, 256);
    EXPECT_EQ(full.count, ReadGaps::kCapacity);
    EXPECT_TRUE(inGap(full, 300));
}

TEST(ByteRanges, MergeKeepOrderTextAndBound) {
    ByteRanges r;
    EXPECT_EQ("", skippedRangesLine(r));
    addRange(r, 0x3F00000, 0x3F00200);
    addRange(r, 0x2000000, 0x2000200);
    addRange(r, 0x2000400, 0x2001000);
    addRange(r, 0x2000200, 0x2000400);  // fills the hole: one range
    EXPECT_EQ("2 unreadable ranges skipped: 0x2000000+0x1000, 0x3F00000+0x200", skippedRangesLine(r));
    EXPECT_TRUE(inRanges(r, 0x2000FFF));
    EXPECT_FALSE(inRanges(r, 0x2001000));
    EXPECT_TRUE(overlapsRanges(r, 0x1FFFFFF, 0x2000001));
    EXPECT_FALSE(overlapsRanges(r, 0x2001000, 0x3F00000));
    addRange(r, 0, 0x10000000);  // swallows both
    EXPECT_EQ("1 unreadable range skipped: 0x0+0x10000000", skippedRangesLine(r));

    ByteRanges full;
    for (int i = 0; i < ByteRanges::kCapacity; ++i) EXPECT_EQ(0, addRange(full, FilePos(i) * 1024, FilePos(i) * 1024 + 512));
    EXPECT_EQ(1, addRange(full, 1ull << 40, (1ull << 40) + 512));
    EXPECT_EQ(0, addRange(full, 512, 1024));  // merging needs no room
    EXPECT_EQ(ByteRanges::kCapacity - 1, full.count);
    EXPECT_TRUE(full.overflowed);
    EXPECT_NE(std::string::npos, skippedRangesLine(full).find(", ..."));
}

}  // namespace
}  // namespace quorby
