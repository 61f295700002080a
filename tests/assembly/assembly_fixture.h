#pragma once
// A Main File and its Journal File in memory for the page-assembly tests.
// The Main File's bytes are a function of their position (any size costs no
// memory); the Journal File is built with the store's own append and relink
// operations. Every read that reaches the Journal File is counted, split
// into record-header reads (fewer than 512 bytes) and whole-record reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "store/journal_errors.h"
#include "store/journal_file.h"
#include "store/page_assembly.h"

namespace quorby::test {

inline std::uint8_t mainByte(FilePos pos) { return std::uint8_t(pos * 13 + (pos >> 9) * 7 + 1); }

class AssemblyFileIo final : public FileIo {
public:
    static constexpr FileHandle kMain = 3;
    static constexpr FileHandle kJournal = 4;

    FilePos mainSize = 0;
    std::vector<std::uint8_t> journal;
    std::uint64_t journalHeaderReads = 0;
    std::uint64_t journalRecordReads = 0;
    std::uint64_t mainReads = 0;
    // Reads of the Journal File from this count on fail (0: never).
    std::uint64_t failJournalReadAt = 0;
    SystemError last;

    void resetCounts() { journalHeaderReads = journalRecordReads = mainReads = 0; }
    std::uint64_t journalReads() const { return journalHeaderReads + journalRecordReads; }

    int open(const std::string&, OpenMode, FileHandle* out) override {
        *out = kNoFile;
        return 1;
    }
    void close(FileHandle) override {}
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        auto* out = static_cast<std::uint8_t*>(buf);
        if (h == kMain) {
            ++mainReads;
            std::uint32_t count = pos >= mainSize ? 0 : std::uint32_t(std::min<FilePos>(n, mainSize - pos));
            for (std::uint32_t i = 0; i < count; ++i) out[i] = mainByte(pos + i);
            *done = count;
            return 0;
        }
        if (h != kJournal) return fail({6, 9});
        (n < 512 ? journalHeaderReads : journalRecordReads) += 1;
        if (failJournalReadAt != 0 && journalReads() >= failJournalReadAt) return fail({30, 5});
        std::uint32_t count = pos >= journal.size() ? 0 : std::uint32_t(std::min<FilePos>(n, journal.size() - pos));
        if (count) std::memcpy(out, journal.data() + pos, count);
        *done = count;
        return 0;
    }
    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        if (h != kJournal) return fail({5, 13});
        if (journal.size() < pos + n) journal.resize(pos + n);
        std::memcpy(journal.data() + pos, buf, n);
        *done = n;
        return 0;
    }
    int size(FileHandle h, FilePos* out) override {
        *out = h == kMain ? mainSize : journal.size();
        return 0;
    }
    int setSize(FileHandle h, FilePos size) override {
        if (h != kJournal) return 1;
        journal.resize(size);
        return 0;
    }
    int sync(FileHandle) override { return 0; }
    int lastWriteTime(FileHandle, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    int lastWriteTimeOfPath(const std::string&, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    bool exists(const std::string&) override { return false; }
    bool isBlockDevice(const std::string&) override { return false; }
    int removeFile(const std::string&) override { return 1; }
    int renameFile(const std::string&, const std::string&) override { return 1; }
    int copyFile(const std::string&, const std::string&) override { return 1; }
    int makeDirectory(const std::string&) override { return 1; }
    int removeDirectoryIfEmpty(const std::string&) override { return 1; }
    int driveId(const std::string&, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    int diskSpace(const std::string&, DiskSpace* out) override {
        *out = {};
        return 0;
    }
    void listDrives(std::vector<DriveInfo>*, std::vector<DriveInfo>*) override {}
    SystemError lastError() const override { return last; }
    void setLastError(SystemError e) override { last = e; }

private:
    int fail(SystemError e) {
        last = e;
        return 1;
    }
};

class AssemblyPlatform final : public Platform {
public:
    char grid[kGridRows][kGridColumns];
    std::string caption;
    std::vector<MessageBoxSpec> boxes;
    std::deque<MsgAnswer> boxAnswers;
    std::vector<DialogSpec> dialogs;
    std::uint32_t modeFlagsDuringDialog = 0;
    const std::uint32_t* modeFlags = nullptr;
    std::set<int> escAtPoll;  // 1-based poll numbers that deliver a typed ESC
    int polls = 0;

    AssemblyPlatform() { std::memset(grid, ' ', sizeof grid); }
    std::string row(int r) const { return std::string(grid[r], kGridColumns); }

    void drawCells(int column, int r, const char* text, int count, Colour) override {
        for (int i = 0; i < count && column + i < kGridColumns; ++i)
            if (r >= 0 && r < kGridRows && column + i >= 0) grid[r][column + i] = text[i];
    }
    void setCaption(const std::string& c) override { caption = c; }
    void setScrollBar(std::int32_t, std::int32_t) override {}
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        boxes.push_back(box);
        if (boxAnswers.empty()) return box.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        MsgAnswer a = boxAnswers.front();
        boxAnswers.pop_front();
        return a;
    }
    int questionDialog(const std::string&, const std::string&) override { return 0; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& dialog) override {
        dialogs.push_back(dialog);
        if (modeFlags) modeFlagsDuringDialog = *modeFlags;
        return dialog.cancelId;
    }
    int createFont(int w, int h, int* aw, int* ah) override {
        *aw = w;
        *ah = h;
        return 0;
    }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override { return escAtPoll.count(++polls) != 0; }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

// The records a page pair should have, found by walking the whole chain.
struct ExpectedPair {
    FilePos prevPtr = kEmptyPtr, prevAdr = 0, nextPtr = kEmptyPtr, nextAdr = 0;
    FilePos record[2] = {kEmptyPtr, kEmptyPtr};
};

class AssemblyTest : public ::testing::Test {
protected:
    AssemblyPlatform platform;
    AssemblyFileIo io;
    AppState app;
    // MainAdr -> record in the chain, as the tests built it.
    std::map<FilePos, FilePos> chain;

    void SetUp() override { openFiles(64 * 1024); }

    void openFiles(FilePos mainSize) {
        io.mainSize = mainSize;
        app.platform = &platform;
        app.files = &io;
        app.shell.caption = "/data/main.bin";
        app.main.mainHandle = AssemblyFileIo::kMain;
        app.main.mainName = "/data/main.bin";
        app.main.mainKind = MainKind::File;
        app.main.fileSize = mainSize;
        app.main.lastBytePos = mainSize == 0 ? 0 : mainSize - 1;
        attachJournal(app.journal, io, AssemblyFileIo::kJournal, "/journals/main.bin.jnl");
        reportJournalFailuresTo(app.journal, app);
        ASSERT_EQ(recreateJournal(app.journal, app.main.mainName), 0);
        platform.modeFlags = &app.shell.modeFlags;
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
        auto above = chain.upper_bound(mainAdr);
        r.nextPtr = above == chain.end() ? kEmptyPtr : above->second;
        r.prevPtr = above == chain.begin() ? kEmptyPtr : std::prev(above)->second;
        EXPECT_EQ(appendNewPage(app.journal, r), 0);
        chain[mainAdr] = r.jAdr;
        return r.jAdr;
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
