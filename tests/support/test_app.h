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
    explicit TestApp(char blank = ' ', Colour blankBackground = 0);
    ~TestApp();
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    void useRealFiles();
    // The settings of a first start with these journal directories; no message is switched off.
    void useDefaultSettings(const std::string& fixedJournalDir = "/j/", const std::string& altJournalDir = "/k/");

    // A file of these bytes in memory.
    void createFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

    // Opens `path` as the Main File, its size as the file has it; nothing shown yet.
    FileHandle openMain(const std::string& path, OpenMode mode = OpenMode::ReadWrite, MainKind kind = MainKind::File);
    // A new Journal File for the Main File at `path`; failures reach the user as the program reports them.
    FileHandle openJournal(const std::string& path, OpenMode mode = OpenMode::Truncate);
    // Shows the page pair at `pagePos` with the scroll bar set up, as opening
    // a file does; the result of the page read.
    int show(FilePos pagePos = 0);
    // Closes the Main File and opens it again as it is now, shown from the start.
    void reopenMain(OpenMode mode = OpenMode::ReadWrite);

    // The end of a command, as the command loop does it.
    void endCommand();
    // Each character typed as a key of its own, then the command ends.
    void type(const std::string& keys);
    void press(int command);

    void closeFiles();
};

}  // namespace quorby::testing
