#include <gtest/gtest.h>

#include <cstring>

#include "journal/command_commit.h"
#include "journal/journal_format.h"
#include "journal/journal_recovery.h"
#include "journal/rollback_file.h"
#include "journal/written_marks.h"
#include "tests/journal/journal_fixture.h"

namespace quorby::testing {
namespace {

std::uint64_t diskU64(const std::vector<std::uint8_t>& b, std::size_t off) { return loadU64(b.data() + off); }

TEST(JournalFile, NewJournalIs1024BytesAndEveryRecordAdds640) {
    JournalFixture j;  // its header byte for byte: JournalFormat.NewHeaderMatchesTheLayoutByteForByte
    ASSERT_EQ(j.bytes().size(), 1024u);
    JournalHeader onDisk;
    decodeJournalHeader(j.bytes().data(), onDisk);
    EXPECT_EQ(mainNameOf(onDisk), kMainName);

    FilePos first = j.addPage(0x200, 0x11);
    EXPECT_EQ(first, 1024u);
    EXPECT_EQ(j.bytes().size(), 1664u);
    FilePos last = j.addPage(0x3E00, 0x22, 100);  // the short last page of the Main File
    EXPECT_EQ(last, 1664u);
    EXPECT_EQ(j.bytes().size(), 2304u);
    EXPECT_EQ(j.jf.journalEnd, 2304u);

    JournalRecord r = j.read(last);
    EXPECT_EQ(r.mainAdr, 0x3E00u);
    EXPECT_EQ(r.anz, 100u);
    EXPECT_EQ(r.data[99], 0x22);
    EXPECT_EQ(r.prevPtr, first);
    EXPECT_EQ(r.pUndo, first);
    EXPECT_EQ(r.flag & kFlagNotInUndoOrder, 0u);

    // The header moved in memory only; the end of the command brings it to disk.
    EXPECT_EQ(j.jf.header.first, first);
    EXPECT_EQ(j.jf.header.lastPtr, last);
    EXPECT_EQ(j.jf.header.undo, last);
    EXPECT_EQ(j.jf.header.firstUndo, first);
    EXPECT_EQ(diskU64(j.bytes(), kHdrFirst), kEmptyPtr);
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(diskU64(j.bytes(), kHdrFirst), first);
    EXPECT_EQ(diskU64(j.bytes(), kHdrLastPtr), last);
    EXPECT_EQ(diskU64(j.bytes(), kHdrUndo), last);
    EXPECT_EQ(diskU64(j.bytes(), kHdrFirstUndo), first);
    EXPECT_EQ(diskU64(j.bytes(), kHdrJnlEnd), 2304u);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
}

TEST(JournalFile, AppendWritesTheRecordFirstThenPartialNeighbourWrites) {
    JournalFixture j;
    FilePos low = j.addPage(0x000, 1);
    FilePos high = j.addPage(0x800, 2);
    // Flag bits that no operation names must survive the neighbours' rewrites.
    JournalRecord r = j.read(low);
    r.flag = 0xFFFFFFFF & ~kFlagNotInUndoOrder;
    ASSERT_EQ(writeRecordHeader(j.jf, r, kRecordLinks), 0);

    j.io.resetCounts();
    j.io.logEvents = true;
    FilePos mid = j.addPage(0x400, 3);
    std::vector<IoEvent> rest(j.io.events.begin() + 2, j.io.events.end());  // after the fixture's chain walk
    const std::vector<std::tuple<char, FilePos, std::uint32_t>> expected = {
        {'R', low, 64},  {'R', high, 64}, {'W', mid, 640}, {'W', low, 24},
        {'W', high, 24}, {'R', high, 64}, {'W', high, 64}, {'W', mid, 64}};
    ASSERT_EQ(rest.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rest[i].kind, std::get<0>(expected[i])) << i;
        EXPECT_EQ(rest[i].pos, std::get<1>(expected[i])) << i;
        EXPECT_EQ(rest[i].length, std::get<2>(expected[i])) << i;
    }
    EXPECT_EQ(j.read(low).nextPtr, mid);
    EXPECT_EQ(j.read(low).flag, 0xFFFFFFFF & ~kFlagNotInUndoOrder);
    EXPECT_EQ(j.read(high).prevPtr, mid);
    EXPECT_EQ(j.read(high).nUndo, mid);
    EXPECT_EQ(j.read(mid).pUndo, high);
    EXPECT_EQ(j.read(mid).data[0], 3);

    // A neighbour on the wrong side is refused before anything is written.
    JournalRecord wrong;
    wrong.mainAdr = 0x600;
    wrong.prevPtr = high;
    wrong.nextPtr = kEmptyPtr;
    j.io.resetCounts();
    int reported = j.failuresReported;
    EXPECT_EQ(appendNewPage(j.jf, wrong), 1);
    EXPECT_EQ(j.io.writes, 0u);
    EXPECT_EQ(j.failuresReported, reported + 1);
    EXPECT_EQ(j.bytes().size(), 1024u + 3 * 640);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
}

TEST(JournalFile, FindPredecessorAtBothEndsAndCuttingTheChain) {
    JournalFixture j;
    FilePos a = j.addPage(0x200, 1);
    FilePos b = j.addPage(0x400, 2);
    FilePos c = j.addPage(0x800, 3);
    FilePos result = 0;

    j.io.resetCounts();
    ASSERT_EQ(findPredecessor(j.jf, 0x10000, &result), 0);
    EXPECT_EQ(result, c);
    EXPECT_EQ(j.io.reads, 1u);  // the tail answers at once
    ASSERT_EQ(findPredecessor(j.jf, 0x600, &result), 0);
    EXPECT_EQ(result, b);
    ASSERT_EQ(findPredecessor(j.jf, 0x200, &result), 0);  // at the lowest page
    EXPECT_TRUE(isEmptyPtr(result));
    ASSERT_EQ(findPredecessor(j.jf, 0, &result), 0);
    EXPECT_TRUE(isEmptyPtr(result));

    // Above every page: nothing changes, nothing is written.
    j.io.resetCounts();
    ASSERT_EQ(cutAddressChain(j.jf, 0xA00), 0);
    EXPECT_EQ(j.jf.header.lastPtr, c);
    EXPECT_EQ(j.io.writes, 0u);

    ASSERT_EQ(cutAddressChain(j.jf, 0x600), 0);
    EXPECT_EQ(j.jf.header.lastPtr, b);
    EXPECT_TRUE(isEmptyPtr(j.read(b).nextPtr));
    ASSERT_EQ(commitCommand(j.jf), 0);
    DumpResult d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold) << d.text;
    EXPECT_TRUE(d.mentions("address chain: 2 pages, MainAdr 200 .. 400")) << d.text;

    ASSERT_EQ(cutAddressChain(j.jf, 0x100), 0);
    EXPECT_TRUE(isEmptyPtr(j.jf.header.first));
    EXPECT_TRUE(isEmptyPtr(j.jf.header.lastPtr));
    ASSERT_EQ(commitCommand(j.jf), 0);
    d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold) << d.text;
    EXPECT_TRUE(d.mentions("address chain: empty"));
    (void)a;
}

TEST(JournalFile, VersionChainsStayDoublyLinked) {
    JournalFixture j;
    FilePos a = j.addPage(0x400, 1);
    FilePos b = j.addVersion(a, 2);
    // Inserting after `a`, which already has a newer version, must repair
    // that version's back link.
    FilePos c = j.addVersion(a, 3);
    EXPECT_EQ(j.read(a).nJnl, c);
    EXPECT_EQ(j.read(c).pJnl, a);
    EXPECT_EQ(j.read(c).nJnl, b);
    EXPECT_EQ(j.read(b).pJnl, c);

    // A new oldest version, as writing into the Main File appends one.
    JournalRecord newest = j.read(a);
    JournalRecord saved;
    saved.mainAdr = 0x400;
    saved.anz = 512;
    saved.flag = 0x632271;
    ASSERT_EQ(appendRecord(j.jf, saved), 0);
    ASSERT_EQ(linkOlderVersion(j.jf, newest, saved), 0);
    EXPECT_EQ(j.read(a).pJnl, saved.jAdr);
    EXPECT_EQ(j.read(saved.jAdr).nJnl, a);
    EXPECT_TRUE(isEmptyPtr(j.read(saved.jAdr).pJnl));
    EXPECT_EQ(j.read(saved.jAdr).mainAdr, 0x400u);

    // Taking a's place in the address chain with all versions of the
    // neighbours rewritten.
    FilePos below = j.addPage(0x000, 4);
    FilePos belowNewer = j.addVersion(below, 5);
    JournalRecord replacement = j.read(c);
    replacement.prevPtr = below;
    replacement.nextPtr = kEmptyPtr;
    ASSERT_EQ(writeRecordHeader(j.jf, replacement, kRecordAddressLinks), 0);
    ASSERT_EQ(linkAddressNeighbours(j.jf, replacement, VersionScope::AllVersions), 0);
    EXPECT_EQ(j.read(below).nextPtr, c);
    EXPECT_EQ(j.read(belowNewer).nextPtr, c);
    EXPECT_EQ(j.jf.header.lastPtr, c);

    ASSERT_EQ(commitCommand(j.jf), 0);
    DumpResult d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold) << d.text;
}

// The undo order read both ways, at most 10 steps, so a loop shows as a long list.
std::string undoOrder(JournalFixture& j) {
    std::string forward, backward;
    FilePos p = j.jf.header.firstUndo;
    for (int i = 0; i < 10 && !isEmptyPtr(p); ++i) {
        JournalRecord r = j.read(p);
        forward += char('0' + r.mainAdr / 0x200);
        p = r.nUndo;
    }
    p = j.jf.header.undo;
    for (int i = 0; i < 10 && !isEmptyPtr(p); ++i) {
        JournalRecord r = j.read(p);
        backward.insert(backward.begin(), char('0' + r.mainAdr / 0x200));
        p = r.pUndo;
    }
    return forward == backward ? forward : forward + " / " + backward;
}

TEST(JournalFile, StoringAnEntryAgainMovesItToTheEndOfTheUndoOrder) {
    JournalFixture j;
    FilePos a = j.addPage(0x000, 1);
    j.addPage(0x200, 2);
    FilePos c = j.addPage(0x400, 3);
    EXPECT_EQ(undoOrder(j), "012");

    JournalRecord r = j.read(a);
    ASSERT_EQ(moveUndoEntryToNewest(j.jf, r), 0);  // the oldest entry
    EXPECT_EQ(undoOrder(j), "120");
    j.io.resetCounts();
    r = j.read(a);
    ASSERT_EQ(moveUndoEntryToNewest(j.jf, r), 0);  // already the newest
    EXPECT_EQ(j.io.writes, 0u);
    r = j.read(c);
    ASSERT_EQ(moveUndoEntryToNewest(j.jf, r), 0);  // one in the middle
    EXPECT_EQ(undoOrder(j), "102");

    // Everything undone: a new store of the oldest entry drops the redo list.
    j.jf.header.undo = kEmptyPtr;
    r = j.read(j.jf.header.firstUndo);
    ASSERT_EQ(moveUndoEntryToNewest(j.jf, r), 0);
    EXPECT_EQ(undoOrder(j), "1");
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
}

// Proves R2: the commit makes the files durable before it counts.
TEST(JournalFile, CommitWritesTheLiveHeaderOnceAndSurvivesPowerLoss) {
    JournalFixture j;
    j.addPage(0x000, 1);
    FilePos second = j.addPage(0x200, 2);
    j.io.resetCounts();
    j.io.logEvents = true;
    ASSERT_EQ(commitCommand(j.jf), 0);
    ASSERT_EQ(j.io.events.size(), 3u);
    EXPECT_EQ(j.io.events[0].kind, 'S');  // records durable before the header names them
    EXPECT_EQ(j.io.events[1].kind, 'W');
    EXPECT_EQ(j.io.events[1].pos, 0u);
    EXPECT_EQ(j.io.events[1].length, kHeaderLiveSize);
    EXPECT_EQ(j.io.events[2].kind, 'S');
    j.io.resetCounts();
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_TRUE(j.io.events.empty());  // nothing changed since

    // A command that never reached its end: power is lost before the commit.
    j.addPage(0x400, 3);
    j.jf.header.jnlFlags |= kJnlUnwrittenChanges;
    j.io.crash();
    ASSERT_EQ(j.bytes().size(), 1024u + 2 * 640);
    DumpResult d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold) << d.text;
    EXPECT_EQ(diskU64(j.bytes(), kHdrUndo), second);
    EXPECT_EQ(diskU64(j.bytes(), kHdrLastPtr), second);

    // Reopening after the crash: the length decides where appending goes on.
    JournalFile again;
    attachJournal(again, j.io, j.jf.handle, j.path);
    ASSERT_EQ(measureJournal(again), 0);
    ASSERT_EQ(readJournalHeader(again), 0);
    EXPECT_EQ(again.journalEnd, 1024u + 2 * 640);
    EXPECT_FALSE(headerNeedsCommit(again));
}

// Marks of versions written into the Main File: neighbouring records in one
// transfer, a record the command holds keeps its mark among its held bytes
// until the commit, a record marked twice keeps the last mark. Proves R5
// (marks without pre-images) beside R1 (held units).
TEST(JournalFile, WrittenMarksGoOutInRunsAndRespectHeldRecords) {
    JournalFixture j;
    std::vector<FilePos> rec;
    for (int k = 0; k < 5; ++k) rec.push_back(j.addPage(FilePos(k) * 0x200, std::uint8_t(k)));
    ASSERT_EQ(commitCommand(j.jf), 0);
    useRollbackFile(j.jf);
    auto diskFlag = [&j](FilePos r) { return loadU32(j.bytes().data() + r + kRecFlag); };
    auto shownFlag = [&j](FilePos r) {
        JournalRecord x;
        EXPECT_EQ(readRecordHeader(j.jf, r, kRecordLinks, x), 0);
        return x.flag;
    };
    // The running command rewrites record 3 in place: it is held.
    JournalRecord held;
    ASSERT_EQ(readRecordHeader(j.jf, rec[3], kRecordLinks, held), 0);
    held.pJnl = rec[0];
    ASSERT_EQ(writeRecordHeader(j.jf, held, kRecordLinks), 0);
    const std::uint32_t before3 = diskFlag(rec[3]);
    const std::vector<std::uint8_t> data0(j.bytes().begin() + rec[0] + 128, j.bytes().begin() + rec[0] + 640);

    std::vector<FlagMark> marks;
    for (int k : {4, 1, 0, 2, 3}) marks.push_back({rec[k], 0x400000u + std::uint32_t(k)});
    marks.push_back({rec[1], 0x400100u});
    j.io.resetCounts();
    ASSERT_EQ(writeFlagMarks(j.jf, marks), 0);
    EXPECT_EQ(j.io.writes, 2u);  // records 0 to 2 together, record 4 alone
    EXPECT_EQ(diskFlag(rec[0]), 0x400000u);
    EXPECT_EQ(diskFlag(rec[1]), 0x400100u);
    EXPECT_EQ(diskFlag(rec[2]), 0x400002u);
    EXPECT_EQ(diskFlag(rec[4]), 0x400004u);
    EXPECT_EQ(std::vector<std::uint8_t>(j.bytes().begin() + rec[0] + 128, j.bytes().begin() + rec[0] + 640), data0);
    EXPECT_EQ(diskFlag(rec[3]), before3);  // held: on disk only after its pre-image
    EXPECT_EQ(shownFlag(rec[3]), 0x400003u);
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(diskFlag(rec[3]), 0x400003u);
    JournalRecord after;
    ASSERT_EQ(readRecordHeader(j.jf, rec[3], kRecordLinks, after), 0);
    EXPECT_EQ(after.pJnl, rec[0]);  // the held link went out with the mark

    // A mark that names no record is refused and reported.
    std::vector<FlagMark> wrong{{rec[0] + 8, 1}};
    const int reported = j.failuresReported;
    EXPECT_EQ(writeFlagMarks(j.jf, wrong), 1);
    EXPECT_EQ(j.failuresReported, reported + 1);
}

// With a rollback file and room set aside on the drive, appended records
// wait in memory and go out at the commit, in one transfer with the records
// around them; until then every read shows them. Where no room can be set
// aside the append is a write of its own, and a full drive fails it at once.
// Proves R6.
TEST(JournalFile, AppendedRecordsWaitForTheCommitWhereRoomIsSetAside) {
    JournalFixture j;
    const FilePos first = j.addPage(0x000, 1);
    ASSERT_EQ(commitCommand(j.jf), 0);
    useRollbackFile(j.jf);
    j.jf.appendRoom = kJournalRecordSize;
    const std::size_t committed = j.bytes().size();
    j.io.resetCounts();
    std::vector<FilePos> added;
    for (int k = 1; k <= 3; ++k) added.push_back(j.addPage(FilePos(k) * 0x200, std::uint8_t(0x10 + k)));
    EXPECT_EQ(j.io.writes, 0u);
    EXPECT_EQ(j.bytes().size(), committed);
    std::uint8_t data[kRecordDataSize];
    ASSERT_EQ(readRecordData(j.jf, added[1], data), 0);
    EXPECT_EQ(data[0], 0x12);
    // A span from committed records into the waiting ones reads both.
    std::vector<std::uint8_t> span(2 * kJournalRecordSize + 100);
    std::uint32_t done = 0;
    ASSERT_EQ(readJournalSpan(j.jf, first, span.data(), std::uint32_t(span.size()), &done), 0);
    EXPECT_EQ(done, span.size());
    EXPECT_EQ(span[kJournalRecordSize + kRecordHeaderSize], 0x11);
    ASSERT_EQ(readJournalSpan(j.jf, added[2], span.data(), std::uint32_t(span.size()), &done), 0);
    EXPECT_EQ(done, kJournalRecordSize);

    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(j.bytes().size(), committed + 3 * kJournalRecordSize);
    EXPECT_EQ(j.bytes()[added[2] + kRecordHeaderSize], 0x13);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
    // The linked and the added records together, then the header.
    EXPECT_EQ(j.io.writesOf(j.jf.handle), 2u);

    // A full drive beyond the room set aside (a record's at a time here): the
    // append's own write fails and nothing links it.
    j.io.failWrites = true;
    JournalRecord r;
    r.mainAdr = 0x1000;
    r.anz = 512;
    const FilePos end = j.jf.journalEnd;
    EXPECT_EQ(appendRecord(j.jf, r), 1);
    EXPECT_EQ(j.jf.journalEnd, end);
    EXPECT_TRUE(isEmptyPtr(r.jAdr));
    EXPECT_GT(j.failuresReported, 0);
}

// A command that appends more records than are held at once: the full run
// goes out on its own without a sync (appended records need no pre-image),
// later links into records already written out are held as usual, and
// everything reads back and commits whole.
TEST(JournalFile, AppendsBeyondTheHeldLimitGoOutWithoutASync) {
    JournalFixture j;
    j.addPage(0x10000000, 1);
    ASSERT_EQ(commitCommand(j.jf), 0);
    useRollbackFile(j.jf);
    j.jf.appendRoom = FilePos(8) << 20;
    j.io.resetCounts();
    // Each page lies below the ones before: it is linked to the last one added.
    const int count = int(kRollbackHeldLimit) + 10;
    std::vector<FilePos> added;
    for (int k = 0; k < count; ++k) added.push_back(j.addPage(FilePos(count - k) * 0x200, std::uint8_t(k)));
    EXPECT_EQ(j.io.syncs, 0u);
    EXPECT_GE(j.io.writesOf(j.jf.handle), 1u);
    const char* broken = nullptr;
    EXPECT_EQ(checkCommitProtocol(j.jf, &broken), 0) << broken;
    for (int k : {0, int(kRollbackHeldLimit) - 1, int(kRollbackHeldLimit), count - 1}) {
        std::uint8_t data[kRecordDataSize];
        ASSERT_EQ(readRecordData(j.jf, added[std::size_t(k)], data), 0);
        EXPECT_EQ(data[0], std::uint8_t(k));
        JournalRecord r;
        ASSERT_EQ(readRecordHeader(j.jf, added[std::size_t(k)], kRecordLinks, r), 0);
        EXPECT_EQ(r.prevPtr, k + 1 < count ? added[std::size_t(k) + 1] : kEmptyPtr);
    }
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(j.dump().status, kDumpAllHold);
}

// Two committed pages and a rollback file in use; the last record's position.
FilePos twoCommittedPages(JournalFixture& j) {
    j.addPage(0x000, 1);
    const FilePos last = j.addPage(0x400, 2);
    EXPECT_EQ(commitCommand(j.jf), 0);
    useRollbackFile(j.jf);
    return last;
}

// Whatever `change` does as the next command: can it commit without pre-images?
bool appendOnly(void (*change)(JournalFixture&, FilePos last)) {
    JournalFixture j;
    change(j, twoCommittedPages(j));
    return commitNeedsNoPreImages(j.jf);
}

void setLink(JournalFixture& j, FilePos record, FilePos JournalRecord::*link, FilePos value) {
    JournalRecord r = j.read(record);
    r.*link = value;
    EXPECT_EQ(writeRecordHeader(j.jf, r, kRecordLinks), 0);
}

// Proves R7: records and links synced first, then the header sector.
TEST(JournalFile, ACommandThatOnlyAppendsAndLinksCommitsWithoutTheRollbackFile) {
    // Appending after the last record sets its empty NextPtr: nothing else
    // committed changes.
    EXPECT_TRUE(appendOnly([](JournalFixture& j, FilePos) { j.addPage(0x800, 3); }));
    EXPECT_TRUE(appendOnly([](JournalFixture& j, FilePos last) {
        const FilePos added = j.addPage(0x800, 3);
        setLink(j, last, &JournalRecord::nUndo, added);
    }));
    // Anything else needs the pre-images: a link that was not empty, a link
    // that does not point at an appended record, other bytes of the last
    // record, any byte of an earlier record, a command with no record added.
    EXPECT_FALSE(appendOnly([](JournalFixture& j, FilePos last) {
        const FilePos added = j.addPage(0x800, 3);
        setLink(j, last, &JournalRecord::prevPtr, added);
    }));
    EXPECT_FALSE(appendOnly([](JournalFixture& j, FilePos last) {
        j.addPage(0x800, 3);
        setLink(j, last, &JournalRecord::nUndo, kJournalHeaderSize);
    }));
    EXPECT_FALSE(appendOnly([](JournalFixture& j, FilePos last) {
        j.addPage(0x800, 3);
        JournalRecord r = j.read(last);
        r.data[5] ^= 0xFF;
        EXPECT_EQ(writeRecord(j.jf, r), 0);
    }));
    EXPECT_FALSE(appendOnly([](JournalFixture& j, FilePos) {
        const FilePos added = j.addPage(0x800, 3);
        setLink(j, kJournalHeaderSize, &JournalRecord::nUndo, added);
    }));
    EXPECT_FALSE(appendOnly([](JournalFixture& j, FilePos last) { setLink(j, last, &JournalRecord::nUndo, kJournalHeaderSize); }));

    // Committed: two writes into the Journal File and none into a rollback file.
    JournalFixture j;
    const FilePos last = twoCommittedPages(j);
    j.io.resetCounts();
    const FilePos added = j.addPage(0x800, 3);
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(j.io.writes, 2u);
    EXPECT_FALSE(j.io.exists(rollbackNameFor(j.path)));
    EXPECT_EQ(j.read(last).nextPtr, added);
    EXPECT_EQ(j.dump().status, kDumpAllHold);

    // Cut before the header: the records and the link are on disk, the
    // header is not. The opening cuts the record off and unlinks it, also
    // when the appended record itself did not arrive.
    for (bool recordLost : {false, true}) {
        SCOPED_TRACE(recordLost);
        JournalFixture k;
        const FilePos lastOfK = twoCommittedPages(k);
        const std::vector<std::uint8_t> before = k.bytes();
        const FilePos next = k.addPage(0x800, 3);
        ASSERT_TRUE(commitNeedsNoPreImages(k.jf));
        ASSERT_EQ(writeHeldUnitsWithoutPreImages(k.jf), 0);
        ASSERT_EQ(loadU64(k.bytes().data() + lastOfK + kRecNextPtr), next);
        if (recordLost) k.bytes().resize(before.size() + 100);
        JournalFile reopened;
        attachJournal(reopened, k.io, k.jf.handle, k.path);
        ASSERT_EQ(measureJournal(reopened), 0);
        ASSERT_EQ(readJournalHeader(reopened), 0);
        ASSERT_EQ(discardUnfinishedCommand(reopened), 0);
        EXPECT_EQ(k.bytes(), before);
        EXPECT_EQ(k.dump().status, kDumpAllHold);
    }
}

TEST(JournalFile, FailedTransfersAreReportedAndNeverLinked) {
    JournalFixture j;
    j.addPage(0x000, 1);
    JournalRecord r;
    r.mainAdr = 0x200;
    r.prevPtr = j.jf.header.lastPtr;
    j.io.failNth(2);  // the read of the neighbour succeeds, the append fails
    EXPECT_EQ(appendNewPage(j.jf, r), 1);
    EXPECT_TRUE(j.lastFailureWriting);
    EXPECT_EQ(j.failuresReported, 1);
    EXPECT_TRUE(isEmptyPtr(r.jAdr));
    EXPECT_EQ(j.jf.journalEnd, 1664u);
    EXPECT_TRUE(isEmptyPtr(j.read(1024).nextPtr));

    j.io.failNth(1);
    JournalRecord copy;
    EXPECT_EQ(readRecordHeader(j.jf, 1024, kRecordLinks, copy), 1);
    EXPECT_FALSE(j.lastFailureWriting);
    EXPECT_EQ(j.io.lastError().code, 30u);

    // A pointer outside the records is refused without any transfer.
    j.io.resetCounts();
    EXPECT_EQ(readRecordHeader(j.jf, 0xFFFFFFFF00000400ull, kRecordLinks, copy), 1);
    EXPECT_EQ(readRecordHeader(j.jf, 1664, kRecordLinks, copy), 1);
    EXPECT_EQ(j.io.lastError().code, 38u);
    EXPECT_EQ(readRecordHeader(j.jf, 1100, kRecordLinks, copy), 1);
    EXPECT_EQ(j.io.reads, 0u);
}

// Fields read from disk are lengths and positions: a record saying more
// than a page of data, or a MainAdr inside a page, is reported and never
// used; the dump names both.
TEST(JournalFile, HostileRecordFieldsAreRefused) {
    for (const auto& [offset, value] : std::vector<std::pair<std::uint32_t, std::uint64_t>>{
             {kRecAnz, 4000}, {kRecAnz, 513}, {kRecMainAdr, 0x201}}) {
        SCOPED_TRACE(offset);
        JournalFixture j;
        const FilePos at = j.addPage(0x200, 1);
        ASSERT_EQ(commitCommand(j.jf), 0);
        std::vector<std::uint8_t>& b = j.bytes();
        if (offset == kRecAnz)
            storeU32(b.data() + at + offset, std::uint32_t(value));
        else
            storeU64(b.data() + at + offset, value);
        JournalRecord r;
        EXPECT_EQ(readRecordHeader(j.jf, at, kRecordLinks, r), 1);
        EXPECT_EQ(readRecord(j.jf, at, r), 1);
        EXPECT_EQ(j.io.lastError().code, 1392u);  // "The file or directory is corrupted"
        EXPECT_NE(j.dump().status, kDumpAllHold);
    }
}

// What a program killed in the middle of appending a page between two others
// leaves on disk: every transfer before the kill happened, none after it.
// Proves R3 and R7: the opening cuts off the records after the committed
// length and empties the links into them.
TEST(JournalFile, AppendCutShortAtEachTransfer) {
    struct Expect {
        int status;
        const char* mention;
    };
    const Expect expected[] = {
        {kDumpAllHold, "result: all invariants hold"},    // 1: neighbour read
        {kDumpAllHold, "result: all invariants hold"},    // 2: neighbour read
        {kDumpInvariantFailed, "FAIL invariant 2 (length): 128 bytes after the last whole record"},
        {kDumpAllHold, "unlinked"},                       // 4: record there, nothing points to it
        {kDumpInvariantFailed, "FAIL invariant 4 (address chain): record 680 has PrevPtr 400, but the chain reached it from 900"},
        {kDumpAllHold, "unlinked"},                       // 6: chain linked, undo order not yet
        {kDumpAllHold, "unlinked"},                       // 7
        {kDumpAllHold, "unlinked"},                       // 8: only the flag rewrite missing
    };
    for (int n = 1; n <= 8; ++n) {
        JournalFixture j;
        j.addPage(0x000, 1);
        j.addPage(0x800, 2);
        ASSERT_EQ(commitCommand(j.jf), 0);
        JournalRecord r;
        r.mainAdr = 0x400;
        r.anz = 512;
        r.prevPtr = 1024;
        r.nextPtr = 1664;
        j.io.failNth(n, n == 3 ? 128 : 0, true);
        EXPECT_EQ(appendNewPage(j.jf, r), 1) << n;
        j.io.stopFailing();
        DumpResult d = j.dump();
        EXPECT_EQ(d.status, expected[n - 1].status) << "kill at transfer " << n << "\n" << d.text;
        EXPECT_TRUE(d.mentions(expected[n - 1].mention)) << "kill at transfer " << n << "\n" << d.text;

        if (n == 3) {
            // Reopened, the cut-short tail is overwritten by the next append.
            JournalFile again;
            attachJournal(again, j.io, j.jf.handle, j.path);
            ASSERT_EQ(measureJournal(again), 0);
            ASSERT_EQ(readJournalHeader(again), 0);
            EXPECT_EQ(again.journalEnd, 2304u);
            JournalRecord retry;
            retry.mainAdr = 0x400;
            retry.anz = 512;
            retry.prevPtr = 1024;
            retry.nextPtr = 1664;
            ASSERT_EQ(appendNewPage(again, retry), 0);
            EXPECT_EQ(retry.jAdr, 2304u);
            ASSERT_EQ(commitCommand(again), 0);
            EXPECT_EQ(j.dump().status, kDumpAllHold);
        }
    }
}

TEST(JournalFile, HundredThousandRecordsWalkedEndToEnd) {
    constexpr std::uint64_t kCount = 100000;
    JournalFixture j;
    j.jf.syncOnCommit = false;
    j.io.resetCounts();
    for (std::uint64_t i = 0; i < kCount; ++i) {
        JournalRecord r;
        r.mainAdr = i * 1024;  // every other page
        r.anz = 512;
        r.prevPtr = j.jf.header.lastPtr;
        ASSERT_EQ(appendNewPage(j.jf, r), 0);
    }
    // Appending costs the same at record 100000 as at record 2.
    EXPECT_EQ(j.io.reads, 2 * kCount - 2);
    EXPECT_EQ(j.io.writes, 4 * kCount - 2);
    ASSERT_EQ(commitCommand(j.jf), 0);
    EXPECT_EQ(j.bytes().size(), 1024 + 640 * kCount);

    j.io.resetCounts();
    AddressWalk walk;
    JournalRecord r;
    startAddressWalk(j.jf, walk);
    std::uint64_t seen = 0;
    FilePos lastAdr = 0;
    while (nextAddressRecord(j.jf, walk, r) == 0) {
        if (seen > 0) {
            ASSERT_GT(r.mainAdr, lastAdr);
        }
        lastAdr = r.mainAdr;
        ++seen;
    }
    EXPECT_EQ(walk.state, WalkState::End);
    EXPECT_EQ(seen, kCount);
    EXPECT_EQ(lastAdr, (kCount - 1) * 1024);
    EXPECT_EQ(j.io.reads, kCount);
    EXPECT_EQ(j.io.bytesRead, 64 * kCount);
    EXPECT_EQ(j.io.writes, 0u);

    FilePos result = 0;
    j.io.resetCounts();
    ASSERT_EQ(findPredecessor(j.jf, 0, &result), 0);  // walks down the whole chain
    EXPECT_TRUE(isEmptyPtr(result));
    EXPECT_EQ(j.io.reads, kCount);

    // The dump: the header, then the records and the chain (here in file
    // order) each in blocks of 400 records; the chain finds its last block
    // still kept from the records' walk.
    j.io.resetCounts();
    DumpResult d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold);
    EXPECT_TRUE(d.mentions("address chain: 100000 pages"));
    EXPECT_EQ(j.io.reads, 1 + 2 * ((kCount + 399) / 400) - 1);
    EXPECT_LE(j.io.largestRead, 400u * kJournalRecordSize);
}

}  // namespace
}  // namespace quorby::testing
