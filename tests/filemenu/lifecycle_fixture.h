#pragma once
// Set-up of the Journal File lifecycle tests: the test application with real
// files in a private temporary directory, and a file layer whose "drives" the
// test decides (io.driveIds: a path under a listed prefix lies on that
// prefix's drive, any other on drive 1; PosixFileIo for everything else).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "journal/command_commit.h"
#include "journal/journal_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_app.h"

namespace quorby::lifecycle_test {

class LifecycleTest : public ::testing::Test, protected quorby::testing::TestApp {
protected:
    quorby::testing::TempDir tmp;
    std::string dir = tmp.path() + "/";
    std::string fixedDir = dir + "fixed/";  // the journal directories, each ending with '/'
    std::string altDir = dir + "alt/";

    LifecycleTest() {
        // Unanswered boxes get their safe answer: No, Cancel or OK.
        platform.yesNoDefault = MsgAnswer::No;
        platform.okCancelDefault = MsgAnswer::Cancel;
        useRealFiles();
        io.useRealDrives = true;
        io.scriptedDriveIds = true;
    }

    void SetUp() override {
        std::filesystem::create_directory(fixedDir);
        std::filesystem::create_directory(altDir);
        app.journal.files = &io;
        app.settings.messageSwitches = 0;
        app.settings.journalLocation = 0;
        app.shell.defaultFixedJournalDir = fixedDir;
        app.shell.defaultAlternativeJournalDir = altDir;
        app.main.openReadOnly = false;
    }
    void TearDown() override { closeFiles(); }

    std::string writeFile(const std::string& path, std::size_t size, std::uint8_t fill = 0x5A) {
        quorby::testing::writeFile(path, std::string(size, char(fill)));
        return path;
    }
    static std::uintmax_t fileSize(const std::string& path) {
        std::error_code ec;
        std::uintmax_t n = std::filesystem::file_size(path, ec);
        return ec ? std::uintmax_t(-1) : n;
    }
    static bool exists(const std::string& path) { return std::filesystem::exists(path); }
    // Moves the file's last-write time, as another program writing it would.
    static void touchMainFile(const std::string& path, long secondsAhead) {
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        times[1].tv_sec += secondsAhead;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    bool wasShown(const std::string& caption) const {
        for (const auto& c : platform.shown)
            if (c == caption) return true;
        return false;
    }

    // Appends one record for page `mainAdr` (pages appended in increasing
    // order) through the journal operations and commits the header, as the
    // end of a command does.
    void appendPage(FilePos mainAdr, std::uint8_t fill) {
        JournalRecord r;
        r.mainAdr = mainAdr;
        r.anz = 512;
        r.flag = kFlagUnwritten;
        for (auto& b : r.data) b = fill;
        for (auto& m : r.changeMap) m = 0xFF;  // typed over the whole page
        r.prevPtr = app.journal.header.lastPtr;
        r.nextPtr = kEmptyPtr;
        ASSERT_EQ(appendNewPage(app.journal, r), 0);
        app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
        ASSERT_EQ(commitCommand(app.journal), 0);
    }
};

}  // namespace quorby::lifecycle_test
