#pragma once
// Set-up of the Journal File lifecycle tests: an application state with real
// files in a private temporary directory, a window system that answers from
// queues and records every box and question, and a file layer whose "drives"
// the test decides (io.driveIds: a path under a listed prefix lies on that
// prefix's drive, any other on drive 1; PosixFileIo for everything else).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "platform/posix/posix_file_io.h"
#include "journal/journal_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby::lifecycle_test {

class LifecycleTest : public ::testing::Test {
protected:
    quorby::testing::FakePlatform platform;
    PosixFileIo disk;
    quorby::testing::MemoryFileIo io;
    AppState app;
    std::string dir;          // ends with '/'
    std::string fixedDir;     // the journal directories, each ending with '/'
    std::string altDir;

    LifecycleTest() {
        // Unanswered boxes get their safe answer: No, Cancel or OK.
        platform.yesNoDefault = MsgAnswer::No;
        platform.okCancelDefault = MsgAnswer::Cancel;
        io.real = &disk;
        io.useRealDrives = true;
        io.scriptedDriveIds = true;
    }

    void SetUp() override {
        char pattern[] = "/tmp/quorby-lifecycle-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
        fixedDir = dir + "fixed/";
        altDir = dir + "alt/";
        std::filesystem::create_directory(fixedDir);
        std::filesystem::create_directory(altDir);
        app.platform = &platform;
        app.files = &io;
        app.journal.files = &io;
        app.settings.messageSwitches = 0;
        app.settings.journalLocation = 0;
        app.shell.defaultFixedJournalDir = fixedDir;
        app.shell.defaultAlternativeJournalDir = altDir;
        app.main.openReadOnly = false;
    }
    void TearDown() override {
        if (app.journal.handle != kNoFile) io.close(app.journal.handle);
        if (app.main.mainHandle != kNoFile) io.close(app.main.mainHandle);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string writeFile(const std::string& path, std::size_t size, std::uint8_t fill = 0x5A) {
        std::vector<std::uint8_t> bytes(size, fill);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_GE(fd, 0) << path;
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size())) << path;
        ::close(fd);
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
        r.prevPtr = app.journal.header.lastPtr;
        r.nextPtr = kEmptyPtr;
        ASSERT_EQ(appendNewPage(app.journal, r), 0);
        app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
        ASSERT_EQ(commitJournalHeader(app.journal), 0);
    }
};

}  // namespace quorby::lifecycle_test
