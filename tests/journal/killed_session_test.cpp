// The crash session over real files, killed with SIGKILL just before a sample
// of its writes: the kernel ends the process there, with whatever it wrote in
// the page cache. A new program over the same files must ask nothing, pass
// the dump, show the content after the cut step or before it, and give the
// original back with Undo All. A second session kills "Save &File", Undo
// All and Redo All between their batches; without undo, it fills directly
// and the Main File must hold what is shown once "Save &File" has run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "journal/journal_dump.h"
#include "platform/posix/posix_file_io.h"
#include "tests/journal/crash_session.h"
#include "tests/support/forked_run.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/memory_file_io.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing::killed_session {
namespace {

constexpr int kSamples = 40;
constexpr unsigned kAlarmSeconds = 30;

struct Session {
    TempDir dir;
    PosixFileIo posix;
    MemoryFileIo io;
    Session() {
        io.real = &posix;
        writeFile(dir.path() + "/disk.bin", originalBytes());
    }
};

// A session and the batches its program runs with.
struct Setup {
    std::function<std::vector<Step>(const std::string& dir)> steps;
    BatchSizes batches;
    std::uint32_t undoOptions = kUndoKeepRestoreData;
};

// The contents a cut in each step may show, from a run in memory: the
// content before and after it, and for a step that commits between its
// entries the content after each entry.
std::vector<std::vector<Content>> contentsOfSteps(const Setup& setup) {
    MemoryFileIo io;
    io.timeFromContent = true;
    io.space = {FilePos(1) << 30, FilePos(1) << 31};
    io.bytes("/m/disk.bin") = originalBytes();
    Program p(io, "/m", setup.undoOptions, setup.batches);
    EXPECT_EQ(p.open(), 0);
    std::vector<std::vector<Content>> contents;
    Content before = shownContent(p);
    for (const Step& s : setup.steps("/m")) {
        std::vector<Content> allowed{before};
        if (s.single) allowed = contentsAlong(io.files, "/m", setup.undoOptions, s.single);
        s.run(p);
        before = contentOf(io.files, "/m");  // seen by a new program, as the cut runs see it
        allowed.push_back(before);
        contents.push_back(std::move(allowed));
    }
    return contents;
}

// The step of each write of a whole session over real files.
std::vector<int> stepOfEachWrite(const Setup& setup) {
    Session s;
    Program p(s.io, s.dir.path(), setup.undoOptions, setup.batches);
    EXPECT_EQ(p.open(), 0);
    s.io.resetCounts();
    std::vector<int> steps;
    const std::vector<Step> all = setup.steps(s.dir.path());
    for (int k = 0; k < int(all.size()); ++k) {
        const std::uint64_t before = s.io.writes;
        all[k].run(p);
        steps.insert(steps.end(), s.io.writes - before, k);
    }
    EXPECT_TRUE(p.platform.boxes.empty());
    return steps;
}

struct Outcome {
    int openResult = -1;
    int questions = -1;
    int dumpStatus = -1;
    bool wholeStep = false;
    // Undo All gives the original back; without undo the Main File holds
    // what is shown once Save File has written the rest.
    bool filesRightAtEnd = false;
    char failure[160] = {};
};

void killAtSampleOfWrites(const Setup& setup) {
    const std::vector<std::vector<Content>> contents = contentsOfSteps(setup);
    const std::vector<int> stepOf = stepOfEachWrite(setup);
    ASSERT_GT(stepOf.size(), std::size_t(kSamples));
    const std::vector<Step> names = setup.steps("");
    int killed = 0;
    for (int sample = 0; sample < kSamples; ++sample) {
        const std::uint64_t write = 1 + std::uint64_t(sample) * stepOf.size() / kSamples;
        const int step = stepOf[write - 1];
        const std::string where = "write " + std::to_string(write) + " (" + names[step].name + ")";
        Session s;
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            alarm(kAlarmSeconds);
            Program p(s.io, s.dir.path(), setup.undoOptions, setup.batches);
            if (p.open() != 0) _exit(2);
            s.io.resetCounts();
            s.io.killAtWrite = write;
            for (const Step& st : setup.steps(s.dir.path())) st.run(p);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << where << ": status " << status;
        ++killed;

        Outcome o;
        std::string errors;
        const Ending ending = runForked<Outcome>(
            [&] {
                Outcome out;
                Program q(s.io, s.dir.path(), setup.undoOptions);
                out.openResult = q.open();
                out.questions = int(q.platform.boxes.size());
                const DumpResult dump = runDump(s.io, q.app.journal.name);
                out.dumpStatus = dump.status;
                std::snprintf(out.failure, sizeof out.failure, "%s", dump.firstFailure().c_str());
                const Content shown = shownContent(q);
                for (const Content& c : contents[step]) out.wholeStep |= shown == c;
                if (names[step].mayStopPartDone)
                    out.wholeStep |= eachByteFrom(shown, contents[step].front(), contents[step].back());
                const std::string disk = s.dir.path() + "/disk.bin";
                if (setup.undoOptions == 0) {
                    q.run(saveFileCommand);
                    out.filesRightAtEnd = readFile(disk) == std::string(shown.begin(), shown.end());
                    return out;
                }
                q.run(undoAllCommand);
                const Content original = originalBytes();
                out.filesRightAtEnd = shownContent(q) == original &&
                                      readFile(disk) == std::string(original.begin(), original.end());
                return out;
            },
            kAlarmSeconds, &o, &errors);
        ASSERT_EQ(ending, Ending::Done) << where << "\n" << errors;
        EXPECT_EQ(o.openResult, 0) << where;
        EXPECT_EQ(o.questions, 0) << where;
        EXPECT_EQ(o.dumpStatus, kDumpAllHold) << where << ": " << o.failure;
        EXPECT_TRUE(o.wholeStep) << where << ": shows a content no whole step had";
        EXPECT_TRUE(o.filesRightAtEnd) << where;
    }
    std::printf("[ killed ] %d of %zu writes cut by SIGKILL\n", killed, stepOf.size());
}

// Proves R1, R3 and H8 on real files (a kill keeps the page cache: R2's
// syncs are not tested here, see in_place_crash_test.cpp).
TEST(KilledSession, SigkillAtASampleOfWritesReopensAtAWholeStep) {
    killAtSampleOfWrites({[](const std::string& dir) { return session(dir); }, {}});
}

// "Save &File", Undo All and Redo All in small batches, killed between them;
// without undo, a direct fill and "Save &File" marking its versions in batches.
// Proves R4 and R5 with R1, R3 and H8.
TEST(KilledSession, SigkillInBatchedCommandsReopensAtAWholeStepOrEntry) {
    killAtSampleOfWrites({[](const std::string&) { return batchedSession(true); }, smallBatches()});
    killAtSampleOfWrites({[](const std::string&) { return batchedSession(false); }, smallBatches(), 0});
}

// A fill and a paste in direct access with undo, killed inside them: each
// is whole or not there after the reopening.
TEST(KilledSession, SigkillInDirectAccessWithUndoReopensWithEachCommandWholeOrAbsent) {
    killAtSampleOfWrites({[](const std::string&) { return directUndoSession(); }, onePairDirectBlocks(),
                          kUndoKeepRestoreData | kUndoEveryChange});
}

}  // namespace
}  // namespace quorby::testing::killed_session
