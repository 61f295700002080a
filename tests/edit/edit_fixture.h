#pragma once
// A Main File and its Journal File (in memory, or a block device and a file
// on disk), and helpers that type and move like a user.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigate/page_moves.h"
#include "document/journal_lifecycle.h"
#include "document/store_page.h"
#include "filemenu/journal_opening.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/test_app.h"

namespace quorby::testing {

inline std::uint8_t originalByte(FilePos pos) { return std::uint8_t(pos * 13 + (pos >> 9) * 7 + 1); }

inline std::vector<std::uint8_t> originalBytes(FilePos size) {
    std::vector<std::uint8_t> bytes(size);
    for (FilePos i = 0; i < size; ++i) bytes[i] = originalByte(i);
    return bytes;
}

struct EditFixture : TestApp {
    // Files in memory, or (onDisk) every file call passed on to a real drive:
    // Main File and Journal File on disk.
    bool onDisk = false;
    FileIo* files = &io;
    std::string mainPath = "/data/main.bin";
    std::string journalPath = "/data/main.bin.jnl";
    std::vector<std::uint8_t> original;

    // A Main File of `size` bytes in memory.
    explicit EditFixture(FilePos size, std::uint32_t undoOptions = 3, bool direct = false)
        : original(originalBytes(size)) {
        io.space = {FilePos{1} << 40, FilePos{1} << 41};   // the journal's drive has room
        createFile(mainPath, original);
        open(undoOptions, direct, MainKind::File);
    }

    // A block device as the Main File (its content is made the pattern
    // first) with the Journal File `journal` on disk, in direct access.
    EditFixture(const std::string& device, const std::string& journal, std::uint32_t undoOptions)
        : onDisk(true), mainPath(device), journalPath(journal) {
        useRealFiles();
        io.useRealDrives = true;
        FileHandle h = kNoFile;
        FilePos size = 0;
        EXPECT_EQ(files->open(device, OpenMode::ReadWrite, &h), 0);
        EXPECT_EQ(files->size(h, &size), 0);
        original = originalBytes(size);
        std::uint32_t done = 0;
        EXPECT_EQ(files->writeAt(h, 0, original.data(), std::uint32_t(size), &done), 0);
        files->sync(h);
        files->close(h);
        open(undoOptions, true, MainKind::LogicalDrive);
        app.shell.modeFlags |= kModeDrive;
    }

    void open(std::uint32_t undoOptions, bool direct, MainKind kind) {
        useDefaultSettings();
        app.settings.undoOptions = undoOptions;
        openMain(mainPath, OpenMode::ReadWrite, kind);
        app.main.openReadOnly = false;
        app.shell.accessFlags = kAccessNotLocked | kAccessWritable | (direct ? std::uint32_t(kAccessDirect) : 0u);
        openJournal(journalPath);
        EXPECT_EQ(loadPagePair(app, 0), 0);
    }

    // Quit and start again: the page is stored, both files are closed as
    // the program closes them, and everything in memory is forgotten; then
    // the Main File and its Journal File are opened again.
    void quitAndReopen() {
        EXPECT_EQ(storePage(app), 0);
        EXPECT_EQ(closeJournalAsking(app), 0);
        files->close(app.main.mainHandle);
        app.main.mainHandle = kNoFile;
        const MainKind kind = app.main.mainKind;
        const std::uint32_t access = app.shell.accessFlags;
        app.view = ViewState{};
        app.records = PageRecords{};
        app.edit = EditState{};
        app.shell.modeFlags &= ~std::uint32_t(kModeSecondDigit);
        openMain(mainPath, OpenMode::ReadWrite, kind);
        app.shell.accessFlags = access;
        FileHandle h = kNoFile;
        if (files->open(journalPath, OpenMode::ReadWrite, &h) != 0) {
            // An empty Journal File is deleted at closing: a new one is made.
            openJournal(journalPath);
            EXPECT_EQ(loadPagePair(app, 0), 0);
            return;
        }
        JournalFile jf;
        bindJournal(app, jf, h, journalPath);
        EXPECT_EQ(readJournalHeader(jf), 0);
        EXPECT_EQ(adoptJournal(app, jf), 0);
        EXPECT_EQ(loadPagePair(app, 0), 0);
    }

    // The Main File's bytes as they are now.
    std::vector<std::uint8_t> mainBytes() {
        if (!onDisk) return io.bytes(mainPath);
        std::vector<std::uint8_t> bytes(original.size());
        std::uint32_t done = 0;
        files->readAt(app.main.mainHandle, 0, bytes.data(), std::uint32_t(bytes.size()), &done);
        return bytes;
    }
    JournalHeader& header() { return app.journal.header; }

    // Puts the cursor on `pos` in the hex column (or the character column).
    void cursorTo(FilePos pos, bool inChars = false) {
        EXPECT_EQ(showWithCursorAt(app, pos), 0);
        app.view.cursorInChars = inChars;
    }

    void typeHex(FilePos pos, std::uint8_t value) {
        const char* digits = "0123456789abcdef";
        cursorTo(pos);
        type({digits[value >> 4], digits[value & 15]});
    }

    void key(int character) {
        enterChar(app, character);
        endCommand();
    }

    // A menu command, ended as the event loop ends it.
    void run(void (*command)(AppState&)) {
        command(app);
        endCommand();
    }

    // The byte at `pos` as the view shows it (the pair holding it is loaded).
    std::uint8_t shown(FilePos pos) {
        if (pos < app.view.pagePos || pos >= app.view.pagePos + app.view.pageLength) {
            EXPECT_EQ(loadPagePair(app, pos & ~FilePos{511}), 0);
        }
        return app.view.pageBuffer[pos - app.view.pagePos];
    }

    std::uint64_t recordCount() { return wholeRecordCount(app.journal.journalEnd); }

    // `quorby --journal-dump` on the journal as it is on disk now.
    int dumpStatus(std::string* text = nullptr) {
        endCommand();
        DumpResult r = runDump(*files, journalPath);
        if (text) *text += r.text;
        return r.status;
    }

    JournalRecord record(FilePos ptr) {
        JournalRecord r;
        EXPECT_EQ(readRecord(app.journal, ptr, r), 0);
        return r;
    }
};

}  // namespace quorby::testing
