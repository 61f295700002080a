#pragma once
// An application as the tests run it: the state, the in-memory files and the
// test window system wired together, with helpers that create and open a
// Main File and its Journal File and act like the user. With useRealFiles()
// every file call goes to the real files, still counted and failed by `io`.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dispatch.h"
#include "edit/enter_char.h"
#include "journal/journal_file.h"
#include "journal/rollback_file.h"
#include "platform/posix/posix_file_io.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "document/journal_errors.h"
#include "document/journal_lifecycle.h"
#include "document/page_assembly.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"
#include "view/scroll_bar.h"

namespace quorby::testing {

struct TestApp {
    MemoryFileIo io;
    FakePlatform platform;
    PosixFileIo disk;
    AppState app;

    // `blank` and `blankBackground` fill the cells nobody drew.
    explicit TestApp(char blank = ' ', Colour blankBackground = 0) : platform(blank, blankBackground) {
        app.platform = &platform;
        app.files = &io;
    }
    ~TestApp() { closeFiles(); }
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    void useRealFiles() { io.real = &disk; }
    // The settings of a first start with these journal directories; no message is switched off.
    void useDefaultSettings(const std::string& fixedJournalDir = "/j/", const std::string& altJournalDir = "/k/") {
        setSettingsDefaults(app.settings, fixedJournalDir, altJournalDir);
        app.settings.messageSwitches = 0;
    }

    // A file of these bytes in memory.
    void createFile(const std::string& path, const std::vector<std::uint8_t>& bytes) { io.bytes(path) = bytes; }

    // Opens `path` as the Main File, its size as the file has it; nothing shown yet.
    FileHandle openMain(const std::string& path, OpenMode mode = OpenMode::ReadWrite, MainKind kind = MainKind::File) {
        FileHandle h = kNoFile;
        FilePos size = 0;
        EXPECT_EQ(app.files->open(path, mode, &h), 0) << path;
        EXPECT_EQ(app.files->size(h, &size), 0) << path;
        app.main.mainHandle = h;
        app.main.mainName = path;
        app.main.mainKind = kind;
        app.main.fileSize = size;
        app.main.lastBytePos = size == 0 ? 0 : size - 1;
        return h;
    }
    // A new Journal File for the Main File at `path`; failures reach the user as the program reports them.
    FileHandle openJournal(const std::string& path, OpenMode mode = OpenMode::Truncate) {
        FileHandle h = kNoFile;
        EXPECT_EQ(app.files->open(path, mode, &h), 0) << path;
        attachJournal(app.journal, *app.files, h, path);
        useRollbackFile(app.journal);
        reportJournalFailuresTo(app.journal, app);
        EXPECT_EQ(recreateJournal(app.journal, app.main.mainName), 0);
        return h;
    }
    // Shows the page pair at `pagePos` with the scroll bar set up, as opening
    // a file does; the result of the page read.
    int show(FilePos pagePos = 0) {
        prepareScrollMapping(app);
        return loadPagePair(app, pagePos);
    }
    // Closes the Main File and opens it again as it is now, shown from the start.
    void reopenMain(OpenMode mode = OpenMode::ReadWrite) {
        const std::string path = app.main.mainName;
        const MainKind kind = app.main.mainKind;
        io.close(app.main.mainHandle);
        app.main.mainHandle = kNoFile;
        forgetCursorRecords(app);
        app.records.jReadFlag = 0;
        openMain(path, mode, kind);
        show();
    }

    // The end of a command, as the command loop does it.
    void endCommand() { endCommandInJournal(app); }
    // Each character typed as a key of its own, then the command ends.
    void type(const std::string& keys) {
        for (char c : keys) enterChar(app, static_cast<unsigned char>(c));
        endCommand();
    }
    void press(int command) {
        dispatchCommand(app, command);
        endCommand();
    }

    void closeFiles() {
        if (app.journal.handle != kNoFile) app.files->close(app.journal.handle);
        if (app.main.mainHandle != kNoFile) app.files->close(app.main.mainHandle);
        app.journal.handle = kNoFile;
        app.main.mainHandle = kNoFile;
    }
};

}  // namespace quorby::testing
