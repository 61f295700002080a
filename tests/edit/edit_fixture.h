#pragma once
// A Main File and its Journal File (in memory, or a block device and a file
// on disk), and helpers that type and move like a user.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "state/settings_file.h"
#include "platform/posix/posix_file_io.h"
#include "edit/enter_char.h"
#include "store/store_page.h"
#include "journal/journal_dump.h"
#include "store/journal_errors.h"
#include "store/page_assembly.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"
#include "navigate/page_moves.h"

namespace quorby::testing {

inline std::uint8_t originalByte(FilePos pos) { return std::uint8_t(pos * 13 + (pos >> 9) * 7 + 1); }

struct EditFixture {
    // Files in memory, or (onDisk) every file call passed on to a real drive:
    // Main File and Journal File on disk.
    PosixFileIo disk;
    MemoryFileIo io;
    bool onDisk = false;
    FileIo* files = &io;
    FakePlatform platform;
    AppState app;
    std::string mainPath = "/data/main.bin";
    std::string journalPath = "/data/main.bin.jnl";
    std::vector<std::uint8_t> original;

    // A Main File of `size` bytes in memory.
    explicit EditFixture(FilePos size, std::uint32_t undoOptions = 3, bool direct = false) {
        original.resize(size);
        for (FilePos i = 0; i < size; ++i) original[i] = originalByte(i);
        io.bytes(mainPath) = original;
        open(undoOptions, direct, MainKind::File);
    }

    // A block device as the Main File (its content is made the pattern
    // first) with the Journal File `journal` on disk, in direct access.
    EditFixture(const std::string& device, const std::string& journal, std::uint32_t undoOptions)
        : onDisk(true), mainPath(device), journalPath(journal) {
        io.real = &disk;
        io.useRealDrives = true;
        FileHandle h = kNoFile;
        FilePos size = 0;
        EXPECT_EQ(files->open(device, OpenMode::ReadWrite, &h), 0);
        EXPECT_EQ(files->size(h, &size), 0);
        original.resize(size);
        for (FilePos i = 0; i < size; ++i) original[i] = originalByte(i);
        std::uint32_t done = 0;
        EXPECT_EQ(files->writeAt(h, 0, original.data(), std::uint32_t(size), &done), 0);
        files->sync(h);
        files->close(h);
        open(undoOptions, true, MainKind::LogicalDrive);
        app.shell.modeFlags |= kModeDrive;
    }

    ~EditFixture() {
        if (app.journal.handle != kNoFile) files->close(app.journal.handle);
        if (app.main.mainHandle != kNoFile) files->close(app.main.mainHandle);
    }

    void open(std::uint32_t undoOptions, bool direct, MainKind kind) {
        app.platform = &platform;
        app.files = files;
        setSettingsDefaults(app.settings, "/j/", "/k/");
        app.settings.undoOptions = undoOptions;
        app.settings.messageSwitches = 0;
        FileHandle h = kNoFile;
        EXPECT_EQ(files->open(mainPath, OpenMode::ReadWrite, &h), 0);
        app.main.mainHandle = h;
        app.main.mainKind = kind;
        app.main.mainName = mainPath;
        app.main.fileSize = original.size();
        app.main.lastBytePos = original.empty() ? 0 : original.size() - 1;
        app.main.openReadOnly = false;
        app.shell.accessFlags = kAccessNotLocked | kAccessWritable | (direct ? std::uint32_t(kAccessDirect) : 0u);
        FileHandle j = kNoFile;
        EXPECT_EQ(files->open(journalPath, OpenMode::Truncate, &j), 0);
        attachJournal(app.journal, *files, j, journalPath);
        reportJournalFailuresTo(app.journal, app);
        EXPECT_EQ(recreateJournal(app.journal, mainPath), 0);
        loadPagePair(app, 0);
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

    // The end of a command, as the command loop does it.
    void endCommand() { commitJournalHeader(app.journal); }

    // Puts the cursor on `pos` in the hex column (or the character column).
    void cursorTo(FilePos pos, bool inChars = false) {
        showWithCursorAt(app, pos);
        app.view.cursorInChars = inChars;
    }

    void typeHex(FilePos pos, std::uint8_t value) {
        cursorTo(pos);
        const char* digits = "0123456789abcdef";
        enterChar(app, digits[value >> 4]);
        enterChar(app, digits[value & 15]);
        endCommand();
    }

    void key(int character) {
        enterChar(app, character);
        endCommand();
    }

    // The byte at `pos` as the view shows it (the pair holding it is loaded).
    std::uint8_t shown(FilePos pos) {
        if (pos < app.view.pagePos || pos >= app.view.pagePos + app.view.pageLength) {
            loadPagePair(app, pos & ~FilePos{511});
        }
        return app.view.pageBuffer[pos - app.view.pagePos];
    }

    std::uint64_t recordCount() { return wholeRecordCount(app.journal.journalEnd); }

    // `quorby --journal-dump` on the journal as it is on disk now.
    int dumpStatus(std::string* text = nullptr) {
        endCommand();
        std::FILE* f = std::tmpfile();
        int status = dumpJournal(*files, journalPath, f);
        if (text) {
            std::rewind(f);
            char buf[4096];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
        }
        std::fclose(f);
        return status;
    }

    JournalRecord record(FilePos ptr) {
        JournalRecord r;
        EXPECT_EQ(readRecord(app.journal, ptr, r), 0);
        return r;
    }
};

}  // namespace quorby::testing
