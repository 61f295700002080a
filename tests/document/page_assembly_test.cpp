#include <random>

#include "tests/document/assembly_fixture.h"

namespace quorby::test {
namespace {

using PageAssembly = AssemblyTest;

TEST_F(PageAssembly, EmptyJournalShowsTheMainFileAndKeepsBothCursorRecordsEmpty) {
    for (FilePos pos : {FilePos(0), FilePos(512), FilePos(40960), FilePos(64 * 1024 - 512), FilePos(0)}) {
        io.resetCounts();
        ASSERT_EQ(loadPagePair(app, pos), 0);
        EXPECT_EQ(journalReads(), 0u) << pos;
        EXPECT_EQ(mainReads(), 1u) << pos;  // the pair in one read
        EXPECT_TRUE(isEmptyPtr(app.records.jPrevPtr));
        EXPECT_TRUE(isEmptyPtr(app.records.jNextPtr));
        EXPECT_EQ(app.records.jReadFlag, 0u);
        EXPECT_EQ(app.view.pagePos, pos);
        EXPECT_EQ(app.view.pageLength, pos == 64 * 1024 - 512 ? 512u : 1024u);
        expectContent();
    }
}

TEST_F(PageAssembly, FlagBitsDecideBytesAndMarksAndAShortLastPageEndsThePair) {
    openFiles(10 * 512 + 100);  // the last page holds 100 bytes
    addPage(1024, 0xAA, kFlagInEffect | kFlagShowMainFile);  // content is the Main File's
    addPage(1536, 0xBB, kFlagInEffect | kFlagNoChangeMap);   // no valid change map
    addPage(5120, 0xCC, kFlagInEffect, 100);                 // the short last page

    ASSERT_EQ(loadPagePair(app, 1024), 0);
    const ViewState& v = app.view;
    EXPECT_EQ(v.pageLength, 1024u);
    // Bit 22: the Main File's bytes, although the data block holds 0xAA.
    for (int i = 0; i < 512; ++i) ASSERT_EQ(v.pageBuffer[i], mainByte(1024 + i)) << i;
    EXPECT_EQ(v.changedBits[0], 0x0F);  // bit 22 alone keeps the map
    EXPECT_EQ(v.changedBits[63], 0x80);
    // Bit 5: the record's bytes, but no changed marks at all.
    for (int i = 512; i < 1024; ++i) ASSERT_EQ(v.pageBuffer[i], 0xBB) << i;
    for (int i = 64; i < 128; ++i) ASSERT_EQ(v.changedBits[i], 0) << i;

    app.view.viewOffset = 0;
    app.view.cursorOffset = 300;
    ASSERT_EQ(loadPagePair(app, 5120), 0);
    EXPECT_EQ(v.pageLength, 100u);
    EXPECT_TRUE(isEmptyPtr(v.midPtr));
    EXPECT_EQ(v.pageBuffer[99], 0xCC);
    EXPECT_EQ(v.pageBuffer[100], 0);  // beyond anz nothing of the data block shows
    EXPECT_EQ(v.cursorOffset, 99u);   // kept on the pair's last byte
    EXPECT_EQ(v.changedBits[0], 0x0F);
    expectPairMatchesChain("last page");

    // A pair without records beside changed pages is one read as well.
    io.resetCounts();
    ASSERT_EQ(loadPagePair(app, 3072), 0);
    EXPECT_EQ(mainReads(), 1u);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(v.pageBuffer[i], mainByte(3072 + i)) << i;
}

// Records on pages 0 1 3 4 7 8 20 21 22 40 41 60 100 of a 128-page file.
class ChainMoves : public AssemblyTest {
protected:
    void SetUp() override {
        AssemblyTest::SetUp();
        std::uint8_t fill = 1;
        for (FilePos page : {0, 1, 3, 4, 7, 8, 20, 21, 22, 40, 41, 60, 100}) addPage(page * 512, fill++);
    }
    // Loads and checks the pair; returns the record headers read.
    std::uint64_t moveTo(FilePos page) {
        io.resetCounts();
        EXPECT_EQ(loadPagePair(app, page * 512), 0);
        EXPECT_EQ(app.view.pagePos, page * 512);
        expectPairMatchesChain(("page " + std::to_string(page)).c_str());
        return journalHeaderReads();
    }
};

TEST_F(ChainMoves, OneAndTwoPageMovesReadAtMostOneHeaderPerPage) {
    EXPECT_LE(moveTo(0), 3u);  // entering at First: the records at 0, 512 and the one above
    for (FilePos page = 1; page <= 127; ++page) EXPECT_LE(moveTo(page), 1u) << "forward to " << page;
    for (FilePos page = 126; page + 1 > 0; --page) EXPECT_LE(moveTo(page), 1u) << "back to " << page;
    for (FilePos page = 2; page <= 126; page += 2) EXPECT_LE(moveTo(page), 2u) << "forward to " << page;
    for (FilePos page = 124; page + 2 > 0; page -= 2) EXPECT_LE(moveTo(page), 2u) << "back to " << page;
    // The same pair again is found anew from the record below it.
    moveTo(20);
    EXPECT_LE(moveTo(20), 4u);
}

TEST_F(ChainMoves, JumpsBeyondTheChangedPagesReadNoHeaderAndJumpsAcrossThemOnePerRecord) {
    moveTo(41);
    // From 41/42 the next record is page 60: a jump to 50 passes no record.
    io.resetCounts();
    EXPECT_EQ(moveTo(50), 0u);
    EXPECT_EQ(journalReads(), 0u);
    moveTo(101);
    EXPECT_EQ(moveTo(110), 0u);  // beyond the highest record
    EXPECT_EQ(journalReads(), 0u);
    EXPECT_EQ(moveTo(105), 0u);  // back, still above it
    EXPECT_EQ(journalReads(), 0u);

    // Across changed pages: one header per record passed, no more than a few
    // besides.
    moveTo(0);
    const std::uint64_t across = moveTo(90);  // passes 3 4 7 8 20 21 22 40 41 60, reads 100 too
    EXPECT_GE(across, 10u);
    EXPECT_LE(across, 12u);
    const std::uint64_t back = moveTo(21);  // passes 100 60 41 40
    EXPECT_GE(back, 4u);
    EXPECT_LE(back, 7u);

    // The ends of the file enter the chain at LastPtr and First.
    moveTo(5);
    EXPECT_LE(moveTo(127), 2u);
    EXPECT_LE(moveTo(0), 3u);
    EXPECT_LE(moveTo(126), 2u);
}

TEST_F(ChainMoves, AnySequenceOfPositionsGivesTheRecordsOfAFullChainWalk) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> page(0, 127), step(-3, 3), kind(0, 2);
    FilePos at = 0;
    moveTo(0);
    for (int i = 0; i < 400; ++i) {
        const int k = kind(random);
        if (k == 0) {
            at = page(random);
        } else {
            const int s = step(random);
            at = std::clamp<std::int64_t>(std::int64_t(at) + s, 0, 127);
        }
        moveTo(at);
        if (HasFailure()) FAIL() << "after " << i << " moves";
    }
}

TEST_F(ChainMoves, ADamagedOrUnreadableJournalIsReportedAndLeavesThePairAsItWas) {
    moveTo(20);
    const PageRecords before = app.records;
    const std::vector<std::uint8_t> shownBefore(app.view.pageBuffer, app.view.pageBuffer + 1024);

    // A read error while moving on.
    io.resetCounts();
    failJournalReads(true);
    platform.boxes.clear();
    EXPECT_EQ(loadPagePair(app, 21 * 512), 1);
    failJournalReads(false);
    ASSERT_FALSE(platform.boxes.empty());
    EXPECT_EQ(platform.boxes.back().text, "Error reading /journals/main.bin.jnl");
    EXPECT_EQ(app.view.pagePos, 20u * 512);
    EXPECT_EQ(app.records.jPrevPtr, before.jPrevPtr);
    EXPECT_EQ(app.records.jNextPtr, before.jNextPtr);
    EXPECT_EQ(std::vector<std::uint8_t>(app.view.pageBuffer, app.view.pageBuffer + 1024), shownBefore);
    EXPECT_FALSE(app.records.assembling);

    // A chain whose MainAdr does not increase (page 41's NextPtr points back
    // at page 3) must not make the scan loop.
    JournalRecord r41;
    ASSERT_EQ(readRecordHeader(app.journal, chain.at(41 * 512), kRecordLinks, r41), 0);
    r41.nextPtr = chain.at(3 * 512);
    ASSERT_EQ(writeRecordHeader(app.journal, r41, kRecordAddressLinks), 0);
    moveTo(0);
    platform.boxes.clear();
    EXPECT_EQ(loadPagePair(app, 80 * 512), 1);
    ASSERT_FALSE(platform.boxes.empty());
    EXPECT_EQ(platform.boxes.back().text, "Error reading /journals/main.bin.jnl");
    EXPECT_EQ(app.view.pagePos, 0u);
}

TEST_F(ChainMoves, ACursorRecordThatUndoTookOutOfTheChainIsReplacedByTheRecordInItsPlace) {
    addNewerVersion(22 * 512, 0x70, kFlagInEffect);
    moveTo(40);  // JPrevPtr: page 22's newest version
    olderVersionTakesPlace(22 * 512);
    // The pair again, as undo shows it: one header more than usual to find
    // the record in page 22's place.
    EXPECT_LE(moveTo(40), 5u);
    EXPECT_EQ(app.records.jPrevPtr, chain.at(22 * 512));

    moveTo(20);  // JNextPtr: page 22's older version
    addNewerVersion(22 * 512, 0x71, kFlagInEffect);
    EXPECT_LE(moveTo(21), 3u);  // page 22 becomes the second page
    EXPECT_EQ(app.records.jData[1].jAdr, chain.at(22 * 512));
    EXPECT_EQ(shown(512), 0x71);
    moveTo(30);
    moveTo(3);
}

TEST_F(ChainMoves, OpeningRestoresTheSavedViewAndDistrustsPointersThatNoLongerFit) {
    moveTo(40);
    app.view.viewOffset = 256;
    saveViewToJournalHeader(app);
    EXPECT_EQ(app.journal.header.savedAnfPtr, 40u * 512);
    EXPECT_EQ(app.journal.header.savedJAdr, chain.at(40 * 512));
    EXPECT_EQ(app.journal.header.savedJPrevPtr, chain.at(22 * 512));

    // As a new opening: nothing of the view is known.
    app.records = PageRecords{};
    app.view.pagePos = 0;
    app.view.viewOffset = 0;
    io.resetCounts();
    ASSERT_EQ(restoreViewFromJournal(app), 0);
    EXPECT_EQ(app.view.pagePos, 40u * 512);
    EXPECT_EQ(app.view.viewOffset, 256u);
    EXPECT_LE(journalHeaderReads(), 4u);
    expectPairMatchesChain("restored");

    // Saved pointers of an older state: page 22 got a newer version since,
    // so the saved JPrevPtr is an older version outside the chain.
    addNewerVersion(22 * 512, 0x77, kFlagInEffect);
    app.records = PageRecords{};
    ASSERT_EQ(restoreViewFromJournal(app), 0);
    EXPECT_EQ(app.view.pagePos, 40u * 512);
    expectPairMatchesChain("older version saved");

    // A saved pointer that is no record at all, and a position beyond the end.
    app.journal.header.savedJPrevPtr = 1234;
    app.journal.header.savedAnfPtr = 1u << 30;
    app.records = PageRecords{};
    platform.boxes.clear();
    ASSERT_EQ(restoreViewFromJournal(app), 0);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(app.view.pagePos, 0u);
    expectPairMatchesChain("garbage saved");
}

}  // namespace
}  // namespace quorby::test
