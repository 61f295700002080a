// A command's commit driven step by step (journal/command_commit.h): the
// step it stands at and the protocol's invariants after every step, also
// after a refused Main File write and a failed commit; R1 (nothing
// committed is overwritten before its pre-image is durable), R2 (the
// rollback file is emptied only by the commit) and R7 (an append-only
// command commits without the rollback file).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "journal/command_commit.h"
#include "journal/rollback_file.h"
#include "tests/journal/journal_fixture.h"

namespace quorby::testing {
namespace {

struct CommitFixture : JournalFixture {
    std::string rollbackPath = rollbackNameFor(path);
    FileHandle main = kNoFile;
    std::vector<FilePos> rec;

    CommitFixture() {
        for (int k = 0; k < 3; ++k) rec.push_back(addPage(FilePos(k) * 0x200, std::uint8_t(0x10 + k)));
        EXPECT_EQ(commitCommand(jf), 0);
        useRollbackFile(jf);
        io.bytes(kMainName) = std::vector<std::uint8_t>(4096, 0x5A);
        EXPECT_EQ(io.open(kMainName, OpenMode::ReadWrite, &main), 0);
    }
    void expectProtocolHolds(const char* where) {
        const char* broken = nullptr;
        EXPECT_EQ(checkCommitProtocol(jf, &broken), 0) << where << ": " << (broken ? broken : "");
    }
    bool rollbackMarked() {
        const std::vector<std::uint8_t>& b = io.bytes(rollbackPath);
        return b.size() >= 4 && loadU32(b.data()) == kRollbackMagic;
    }
    std::uint32_t diskFlag(FilePos r) { return loadU32(bytes().data() + r + kRecFlag); }
};

TEST(CommandCommit, StepsKeepTheInvariantsAndTheOrderOfWrites) {
    CommitFixture f;
    JournalFile& jf = f.jf;
    f.expectProtocolHolds("opened");
    EXPECT_EQ(commitStep(jf), CommitStep::Committed);
    EXPECT_TRUE(keepsPreImages(jf));

    // begin: a committed record changed in place is held, the disk keeps it.
    JournalRecord r;
    ASSERT_EQ(readRecordHeader(jf, f.rec[1], kRecordLinks, r), 0);
    const std::uint32_t committedFlag = r.flag;
    r.flag = committedFlag | kFlagRedoGroup;
    ASSERT_EQ(writeRecordHeader(jf, r, kRecordLinks), 0);
    f.expectProtocolHolds("record held");
    EXPECT_EQ(commitStep(jf), CommitStep::Changing);
    EXPECT_EQ(f.diskFlag(f.rec[1]), committedFlag);
    EXPECT_FALSE(f.io.exists(f.rollbackPath));

    // keep: the Main File's bytes wait as pre-images, nothing is written yet.
    std::vector<std::uint8_t> mainBytes(512, 0x5A);
    ASSERT_EQ(keepMainFileBytes(jf, f.main, 0, mainBytes.data(), 512), 0);
    f.expectProtocolHolds("Main File bytes kept");
    EXPECT_EQ(commitStep(jf), CommitStep::Changing);
    EXPECT_FALSE(f.io.exists(f.rollbackPath));

    // write: the pre-images are durable before the Main File is written.
    ASSERT_EQ(beginMainFileWrite(jf, f.main, 0, 512), 0);
    f.expectProtocolHolds("Main File write begun");
    EXPECT_EQ(commitStep(jf), CommitStep::MainFileWritten);
    EXPECT_TRUE(f.rollbackMarked());
    const std::vector<std::uint8_t> typed(512, 0x77);
    std::uint32_t done = 0;
    ASSERT_EQ(f.io.writeAt(f.main, 0, typed.data(), 512, &done), 0);

    // A refused write: its pre-image cannot be made durable, so the write
    // must not happen; what was durable stays, the invariants still hold.
    f.io.failWrite[f.rollbackPath] = SystemError{29, EIO};
    const std::size_t loggedBefore = f.io.bytes(f.rollbackPath).size();
    EXPECT_EQ(beginMainFileWrite(jf, f.main, 1024, 512), 1);
    f.expectProtocolHolds("Main File write refused");
    EXPECT_EQ(commitStep(jf), CommitStep::MainFileWritten);
    EXPECT_EQ(f.io.bytes(f.rollbackPath).size(), loggedBefore);
    f.io.failWrite.clear();

    // The held record goes out after its pre-image.
    ASSERT_EQ(writeHeldChanges(jf), 0);
    f.expectProtocolHolds("held units written");
    EXPECT_EQ(f.diskFlag(f.rec[1]), committedFlag | kFlagRedoGroup);
    EXPECT_GT(f.io.bytes(f.rollbackPath).size(), loggedBefore);

    // A commit that fails leaves the rollback file marked: the opening
    // would take the command back.
    jf.header.mainTime += 1;
    f.io.failWrite[f.path] = SystemError{29, EIO};
    EXPECT_EQ(commitCommand(jf), 1);
    f.expectProtocolHolds("commit failed");
    EXPECT_NE(commitStep(jf), CommitStep::Committed);
    EXPECT_TRUE(f.rollbackMarked());
    f.io.failWrite.clear();

    // commit: both files out and synced, then the rollback file emptied.
    ASSERT_EQ(commitCommand(jf), 0);
    f.expectProtocolHolds("committed");
    EXPECT_EQ(commitStep(jf), CommitStep::Committed);
    EXPECT_FALSE(f.rollbackMarked());
    EXPECT_FALSE(headerNeedsCommit(jf));
    EXPECT_EQ(runDump(f.io, f.path).status, kDumpAllHold);

    // R7: a command that only appends a page commits by its header; the
    // rollback file is not written.
    const std::vector<std::uint8_t> logged = f.io.bytes(f.rollbackPath);
    f.addPage(0x800, 0x44);
    f.expectProtocolHolds("page appended");
    EXPECT_EQ(commitStep(jf), CommitStep::Changing);
    ASSERT_EQ(commitCommand(jf), 0);
    f.expectProtocolHolds("append committed");
    EXPECT_EQ(commitStep(jf), CommitStep::Committed);
    EXPECT_EQ(f.io.bytes(f.rollbackPath), logged);
    EXPECT_EQ(runDump(f.io, f.path).status, kDumpAllHold);

    // Versions that show the Main File are marked after its sync, without a
    // pre-image (R5); a failed sync marks nothing.
    std::vector<FlagMark> marks{{f.rec[0], committedFlag | kFlagShowMainFile}};
    bool mainSyncFailed = true;
    ASSERT_EQ(markVersionsShowingMainFile(jf, f.main, marks, &mainSyncFailed), 0);
    EXPECT_FALSE(mainSyncFailed);
    EXPECT_TRUE(marks.empty());
    EXPECT_EQ(f.diskFlag(f.rec[0]), committedFlag | kFlagShowMainFile);
    f.expectProtocolHolds("versions marked");
    EXPECT_EQ(commitStep(jf), CommitStep::Committed);
}

// The check itself fails on states the steps never leave.
TEST(CommandCommit, CheckNamesABrokenInvariant) {
    CommitFixture f;
    JournalRecord r;
    ASSERT_EQ(readRecordHeader(f.jf, f.rec[0], kRecordLinks, r), 0);
    ASSERT_EQ(writeRecordHeader(f.jf, r, kRecordLinks), 0);
    f.expectProtocolHolds("record held");

    const char* broken = nullptr;
    JournalFile lost = f.jf;
    lost.rollback.step = CommitStep::Committed;   // a commit would skip the held record
    EXPECT_EQ(checkCommitProtocol(lost, &broken), 1);
    EXPECT_STREQ(broken, "Committed: nothing may be held, waiting, logged or covered");

    JournalFile noPreImage = f.jf;
    noPreImage.rollback.held.begin()->second.preImage.clear();
    EXPECT_EQ(checkCommitProtocol(noPreImage, &broken), 1);
    EXPECT_STREQ(broken, "R1: held committed unit without pre-image");

    JournalFile unlogged = f.jf;
    unlogged.rollback.step = CommitStep::MainFileWritten;   // written before any pre-image was durable
    EXPECT_EQ(checkCommitProtocol(unlogged, &broken), 1);
    EXPECT_STREQ(broken, "PreImagesDurable / MainFileWritten: the rollback file must hold an entry");

    JournalFile partKept = f.jf;
    partKept.rollback.clean.push_back({f.rec[0] + 8, std::vector<std::uint8_t>(kJournalRecordSize)});
    EXPECT_EQ(checkCommitProtocol(partKept, &broken), 1);
    EXPECT_STREQ(broken, "kept run: not whole units");
}

// A direct paste's exchanges stand for the Main File bytes they hold: the
// rollback file gets a small entry naming them instead of a second copy.
// Power lost after the Main File was written: the opening writes the
// records' data back. Records that are not the pages the entry names are
// never written over the Main File: the opening fails and keeps the
// rollback file for the next attempt.
TEST(CommandCommit, MainFileBytesHeldByAppendedRecordsComeBackAfterPowerLoss) {
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "a named record damaged" : "records whole");
        CommitFixture f;
        JournalFile& jf = f.jf;
        std::vector<std::uint8_t>& mainFile = f.io.bytes(kMainName);
        for (std::size_t i = 0; i < mainFile.size(); ++i) mainFile[i] = std::uint8_t(i * 7 + i / 512);
        const std::vector<std::uint8_t> original = mainFile;
        // Four pages from 0x400 on: their earlier content in appended records.
        FilePos first = kEmptyPtr;
        for (int k = 0; k < 4; ++k) {
            JournalRecord x;
            x.mainAdr = 0x400 + FilePos(k) * 512;
            x.anz = 512;
            x.flag = kFlagInEffect;
            std::memcpy(x.data, original.data() + x.mainAdr, 512);
            ASSERT_EQ(appendRecord(jf, x), 0);
            if (k == 0) first = x.jAdr;
        }
        ASSERT_EQ(keepMainFileBytesInRecords(jf, f.main, 0x400, 4, first), 0);
        f.expectProtocolHolds("kept in records");
        ASSERT_EQ(beginMainFileWrite(jf, f.main, 0x400, 2048), 0);
        f.expectProtocolHolds("Main File write begun");
        EXPECT_LT(f.io.bytes(f.rollbackPath).size(), 512u) << "a second copy of the pages went to the rollback file";
        const std::vector<std::uint8_t> pasted(2048, 0xEE);
        std::uint32_t done = 0;
        ASSERT_EQ(f.io.writeAt(f.main, 0x400, pasted.data(), 2048, &done), 0);
        ASSERT_EQ(f.io.sync(f.main), 0);
        f.io.crash();
        const std::vector<std::uint8_t> written = mainFile;
        ASSERT_NE(written, original);

        if (damaged) f.bytes()[first + 2 * kJournalRecordSize + kRecMainAdr] ^= 0x02;
        const int replayed = replayRollbackFile(f.io, f.rollbackPath, jf.handle, f.main);
        if (damaged) {
            EXPECT_EQ(replayed, 1);
            EXPECT_EQ(mainFile, written);
            EXPECT_TRUE(f.io.exists(f.rollbackPath));
        } else {
            EXPECT_EQ(replayed, 0);
            EXPECT_EQ(mainFile, original);
            EXPECT_FALSE(f.io.exists(f.rollbackPath));
        }
    }
}

// An exchange taken back over three pages at once: the records take the
// Main File's bytes in place, their own earlier bytes go to the rollback
// file, and an entry names the rewritten records as the pages' pre-image, so
// the pages are not copied a second time. Power is lost after the Main File
// was written; the opening's replay is then cut at each of its transfers,
// with a seeded part of its unsynced writes kept, and run again: the files
// are those of the last commit every time, though the first replay may have
// put the records back before it was cut.
TEST(CommandCommit, RewrittenRecordsHoldingThePagesComeBackThroughACutReplay) {
    constexpr std::uint32_t kPages = 3;
    int cutReplays = 0;
    for (std::uint64_t cut = 1;; ++cut) {
        bool replayCut = false;
        for (const std::uint64_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("replay cut at transfer " + std::to_string(cut) + ", seed " + std::to_string(seed));
            CommitFixture f;
            JournalFile& jf = f.jf;
            f.io.keepUnsyncedChanges = true;
            std::vector<std::uint8_t>& mainFile = f.io.bytes(kMainName);
            for (std::size_t i = 0; i < mainFile.size(); ++i) mainFile[i] = std::uint8_t(i * 5 + i / 512);
            ASSERT_EQ(f.io.sync(f.main), 0);
            const std::vector<std::uint8_t> original = mainFile;
            const std::vector<std::uint8_t> committed = f.bytes();
            const FilePos first = f.rec[0];
            ASSERT_EQ(f.rec[2], first + 2 * kJournalRecordSize);

            std::vector<std::uint8_t> seen(kPages * kJournalRecordSize), changed(seen.size());
            std::uint32_t done = 0;
            ASSERT_EQ(readJournalSpan(jf, first, seen.data(), std::uint32_t(seen.size()), &done), 0);
            std::vector<std::uint8_t> recordsData(kPages * 512);
            for (std::uint32_t k = 0; k < kPages; ++k) {
                JournalRecord r;
                decodeRecord(seen.data() + k * kJournalRecordSize, r);
                ASSERT_EQ(r.mainAdr, FilePos(k) * 512);
                std::memcpy(recordsData.data() + k * 512, r.data, 512);
                r.flag ^= kFlagInEffect;
                std::memcpy(r.data, original.data() + r.mainAdr, 512);
                encodeRecord(r, changed.data() + k * kJournalRecordSize);
            }
            ASSERT_EQ(rewriteRecords(jf, first, changed.data(), seen.data(), kPages), 0);
            ASSERT_EQ(keepMainFileBytesInRecords(jf, f.main, 0, kPages, first), 0);
            ASSERT_EQ(beginMainFileWrite(jf, f.main, 0, kPages * 512), 0);
            f.expectProtocolHolds("records rewritten and named");
            EXPECT_LT(f.io.bytes(f.rollbackPath).size(), kPages * kJournalRecordSize)
                << "the pages went to the rollback file beside the records' earlier bytes";
            ASSERT_EQ(f.io.writeAt(f.main, 0, recordsData.data(), kPages * 512, &done), 0);
            ASSERT_EQ(f.io.sync(f.main), 0);
            f.io.crash();

            f.io.failNth(cut, 0, true);
            (void)replayRollbackFile(f.io, f.rollbackPath, jf.handle, f.main);
            replayCut |= f.io.nthFailed();
            f.io.crashKeepingSome(seed);
            f.io.stopFailing();
            ASSERT_EQ(replayRollbackFile(f.io, f.rollbackPath, jf.handle, f.main), 0);
            EXPECT_EQ(mainFile, original);
            // The records as committed; the header also says now that the Main File was written.
            const std::vector<std::uint8_t>& journal = f.bytes();
            ASSERT_EQ(journal.size(), committed.size());
            EXPECT_TRUE(std::equal(journal.begin() + kJournalHeaderSize, journal.end(),
                                   committed.begin() + kJournalHeaderSize));
            EXPECT_FALSE(f.io.exists(f.rollbackPath));
        }
        if (!replayCut) break;
        ++cutReplays;
    }
    EXPECT_GT(cutReplays, 5);
}

TEST(CommandCommit, RecordChangedInTwoFarPlacesComesBackWholeAfterPowerLoss) {
    // A record's Flag and a byte deep in its data change in one command, in
    // either order; its unit goes out after its pre-image, then power is
    // lost before the commit: the replay gives both places back.
    for (const bool flagFirst : {true, false}) {
        SCOPED_TRACE(flagFirst ? "Flag first" : "data first");
        CommitFixture f;
        JournalFile& jf = f.jf;
        const std::vector<std::uint8_t> committed = f.bytes();
        const FilePos r = f.rec[1];
        const std::uint8_t flag[4] = {0xAA, 0xBB, 0xCC, 0xDD};
        const std::uint8_t dataByte = 0x77;
        const auto writeFlag = [&] { return writeJournalBytes(jf, r + kRecFlag, flag, 4); };
        const auto writeData = [&] { return writeJournalBytes(jf, r + kRecData + 500, &dataByte, 1); };
        ASSERT_EQ(flagFirst ? writeFlag() : writeData(), 0);
        ASSERT_EQ(flagFirst ? writeData() : writeFlag(), 0);
        ASSERT_EQ(writeHeldChanges(jf), 0);
        ASSERT_EQ(syncJournal(jf), 0);
        EXPECT_EQ(loadU32(f.bytes().data() + r + kRecFlag), 0xDDCCBBAAu);
        EXPECT_EQ(f.bytes()[r + kRecData + 500], dataByte);
        f.io.crash();
        ASSERT_EQ(replayRollbackFile(f.io, f.rollbackPath, jf.handle, f.main), 0);
        EXPECT_EQ(f.bytes(), committed);
    }
}

}  // namespace
}  // namespace quorby::testing
