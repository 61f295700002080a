// Another local user who plants things where this user's program will write:
// a journal directory made first, a symlink or a forged Journal File at a
// journal's name. Run as root with the user "nobody" (uid 65534) as the
// other user; skipped with a message elsewhere.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "journal/journal_format.h"
#include "platform/posix/posix_file_io.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"
#include "tests/filemenu/lifecycle_fixture.h"

namespace quorby::lifecycle_test {
namespace {

constexpr uid_t kOtherUser = 65534;

// Runs `plant` as the other user in a child process; true when it succeeded.
bool asOtherUser(const std::function<bool()>& plant) {
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) _exit(2);
        _exit(plant() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

class SecondUserTest : public LifecycleTest {
protected:
    std::string shared;  // a directory every user may write to, like /tmp
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user (uid 65534); not root here";
        LifecycleTest::SetUp();
        shared = dir + "shared/";
        ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    }
};

TEST_F(SecondUserTest, PlantedDirectoriesSymlinksAndForgedFilesAreRefused) {
    PosixFileIo files;
    const std::string victim = writeFile(dir + "victim", 2000, 0x77);

    // A journal directory made first by the other user is not taken.
    const std::string plantedDir = shared + "quorby-root";
    ASSERT_TRUE(asOtherUser([&] { return ::mkdir(plantedDir.c_str(), 0777) == 0 && ::chmod(plantedDir.c_str(), 0777) == 0; }));
    EXPECT_EQ(files.makePrivateDirectory(plantedDir), 1);
    // A symlink at the directory's name neither.
    const std::string linkedDir = shared + "quorby-linked";
    ASSERT_TRUE(asOtherUser([&] { return ::symlink(dir.c_str(), linkedDir.c_str()) == 0; }));
    EXPECT_EQ(files.makePrivateDirectory(linkedDir), 1);
    // The user's own is made for nobody else.
    EXPECT_EQ(files.makePrivateDirectory(shared + "quorby-mine"), 0);
    EXPECT_EQ(modeOf(shared + "quorby-mine") & 0777, 0700u);

    // A symlink at a journal's name is not followed: the file it points to stays as it was.
    const std::string linkedJournal = shared + "disk.bin.jnl";
    ASSERT_TRUE(asOtherUser([&] { return ::symlink(victim.c_str(), linkedJournal.c_str()) == 0; }));
    FileHandle h = kNoFile;
    EXPECT_EQ(files.open(linkedJournal, OpenMode::PrivateReadWrite, &h), 1);
    EXPECT_EQ(fileSize(victim), 2000u);

    // A Journal File the other user made is not used.
    const std::string forged = shared + "forged.jnl";
    ASSERT_TRUE(asOtherUser([&] {
        int fd = ::open(forged.c_str(), O_CREAT | O_WRONLY, 0666);
        return fd >= 0 && ::write(fd, "forged", 6) == 6 && ::close(fd) == 0;
    }));
    EXPECT_EQ(files.open(forged, OpenMode::PrivateReadWrite, &h), 1);

    // A hard link at a journal's name (the other user can plant one where
    // hard links are not protected) reaches a file of this user: refused too.
    const std::string hardLink = shared + "linked.jnl";
    ASSERT_EQ(::link(victim.c_str(), hardLink.c_str()), 0);
    EXPECT_EQ(files.open(hardLink, OpenMode::PrivateReadWrite, &h), 1);
    EXPECT_EQ(fileSize(victim), 2000u);

    // A journal of the user's own is created for nobody else.
    const std::string own = shared + "own.jnl";
    ASSERT_EQ(files.open(own, OpenMode::PrivateReadWrite, &h), 0);
    files.close(h);
    EXPECT_EQ(modeOf(own) & 0777, 0600u);
}

TEST_F(SecondUserTest, ASymlinkAtTheJournalNameBesideTheMainFileLeavesItsTargetAlone) {
    const std::string victim = writeFile(dir + "victim", 3000, 0x77);
    const std::string mainPath = writeFile(shared + "disk.bin", 8 * 512, 0x10);
    ASSERT_TRUE(asOtherUser([&] { return ::symlink(victim.c_str(), (mainPath + ".jnl").c_str()) == 0; }));
    EXPECT_EQ(openMainFile(app, mainPath), 0);
    // The program says that it could not make its Journal File and works without one.
    EXPECT_EQ(app.journal.handle, kNoFile);
    ASSERT_FALSE(platform.shown.empty());
    EXPECT_EQ(platform.shown.front(), "Journal-File could not be created!");
    EXPECT_EQ(fileSize(victim), 3000u);
    EXPECT_EQ(quorby::testing::readFile(victim), std::string(3000, char(0x77)));
}

TEST_F(SecondUserTest, AForgedJournalBesideTheMainFileIsNotUsed) {
    const std::string mainPath = writeFile(shared + "disk.bin", 8 * 512, 0x10);
    // The other user's "journal": a valid header for the Main File, so that
    // only its owner gives it away.
    JournalHeader h;
    ASSERT_EQ(initJournalHeader(h, mainPath), 0);
    std::uint8_t bytes[kJournalHeaderSize];
    encodeJournalHeader(h, bytes);
    const std::string forged = mainPath + ".jnl";
    ASSERT_TRUE(asOtherUser([&] {
        int fd = ::open(forged.c_str(), O_CREAT | O_WRONLY, 0644);
        return fd >= 0 && ::write(fd, bytes, sizeof bytes) == ssize_t(sizeof bytes) && ::close(fd) == 0;
    }));
    EXPECT_EQ(openMainFile(app, mainPath), 0);
    EXPECT_EQ(app.journal.handle, kNoFile);
    ASSERT_FALSE(platform.shown.empty());
    EXPECT_EQ(platform.shown.front(), "Journal-File could not be created!");
    EXPECT_EQ(fileSize(forged), std::uintmax_t(kJournalHeaderSize));
}

}  // namespace
}  // namespace quorby::lifecycle_test
