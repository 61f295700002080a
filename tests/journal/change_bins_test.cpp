// The overview's walk over a Journal File: which bins hold changed pages and
// which of them wait to be written, for a file of any size, from the
// address chain alone.
#include <gtest/gtest.h>

#include <cstring>

#include "journal/change_bins.h"
#include "journal/command_commit.h"
#include "journal/journal_dump.h"
#include "journal/record_states.h"
#include "tests/journal/journal_fixture.h"

namespace quorby::testing {
namespace {

TEST(ChangeBins, BinsSplitTheFileEvenlyUpTo64BitSizes) {
    EXPECT_EQ(binOfPosition(0, 1000, 256), 0);
    EXPECT_EQ(binOfPosition(999, 1000, 256), 255);
    EXPECT_EQ(binOfPosition(1000, 1000, 256), 255);     // at or beyond the end: the last bin
    EXPECT_EQ(binOfPosition(5, 0, 256), 255);           // an empty file
    EXPECT_EQ(binOfPosition(512 * 100, 512 * 256, 256), 100);
    // A drive of 2^64 - 1 bytes: no overflow in the product.
    const FilePos huge = ~FilePos(0);
    EXPECT_EQ(binOfPosition(huge / 2, huge, 256), 127);
    EXPECT_EQ(binOfPosition(huge - 1, huge, 256), 255);
    EXPECT_EQ(binStart(0, huge, 256), 0u);
    EXPECT_EQ(binStart(128, huge, 256), huge / 2);
    EXPECT_EQ(binStart(256, 1000, 256), 1000u);
    for (int k = 0; k < 256; ++k) EXPECT_EQ(binOfPosition(binStart(k, 512 * 256, 256), 512 * 256, 256), k);
}

TEST(ChangeBins, TheWalkMarksChangedPagesAndThoseThatWaitToBeWritten) {
    JournalFixture f;
    std::uint8_t bins[256];
    std::uint64_t unwritten = 99;
    ASSERT_EQ(walkChangedPages(f.jf, 512 * 256, bins, 256, ChangeBinMarks{}, &unwritten), 0);
    EXPECT_EQ(unwritten, 0u);
    for (std::uint8_t b : bins) EXPECT_EQ(b, 0);

    // Pages 3, 200 and 201 changed; 200 and 201 share a bin of a larger file.
    f.addPage(3 * 512, 0x11);
    const FilePos written = f.addPage(200 * 512, 0x22);
    const FilePos clean = f.addPage(201 * 512, 0x33);
    // Page 200 is in the Main File (it shows the Main File's bytes); page 201
    // was stored again after its changes were discarded: no byte differs.
    JournalRecord r;
    ASSERT_EQ(readRecordHeader(f.jf, written, kRecordHeaderSize, r), 0);
    r.flag = showingMainFile(r.flag);
    ASSERT_EQ(writeRecordHeader(f.jf, r, kRecordLinks), 0);
    ASSERT_EQ(readRecordHeader(f.jf, clean, kRecordHeaderSize, r), 0);
    std::memset(r.changeMap, 0, sizeof r.changeMap);
    ASSERT_EQ(writeRecordHeader(f.jf, r, kRecordHeaderSize), 0);

    ASSERT_EQ(walkChangedPages(f.jf, 512 * 256, bins, 256, ChangeBinMarks{}, &unwritten), 0);
    EXPECT_EQ(unwritten, 1u);
    for (int k = 0; k < 256; ++k) {
        const std::uint8_t want = k == 3 ? 3 : (k == 200 || k == 201) ? 1 : 0;
        EXPECT_EQ(bins[k], want) << "bin " << k;
    }
    // The same pages in a file of 1 TiB: all in bin 0.
    ASSERT_EQ(walkChangedPages(f.jf, FilePos(1) << 40, bins, 256, ChangeBinMarks{}, &unwritten), 0);
    EXPECT_EQ(bins[0], 3);
    EXPECT_EQ(bins[1], 0);
    EXPECT_EQ(f.failuresReported, 0);
}

// The opening's check walks the address chain anyway: it finds the same
// bins as the overview's walk, so the opening walks once; a chain it cannot
// walk whole leaves nothing to take.
TEST(ChangeBins, TheChecksWalkFindsWhatTheOverviewsWalkFinds) {
    JournalFixture f;
    // Pages 0, 5 and 9 wait to be written; 9 carries no valid ChangeMap, and
    // 5 has a newer version. Page 7 shows the Main File; page 2000 lies beyond
    // a file of 1000 pages, in its last bin.
    f.addPage(0, 0x10);
    const FilePos five = f.addPage(5 * 512, 0x15);
    const FilePos seven = f.addPage(7 * 512, 0x17);
    const FilePos nine = f.addPage(9 * 512, 0x19);
    f.addPage(2000 * 512, 0x20);
    f.addVersion(five, 0x25);
    JournalRecord r;
    ASSERT_EQ(readRecordHeader(f.jf, seven, kRecordHeaderSize, r), 0);
    r.flag = showingMainFile(r.flag);
    ASSERT_EQ(writeRecordHeader(f.jf, r, kRecordLinks), 0);
    ASSERT_EQ(readRecordHeader(f.jf, nine, kRecordHeaderSize, r), 0);
    r.flag |= kFlagNoChangeMap;
    std::memset(r.changeMap, 0, sizeof r.changeMap);
    ASSERT_EQ(writeRecordHeader(f.jf, r, kRecordHeaderSize), 0);
    ASSERT_EQ(commitCommand(f.jf), 0);

    const FilePos span = 1000 * 512;
    std::uint8_t walked[256], checked[256];
    std::uint64_t unwritten = 0;
    ASSERT_EQ(walkChangedPages(f.jf, span, walked, 256, ChangeBinMarks{}, &unwritten), 0);
    EXPECT_EQ(unwritten, 4u);
    CheckedChanges c;
    c.span = span;
    c.bins = checked;
    c.binCount = 256;
    ASSERT_EQ(checkJournalFile(f.io, f.path, &c), kDumpAllHold);
    EXPECT_TRUE(c.walked);
    EXPECT_EQ(c.unwrittenPages, unwritten);
    for (int k = 0; k < 256; ++k) EXPECT_EQ(checked[k], walked[k]) << "bin " << k;
    // 1000 pages in 256 bins: pages 0-3 in bin 0, 5 and 7 in bin 1, 9 in bin 2.
    EXPECT_EQ(checked[0], 3);
    EXPECT_EQ(checked[1], 3);
    EXPECT_EQ(checked[2], 3);
    EXPECT_EQ(checked[255], 3);
    EXPECT_EQ(checked[3], 0);

    storeU64(f.bytes().data() + kHdrLastPtr, seven);
    EXPECT_EQ(checkJournalFile(f.io, f.path, &c), kDumpInvariantFailed);
    EXPECT_FALSE(c.walked);
    EXPECT_EQ(f.failuresReported, 0);
}

}  // namespace
}  // namespace quorby::testing
