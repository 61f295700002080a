#pragma once
// A Main File and its Journal File in memory for the page-assembly tests.
// The Main File's bytes are a function of their position (any size costs no
// memory); the Journal File is built with the store's own append and relink
// operations. Every read that reaches the Journal File is counted, split
// into record-header reads (fewer than 512 bytes) and whole-record reads.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/journal_pages.h"
#include "tests/support/test_app.h"

namespace quorby::test {

inline std::uint8_t mainByte(FilePos pos) { return std::uint8_t(pos * 13 + (pos >> 9) * 7 + 1); }

// The records a page pair should have, found by walking the whole chain.
struct ExpectedPair {
    FilePos prevPtr = kEmptyPtr, prevAdr = 0, nextPtr = kEmptyPtr, nextAdr = 0;
    FilePos record[2] = {kEmptyPtr, kEmptyPtr};
};

class AssemblyTest : public ::testing::Test, protected testing::TestApp {
protected:
    static constexpr const char* kMainName = "/data/main.bin";
    static constexpr const char* kJournalName = "/journals/main.bin.jnl";

    FileHandle mainHandle = kNoFile, journalHandle = kNoFile;
    // The mode flags while the last dialog was shown.
    std::uint32_t modeFlagsDuringDialog = 0;
    // MainAdr -> record in the chain, as the tests built it.
    std::map<FilePos, FilePos> chain;

    AssemblyTest() {
        // Yes/No boxes nobody answered are answered No; a dialog is closed
        // with its cancel button.
        platform.yesNoDefault = MsgAnswer::No;
        platform.dialogHandler = [this](DialogDescription& dialog) {
            modeFlagsDuringDialog = app.shell.modeFlags;
            return dialog.cancelId;
        };
        io.smallReadBytes = 512;
    }

    void SetUp() override { openFiles(64 * 1024); }

    // The Main File and the Journal File stay open across calls; only the
    // Main File's size changes.
    void openFiles(FilePos mainSize) {
        io.addSyntheticFile(kMainName, mainSize, mainByte);
        if (mainHandle == kNoFile) mainHandle = openMain(kMainName, OpenMode::ReadOnly);
        if (journalHandle == kNoFile) {
            ASSERT_EQ(io.open(kJournalName, OpenMode::CreateNew, &journalHandle), 0);
        }
        app.shell.caption = kMainName;
        app.main.mainHandle = mainHandle;
        app.main.fileSize = mainSize;
        app.main.lastBytePos = mainSize == 0 ? 0 : mainSize - 1;
        attachJournal(app.journal, io, journalHandle, kJournalName);
        reportJournalFailuresTo(app.journal, app);
        ASSERT_EQ(recreateJournal(app.journal, app.main.mainName), 0);
    }

    // Reads of the Journal File since the last io.resetCounts(): record-header
    // reads (fewer than 512 bytes) and all of them; reads of the Main File.
    std::uint64_t journalHeaderReads() const { return io.smallReadsOf(journalHandle); }
    std::uint64_t journalReads() const { return io.readsOf(journalHandle); }
    std::uint64_t mainReads() const { return io.readsOf(mainHandle); }
    const std::vector<std::uint8_t>& journalBytes() { return io.bytes(kJournalName); }
    // Every read of the Journal File fails, or none does.
    void failJournalReads(bool fail) {
        if (fail)
            io.failRead[kJournalName] = {30, EIO};
        else
            io.failRead.erase(kJournalName);
    }

    std::uint8_t shown(int i) const { return app.view.pageBuffer[i]; }

    static JournalRecord pageRecord(FilePos mainAdr, std::uint8_t fill, std::uint32_t flag, std::uint32_t anz = 512) {
        JournalRecord r;
        r.mainAdr = mainAdr;
        r.anz = anz;
        r.flag = flag;
        std::memset(r.data, fill, sizeof r.data);
        r.changeMap[0] = 0x0F;  // the first four bytes are marked changed
        r.changeMap[63] = 0x80;
        return r;
    }

    // A record for a page that has none yet, linked between its neighbours.
    FilePos addPage(FilePos mainAdr, std::uint8_t fill, std::uint32_t flag = kFlagInEffect | kFlagUnwritten,
                    std::uint32_t anz = 512) {
        JournalRecord r = pageRecord(mainAdr, fill, flag, anz);
        return testing::appendChainedPage(app.journal, chain, r);
    }

    // A newer version of a page that has a record: it takes the older one's
    // place in the address chain.
    FilePos addNewerVersion(FilePos mainAdr, std::uint8_t fill, std::uint32_t flag) {
        JournalRecord older;
        EXPECT_EQ(readRecord(app.journal, chain.at(mainAdr), older), 0);
        JournalRecord newer = pageRecord(mainAdr, fill, flag);
        newer.prevPtr = older.prevPtr;
        newer.nextPtr = older.nextPtr;
        EXPECT_EQ(appendRecord(app.journal, newer), 0);
        EXPECT_EQ(linkNewerVersion(app.journal, older, newer), 0);
        EXPECT_EQ(linkAddressNeighbours(app.journal, newer, VersionScope::NewestOnly), 0);
        chain[mainAdr] = newer.jAdr;
        return newer.jAdr;
    }

    // As undo does: the page's next older version takes the newest one's
    // place in the address chain.
    void olderVersionTakesPlace(FilePos mainAdr) {
        JournalRecord newest, older;
        ASSERT_EQ(readRecordHeader(app.journal, chain.at(mainAdr), kRecordLinks, newest), 0);
        ASSERT_FALSE(isEmptyPtr(newest.pJnl));
        ASSERT_EQ(readRecordHeader(app.journal, newest.pJnl, kRecordLinks, older), 0);
        older.prevPtr = newest.prevPtr;
        older.nextPtr = newest.nextPtr;
        ASSERT_EQ(writeRecordHeader(app.journal, older, kRecordLinks), 0);
        ASSERT_EQ(linkAddressNeighbours(app.journal, older, VersionScope::AllVersions), 0);
        chain[mainAdr] = older.jAdr;
    }

    ExpectedPair expectedAt(FilePos pos) const {
        ExpectedPair e;
        for (const auto& [adr, ptr] : chain) {
            if (adr < pos) {
                e.prevPtr = ptr;
                e.prevAdr = adr;
            } else if (adr == pos || adr == pos + 512) {
                e.record[adr == pos ? 0 : 1] = ptr;
            } else if (isEmptyPtr(e.nextPtr)) {
                e.nextPtr = ptr;
                e.nextAdr = adr;
            }
        }
        return e;
    }

    // The shown pair agrees with a walk of the whole chain: cursor records,
    // record copies and every byte.
    void expectPairMatchesChain(const char* where) {
        SCOPED_TRACE(where);
        const PageRecords& r = app.records;
        const ExpectedPair e = expectedAt(app.view.pagePos);
        EXPECT_EQ(r.jPrevPtr, e.prevPtr);
        if (!isEmptyPtr(e.prevPtr)) {
            EXPECT_EQ(r.jPrevAdr, e.prevAdr);
        }
        EXPECT_EQ(r.jNextPtr, e.nextPtr);
        if (!isEmptyPtr(e.nextPtr)) {
            EXPECT_EQ(r.jNextAdr, e.nextAdr);
        }
        for (int half = 0; half < 2; ++half) {
            const bool has = (r.jReadFlag >> half) & 1;
            EXPECT_EQ(has, !isEmptyPtr(e.record[half])) << "half " << half;
            if (has) {
                EXPECT_EQ(r.jData[half].jAdr, e.record[half]) << "half " << half;
            }
        }
        expectContent();
    }

    // Every shown byte: the record's data where the page has a record, else
    // the Main File's.
    void expectContent() {
        const ViewState& v = app.view;
        for (std::uint32_t i = 0; i < v.pageLength; ++i) {
            const int half = i < 512 ? 0 : 1;
            const FilePos pos = v.pagePos + i;
            std::uint8_t want = mainByte(pos);
            if ((app.records.jReadFlag >> half) & 1) {
                const JournalRecord& rec = app.records.jData[half];
                if ((rec.flag & kFlagShowMainFile) == 0) want = rec.data[i % 512];
            }
            if (v.pageBuffer[i] != want) {
                ADD_FAILURE() << "byte " << i << " of the pair at " << v.pagePos;
                return;
            }
        }
    }
};

}  // namespace quorby::test
