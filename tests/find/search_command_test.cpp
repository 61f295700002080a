#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "find/match_highlight.h"
#include "tests/find/command_fixture.h"
#include "view/grid_layout.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, FilePos at, const std::string& text) {
    std::copy(text.begin(), text.end(), b.begin() + std::ptrdiff_t(at));
}

TEST(SearchCommand, FindsFromTheFirstShownByteAndRepeatsOnOverlappingMatches) {
    CommandFixture f;
    Bytes content(64 * 1024, '.');
    put(content, 1056, "aaaa");
    f.openMain(content);
    f.showAt(1024, 32, 300);  // first shown byte 1056, the cursor far below it

    f.open(false, "AAA");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1056u);
    EXPECT_EQ(f.app.view.pagePos, 1024u);
    EXPECT_EQ(f.app.view.viewOffset, 0u) << "the page is shown from its start";
    EXPECT_EQ(f.app.view.cursorOffset, 32u) << "the cursor on the match's first byte";
    EXPECT_EQ(f.infoCell(), kInfoFound);

    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1057u);
    EXPECT_EQ(f.find(&at), SearchResult::NotFound);
    EXPECT_EQ(f.infoCell(), kInfoNotFound);
    EXPECT_EQ(f.app.view.pagePos, 1024u) << "the page from before the search";

    // Match case: the text must match exactly.
    f.showAt(0, 0);
    f.open(false, "AAA");
    f.request.matchCase = true;
    EXPECT_EQ(f.find(), SearchResult::NotFound);
}

TEST(SearchCommand, AfterNotFoundNothingRunsUntilTheDialogIsOpenedAgain) {
    CommandFixture f;
    Bytes content(4096, '.');
    put(content, 100, "xyz");
    f.openMain(content);
    f.showAt(0, 0);
    f.open(false, "xyz");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(f.find(), SearchResult::NotFound);
    EXPECT_EQ(f.find(), SearchResult::NotRun);
    f.request.directionDown = false;
    EXPECT_EQ(f.find(), SearchResult::NotRun) << "also in the other direction";

    f.showAt(0, 0);
    f.open(false, "xyz");
    EXPECT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 100u);

    // No Find Next in the request: nothing runs.
    f.request.findNext = false;
    EXPECT_EQ(f.find(), SearchResult::NotRun);

    // An invalid hex text or an empty text searches nothing and blocks nothing.
    f.open(true, "F3 6g");
    EXPECT_EQ(f.find(), SearchResult::NotFound);
    EXPECT_EQ(f.infoCell(), kInfoNotFound);
    std::strcpy(f.request.findText, "78 79 7A");
    EXPECT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 100u);
}

TEST(SearchCommand, ChangingDirectionGoesOnFromTheLastMatchOrFromTheView) {
    CommandFixture f;
    Bytes content(8192, '.');
    for (FilePos p : {200u, 1000u, 3000u, 5000u}) put(content, p, "KEY");
    f.openMain(content);
    f.showAt(0, 0);
    f.open(false, "key");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1000u);
    f.request.directionDown = false;  // back from the last match: the one before it
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 200u);
    f.request.directionDown = true;   // and forward again past it
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1000u);

    // Backward right after opening: the bytes shown and everything before.
    f.showAt(2560, 400);  // top 2960: shown up to 3471
    f.open(false, "key", false);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 3000u);
}

TEST(SearchCommand, EscBetweenBlocksReturnsToThePageAndFindNextGoesOn) {
    CommandFixture f;
    Bytes content(1200 * 1024, 0);
    put(content, 1100000, "\x12\x34\x56");
    f.openMain(content);
    f.showAt(2048, 16);
    f.platform.escAtPoll = {3};
    f.open(true, "12 34 56");
    EXPECT_EQ(f.find(), SearchResult::Interrupted);
    EXPECT_EQ(f.app.view.pagePos, 2048u);
    EXPECT_EQ(f.app.view.viewOffset, 16u);
    EXPECT_EQ(f.infoCell(), std::string(21, ' ')) << "no outcome line";
    // The progress lines showed where each block went on: the second block
    // starts at 2048 + 0x3FE00, its first candidate 510 bytes on.
    const std::vector<std::string> infoCellTexts = f.infoCellTexts();
    ASSERT_GE(infoCellTexts.size(), 2u);
    EXPECT_NE(std::find(infoCellTexts.begin(), infoCellTexts.end(), " 0000 0000 0004 07FE "), infoCellTexts.end());
    const FilePos stoppedAt = f.state.startPos;
    EXPECT_GT(stoppedAt, 3u * 0x3FE00);

    f.platform.escAtPoll.clear();
    FilePos at = 0;
    const int pollsBefore = f.platform.polls;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1100000u);
    EXPECT_LE(f.platform.polls - pollsBefore, 2) << "the search went on where it stopped";
}

TEST(SearchCommand, ARequestDispatchedBetweenBlocksRunsInsteadOfTheRunningSearch) {
    CommandFixture f;
    Bytes content(1024 * 1024, 'z');
    put(content, 900000, "ab");
    f.openMain(content);
    f.open(false, "ab");
    SearchResult nested = SearchResult::NotRun;
    f.platform.onPoll = [&] {
        if (f.platform.polls == 1) nested = runSearch(f.app, f.state, f.request, nullptr);
    };
    EXPECT_EQ(f.find(), SearchResult::Superseded);
    EXPECT_EQ(nested, SearchResult::Found);
    EXPECT_EQ(f.state.foundPos, 900000u);
    EXPECT_EQ(f.infoCell(), kInfoFound) << "the outer search leaves the nested one's outcome";
}

TEST(SearchCommand, TheMatchIsHighlightedUpToTheEndOfItsPage) {
    CommandFixture f;
    Bytes content(4096, 0x20);
    put(content, 512 + 500, "\xF3\x6B\x05\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D");
    f.openMain(content);
    f.open(true, "F3\"k\"05 01 2 3 4 5 6 7 8 9 A B C D");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    ASSERT_EQ(at, 1012u);
    ASSERT_EQ(f.app.view.pagePos, 512u);
    // Byte 500 of the page: row 1 + 31, column 4 of the row. Bytes 500 .. 511
    // are on the page, the last four of the 16 are not.
    const int row = kFirstDataRow + 31;
    auto hexCell = [&](int i) { return kHexColumn + hexDigitOffset(i); };
    EXPECT_EQ(f.platform.colours[row][hexCell(3)], f.app.view.hexBackground);
    for (int i = 4; i < 16; ++i) {
        EXPECT_EQ(f.platform.colours[row][hexCell(i)], kMatchHighlightColour) << "byte " << i;
        EXPECT_EQ(f.platform.colours[row][hexCell(i) + 2], kMatchHighlightColour) << "byte " << i;
        EXPECT_EQ(f.platform.colours[row][kFirstCharCell + i], kMatchHighlightColour) << "byte " << i;
    }
    EXPECT_EQ(f.platform.colours[row][kGroupGapColumn], kMatchHighlightColour) << "the gap between bytes 7 and 8";
    EXPECT_EQ(f.platform.rowText(row, hexCell(4), 2), "F3");
    EXPECT_EQ(f.platform.colours[row][kFirstCharCell + 3], f.app.view.charBackground);

    // A match across rows: the rows between are highlighted whole.
    drawPage(f.app);
    drawMatchHighlight(f.app, 512 + 14, 20);
    EXPECT_EQ(f.platform.colours[1][hexCell(13)], f.app.view.hexBackground);
    EXPECT_EQ(f.platform.colours[1][hexCell(14)], kMatchHighlightColour);
    EXPECT_EQ(f.platform.colours[2][hexCell(0)], kMatchHighlightColour);
    EXPECT_EQ(f.platform.colours[2][hexCell(15)], kMatchHighlightColour);
    EXPECT_EQ(f.platform.colours[3][hexCell(1)], kMatchHighlightColour);
    EXPECT_EQ(f.platform.colours[3][hexCell(2)], f.app.view.hexBackground);
}

TEST(SearchCommand, JournalChangesAreSearchedFromTheViewsRecords) {
    CommandFixture f;
    Bytes content(2 * 1024 * 1024, '.');
    put(content, 10000, "NEEDLE");    // its page's journal version breaks it
    put(content, 1500000, "NEEDLE");
    f.openMain(content);
    f.openJournal();
    Bytes page(content.begin() + 9728, content.begin() + 10240);
    page[10003 - 9728] = 'X';
    f.addJournalPage(9728, page);
    Bytes added(512, '.');
    put(added, 3, "NEEDLE");
    f.addJournalPage(700416, added);      // found
    f.addJournalPage(1048576, Bytes(512, '-'));
    Bytes shown(512, '.');
    put(shown, 10, "NEEDLE");
    f.addJournalPage(1049088, shown);     // the second page of a pair with two records

    f.showAt(1048576, 0);                 // both pages of the pair have records
    ASSERT_EQ(f.app.records.jReadFlag, kFirstHalfHasRecord | kSecondHalfHasRecord);
    f.open(false, "needle");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1049098u);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1500000u);

    f.showAt(1048576, 15);  // shown: 1048591 .. 1049102, the match at 1049098 ends beyond
    f.open(false, "needle", false);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 700419u);
    f.showAt(1048576, 32);
    f.open(false, "needle", false);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1049098u);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 700419u);
    EXPECT_EQ(f.find(&at), SearchResult::NotFound) << "the Main File's match at 10000 is changed";

    // The view moved away while the dialog stayed open: the walk cannot
    // start from the view's records and enters the chain at its end.
    f.showAt(0, 0);
    f.open(false, "needle");
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 700419u);
    f.showAt(1572864, 0);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 1049098u);
}


// The records of later blocks are read with the first block's; a command run
// between two blocks that rewrites one of them must be seen.
TEST(SearchCommand, AJournalRecordRewrittenBetweenBlocksIsReadAgain) {
    CommandFixture f;
    f.openMain(Bytes(1024 * 1024, '.'));
    f.openJournal();
    f.addJournalPage(512, Bytes(512, '-'));
    f.addJournalPage(307200, Bytes(512, '-'));  // in the second block, next in the Journal File
    f.showAt(0, 0);
    f.open(false, "NEEDLE");
    f.request.matchCase = true;
    f.platform.onPoll = [&] {
        if (f.platform.polls != 1) return;
        JournalRecord r;
        ASSERT_EQ(readRecord(f.app.journal, f.journalPages[307200], r), 0);
        std::memcpy(r.data + 7, "NEEDLE", 6);
        ASSERT_EQ(writeRecord(f.app.journal, r), 0);
    };
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 307207u);
}

}  // namespace
}  // namespace quorby::testing
