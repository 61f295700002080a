// Storing page halves through the journal's own operations: a new version,
// the newest one again in place, an exchange appended and linked after the
// Main File write. Each leaves the links the dump checks (H1-H8 through the
// journal's invariants) and the history a user expects: the newest content
// shown, Undo on the newest entry, the older versions reachable.
#include <gtest/gtest.h>

#include <cstring>

#include "journal/page_store.h"
#include "journal/record_states.h"
#include "tests/journal/journal_fixture.h"

namespace quorby::testing {
namespace {

JournalRecord content(std::uint8_t fill, std::uint32_t marks = 0) {
    JournalRecord r;
    std::memset(r.data, fill, sizeof r.data);
    r.changeMap[0] = 1;
    r.anz = kRecordDataSize;
    r.flag = marks;
    return r;
}

TEST(PageStore, VersionsInPlaceStoresAndExchangesKeepTheLinks) {
    JournalFixture j;
    const FilePos low = j.addPage(0x000, 0x11);
    const FilePos page = j.addPage(0x400, 0x22);
    const FilePos high = j.addPage(0x800, 0x33);
    ASSERT_EQ(j.dump().status, kDumpAllHold);

    // A new version of the middle page: newest in the chain, between the
    // same neighbours, the newest undo entry; the older one stays reachable.
    JournalRecord present = j.read(page);
    JournalRecord added = content(0x44, kFlagRedoGroup);
    ASSERT_EQ(appendHalfVersion(j.jf, present, added), 0);
    EXPECT_EQ(j.jf.header.undo, added.jAdr);
    EXPECT_EQ(j.read(low).nextPtr, added.jAdr);
    EXPECT_EQ(j.read(high).prevPtr, added.jAdr);
    EXPECT_EQ(j.read(added.jAdr).pJnl, page);
    EXPECT_EQ(j.read(page).nJnl, added.jAdr);
    EXPECT_EQ(j.read(added.jAdr).data[7], 0x44);
    EXPECT_TRUE(hasRedoGroup(j.read(added.jAdr).flag));
    EXPECT_EQ(j.read(added.jAdr).flag & kFlagNotInUndoOrder, 0u);
    EXPECT_EQ(j.dump().status, kDumpAllHold);

    // Stored again in place: no record added, the content replaced, still Undo.
    const FilePos end = j.jf.journalEnd;
    JournalRecord again = j.read(added.jAdr);
    std::memset(again.data, 0x55, sizeof again.data);
    ASSERT_EQ(overwriteNewestInPlace(j.jf, again), 0);
    EXPECT_EQ(j.jf.journalEnd, end);
    EXPECT_EQ(j.read(added.jAdr).data[7], 0x55);
    EXPECT_EQ(j.jf.header.undo, added.jAdr);
    EXPECT_EQ(j.dump().status, kDumpAllHold);

    // The lowest page stored in place moves to the newest end of the undo
    // order once, so undo never meets it twice.
    JournalRecord lowAgain = j.read(low);
    std::memset(lowAgain.data, 0x66, sizeof lowAgain.data);
    ASSERT_EQ(overwriteNewestInPlace(j.jf, lowAgain), 0);
    EXPECT_EQ(j.jf.header.undo, low);
    EXPECT_EQ(j.read(low).pUndo, added.jAdr);
    EXPECT_EQ(j.read(added.jAdr).nUndo, low);
    EXPECT_EQ(j.dump().status, kDumpAllHold);

    // An exchange of the highest page: appended unlinked, then linked as its
    // newest version once the Main File holds the new bytes.
    JournalRecord highCopy = j.read(high);
    JournalRecord x = content(0x77);
    x.mainAdr = 0x800;
    x.flag = kStateExchangeApplied | kFlagNotInUndoOrder;
    ASSERT_EQ(appendExchangeRecord(j.jf, x, &highCopy), 0);
    EXPECT_EQ(x.prevPtr, added.jAdr);
    EXPECT_EQ(j.read(high).nJnl, kEmptyPtr);   // nothing points at it yet
    EXPECT_EQ(j.jf.header.undo, low);
    ASSERT_EQ(linkExchangeRecord(j.jf, x, &highCopy), 0);
    EXPECT_EQ(j.read(high).nJnl, x.jAdr);
    EXPECT_EQ(j.read(added.jAdr).nextPtr, x.jAdr);
    EXPECT_EQ(j.jf.header.lastPtr, x.jAdr);
    EXPECT_EQ(j.jf.header.undo, x.jAdr);
    std::uint8_t original[kRecordDataSize];
    int failed = 0;
    ASSERT_TRUE(oldestExchangeData(j.jf, j.read(x.jAdr), original, &failed));
    EXPECT_EQ(original[7], 0x77);
    EXPECT_EQ(failed, 0);
    EXPECT_FALSE(oldestExchangeData(j.jf, j.read(low), original, &failed));

    // The group the exchange ended is closed: its redo mark goes.
    JournalRecord marked = j.read(x.jAdr);
    marked.flag |= kFlagRedoGroup;
    ASSERT_EQ(writeRecordHeader(j.jf, marked, kRecordLinks), 0);
    ASSERT_EQ(endHistoryGroupAt(j.jf, x.jAdr), 0);
    EXPECT_FALSE(hasRedoGroup(j.read(x.jAdr).flag));

    // Marked as showing the Main File, the version keeps its links.
    JournalRecord shown = j.read(page);
    ASSERT_EQ(markShowingMainFile(j.jf, shown), 0);
    EXPECT_EQ(j.read(page).flag & kShowsMainFile, kShowsMainFile);
    EXPECT_EQ(j.read(page).nJnl, added.jAdr);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
