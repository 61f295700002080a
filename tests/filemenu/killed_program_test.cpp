// A program killed with SIGKILL in the middle of a command: the Journal File
// must open again with every completed command and intact chains.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "journal/command_commit.h"
#include "journal/journal_dump.h"
#include "state/settings_file.h"
#include "document/journal_lifecycle.h"
#include "filemenu/journal_naming.h"
#include "filemenu/open_close.h"
#include "tests/filemenu/lifecycle_fixture.h"

namespace quorby::lifecycle_test {
namespace {

constexpr int kPages = 64;

// Where the child stops inside its last command.
enum class CutPoint { AfterAppend, AfterRelink };

class KilledProgramTest : public LifecycleTest {
protected:
    std::string mainPath;

    void SetUp() override {
        LifecycleTest::SetUp();
        mainPath = writeFile(dir + "disk.img", kPages * 512);
        app.settings.journalLocation = kJournalFixedPath;
    }

    // The page a command changes, and the byte it writes: pages in a mixed
    // order, so that new records go to the chain's head, middle and tail.
    static FilePos pageOf(int command) { return FilePos((command * 37) % kPages) * 512; }
    static std::uint8_t fillOf(int command) { return std::uint8_t(command + 1); }

    // One command of the child: a record for a page that has none yet.
    // Returns 0 with `r` appended and linked.
    int changePage(int command, JournalRecord& r) {
        r = JournalRecord{};
        r.mainAdr = pageOf(command);
        r.anz = 512;
        r.flag = kFlagUnwritten;
        for (auto& b : r.data) b = fillOf(command);
        // Its neighbours in the address chain: the nearest records below and above.
        FilePos below = kEmptyPtr;
        if (findPredecessor(app.journal, r.mainAdr, &below) != 0) return 1;
        FilePos above = app.journal.header.first;
        if (!isEmptyPtr(below)) {
            JournalRecord b;
            if (readRecordHeader(app.journal, below, kRecordAddressLinks, b) != 0) return 1;
            above = b.nextPtr;
        }
        r.prevPtr = below;
        r.nextPtr = above;
        return 0;
    }

    // The child: opens the Main File (which makes its Journal File), runs
    // `completed` commands, each ended by a header commit and reported on the
    // pipe, then starts one more, stops at `cut` and waits to be killed.
    [[noreturn]] void runChild(int pipeOut, int completed, CutPoint cut) {
        if (openMainFile(app, mainPath) != 0 || app.journal.handle == kNoFile) _exit(3);
        for (int c = 0; c <= completed; ++c) {
            JournalRecord r;
            if (changePage(c, r) != 0) _exit(4);
            bool last = c == completed;
            if (last && cut == CutPoint::AfterAppend) {
                r.flag |= kFlagNotInUndoOrder;
                if (appendRecord(app.journal, r) != 0) _exit(5);
            } else {
                if (appendNewPage(app.journal, r) != 0) _exit(5);
            }
            app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
            if (last) {
                char mark = 'X';  // in the middle of the command
                if (write(pipeOut, &mark, 1) != 1) _exit(6);
                for (;;) pause();
            }
            if (commitCommand(app.journal) != 0) _exit(7);
            char mark = 'C';
            if (write(pipeOut, &mark, 1) != 1) _exit(6);
        }
        _exit(8);
    }

    void killInTheMiddle(int completed, CutPoint cut) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::fflush(nullptr);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            runChild(fds[1], completed, cut);
        }
        close(fds[1]);
        int done = 0;
        char mark = 0;
        while (read(fds[0], &mark, 1) == 1 && mark == 'C') ++done;
        close(fds[0]);
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_EQ(mark, 'X') << "child exit " << WEXITSTATUS(status);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        ASSERT_EQ(done, completed);
    }

    // Reopens after the kill and checks every completed change.
    void checkReopened(int completed) {
        platform.shown.clear();
        ASSERT_EQ(openMainFile(app, mainPath), 0);
        EXPECT_TRUE(platform.shown.empty()) << platform.shown.front();
        ASSERT_NE(app.journal.handle, kNoFile);
        EXPECT_EQ(app.journal.journalEnd, 1024u + 640u * completed);
        std::string journal = app.journal.name;

        std::FILE* sink = std::fopen("/dev/null", "w");
        EXPECT_EQ(dumpJournal(io, journal, sink), kDumpAllHold);
        std::fclose(sink);

        // The address chain holds exactly the completed pages, with their data.
        std::vector<std::uint8_t> expected(kPages, 0);
        for (int c = 0; c < completed; ++c) expected[pageOf(c) / 512] = fillOf(c);
        std::vector<std::uint8_t> found(kPages, 0);
        AddressWalk walk;
        startAddressWalk(app.journal, walk);
        JournalRecord r;
        while (nextAddressRecord(app.journal, walk, r) == 0) {
            std::uint8_t data[kRecordDataSize];
            ASSERT_EQ(readRecordData(app.journal, r.jAdr, data), 0);
            found[r.mainAdr / 512] = data[0];
        }
        EXPECT_EQ(walk.state, WalkState::End);
        EXPECT_EQ(found, expected);
    }
};

// Both prove R3 and R7: the opening cuts the records appended after the
// committed length off and empties the links into them.
TEST_F(KilledProgramTest, KilledAfterTheNeighboursWereRelinked) {
    killInTheMiddle(40, CutPoint::AfterRelink);
    checkReopened(40);
}

TEST_F(KilledProgramTest, KilledAfterTheRecordWasWritten) {
    killInTheMiddle(25, CutPoint::AfterAppend);
    checkReopened(25);
}

}  // namespace
}  // namespace quorby::lifecycle_test
