// A program that dies in the middle of a session that uses every command
// that writes the Journal File or the Main File: typing and storing (new
// pages and stores over the newest version), Undo, Redo, Undo All, Redo All,
// per-page undo and redo, Save File, Save selected Data, Restore Original,
// Discard, Save as and Append. For every write of the session the run is cut
// there (killed, with the power lost, or with the write torn) and the Main File
// is opened again as at start. The reopened program must ask nothing, its
// Journal File must pass the dump, the content it shows must be the content
// after the cut step or before it, every page it shows changed must be marked
// changed in the overview strip (with undo, the file's length kept), and
// Undo All must give the original back.
//
// A second session takes "Save &File", Undo All and Redo All through their
// batches, with and without undo; without undo it also fills directly, which
// a cut may leave part done (each byte as before or after the fill).
//
// The rules these runs prove (journal/rollback_file.h): R1 (no committed
// byte is overwritten before its pre-image is in the rollback file), R2 (the
// commit clears the magic only after both files are synced), R3 (writing
// the pre-images back gives the last commit, records after it cut off) and
// R7 (an append-only command commits by its header sector); with them H8
// (journal/record_states.h): reopening between any two steps changes
// nothing, Undo All still reaches the original.
//
// Each run goes in a child process with an alarm, so that a crash (ASan
// report) or a hang of one cut point is counted instead of ending the suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "journal/change_bins.h"
#include "journal/journal_dump.h"
#include "tests/journal/crash_session.h"
#include "tests/support/forked_run.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/memory_file_io.h"

namespace quorby::testing::in_place_crash {
namespace {

constexpr const char* kDir = "/data";
constexpr unsigned kAlarmSeconds = 20;

void prepareFiles(MemoryFileIo& io) {
    io.timeFromContent = true;
    io.keepUnsyncedChanges = true;
    io.space = {FilePos(1) << 30, FilePos(1) << 31};
    io.bytes(std::string(kDir) + "/disk.bin") = originalBytes();
    FileHandle h = kNoFile;
    io.open(std::string(kDir) + "/disk.bin", OpenMode::ReadWrite, &h);
    io.sync(h);
    io.close(h);
}

// A session and the program settings it runs with.
struct Setup {
    std::function<std::vector<Step>()> steps;
    std::uint32_t undoOptions = kUndoKeepRestoreData;
    BatchSizes batches;
    bool someWritesKept = false;  // only the cut that keeps a seeded part of the unsynced writes
    // Beyond this many writes the cut points are an even sample plus the
    // first write of every step.
    std::size_t maxCutPoints = SIZE_MAX;
    // The session changes the file's size, which Undo All does not take
    // back: at the end the Main File must hold what is shown once Save File
    // has written it.
    bool resizes = false;
};

struct Reference {
    std::vector<IoEvent> events;           // transfers and syncs after the opening
    std::vector<std::size_t> writeEvent;   // index in events of each write
    std::vector<int> stepOfWrite;          // session step issuing each write
    std::vector<Content> contentAfter;     // [s + 1]: after step s; [0]: before the session
    std::map<int, std::vector<Content>> contentsWithin;  // of a step that commits between its entries
    std::uint64_t journalWrites = 0, mainWrites = 0;
};

Reference referenceRun(const Setup& setup) {
    Reference ref;
    MemoryFileIo io;
    prepareFiles(io);
    Program p(io, kDir, setup.undoOptions, setup.batches);
    EXPECT_EQ(p.open(), 0);
    EXPECT_NE(p.app.journal.handle, kNoFile);
    io.logEvents = true;
    io.resetCounts();
    const std::vector<Step> steps = setup.steps();
    std::vector<std::map<std::string, std::vector<std::uint8_t>>> snapshots{io.files};
    for (int s = 0; s < int(steps.size()); ++s) {
        std::uint64_t before = io.writes;
        steps[s].run(p);
        for (std::uint64_t w = before; w < io.writes; ++w) ref.stepOfWrite.push_back(s);
        snapshots.push_back(io.files);
    }
    ref.events = io.events;
    for (std::size_t i = 0; i < ref.events.size(); ++i)
        if (ref.events[i].kind == 'W') ref.writeEvent.push_back(i);
    ref.journalWrites = io.writesOf(p.app.journal.handle);
    ref.mainWrites = io.writesOf(p.app.main.mainHandle);
    EXPECT_TRUE(p.platform.boxes.empty()) << p.platform.boxes.front().text;
    for (const auto& files : snapshots) ref.contentAfter.push_back(contentOf(files, kDir));
    for (int s = 0; s < int(steps.size()); ++s)
        if (steps[s].single) ref.contentsWithin[s] = contentsAlong(snapshots[s], kDir, setup.undoOptions, steps[s].single);
    return ref;
}

// 1-based position among reads and writes of event `index`, as failNth counts.
std::uint64_t transferNumber(const Reference& ref, std::size_t index) {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i <= index; ++i)
        if (ref.events[i].kind != 'S') ++n;
    return n;
}

// Killed: the cut write and every later one do not happen; what was written
// stays. Power lost: the same, and nothing that was not synced survives.
// Journal (Main File) written back: power lost after the system wrote back
// every write to the Journal File (the Main File), but none to the other
// files since their last sync.
// Torn write: half of a write longer than a sector arrives, nothing after it
// (a single sector write, such as the 128-byte header commit, is never torn).
// First sector: of a write that crosses a sector boundary, only the bytes
// before the first boundary arrive.
// Some writes kept: power lost after the disk wrote back a seeded choice of
// the writes since each file's last sync, sector by sector and in any order
// between sectors (MemoryFileIo::crashKeepingSome); R2's syncs are all that
// orders them.
enum class Cut { Killed, PowerLost, JournalWrittenBack, MainWrittenBack, TornWrite, FirstSector, SomeWritesKept };
const char* cutName(Cut c) {
    switch (c) {
    case Cut::Killed: return "killed";
    case Cut::PowerLost: return "power lost";
    case Cut::JournalWrittenBack: return "power lost, journal written back";
    case Cut::MainWrittenBack: return "power lost, Main File written back";
    case Cut::TornWrite: return "torn write";
    case Cut::FirstSector: return "first sector only";
    case Cut::SomeWritesKept: return "power lost, some writes kept";
    }
    return "";
}

// The bytes of the cut write that reach the file.
std::uint32_t arrivingBytes(const IoEvent& e, Cut cut) {
    if (cut == Cut::TornWrite) return e.length / 2;
    if (cut == Cut::FirstSector) return std::uint32_t((e.pos | 511) + 1 - e.pos);
    return 0;
}

// The first page of the original's length that `shown` changes while the
// overview strip, one bin per page, does not mark it changed: a page whose
// record dropped out of the address chain, which "Restore Original File"
// would not find either. -1: none; -2: the chain could not be walked.
long long firstUnmarkedChange(Program& q, const Content& shown) {
    const Content original = originalBytes();
    const std::size_t length = std::min(shown.size(), original.size());
    const std::size_t pages = (length + 511) / 512;
    if (q.app.journal.handle == kNoFile || pages == 0) return -1;
    std::vector<std::uint8_t> bins(pages);
    std::uint64_t unwritten = 0;
    if (walkChangedPages(q.app.journal, FilePos(pages) * 512, bins.data(), int(pages), ChangeBinMarks{}, &unwritten) != 0)
        return -2;
    for (std::size_t page = 0; page < pages; ++page) {
        const std::size_t from = page * 512, to = std::min(length, from + 512);
        const bool changed = !std::equal(shown.begin() + from, shown.begin() + to, original.begin() + from);
        if (changed && (bins[page] & ChangeBinMarks{}.changed) == 0) return (long long)page;
    }
    return -1;
}

struct Outcome {
    int dumpStatus = -1;     // of the reopened Journal File; -1: none open
    int openResult = -1;
    int questions = -1;      // message boxes while reopening
    int contentStep = -2;    // the step whose content is shown (-1: before the session), -2: none
    // Undo All gives the original back; without undo the Main File holds
    // what is shown once Save File has written the rest.
    bool filesRightAtEnd = false;
    bool partDone = false;   // a step that may stop part done did
    long long unmarkedPage = -1;   // see firstUnmarkedChange
    char failure[160] = {};
};

// The child's work: the session cut at write `write` (0-based), then a new
// program opening the Main File and walking its journal.
Outcome cutRun(const Setup& setup, const Reference& ref, std::size_t write, Cut cut, std::uint64_t seed) {
    Outcome out;
    MemoryFileIo io;
    prepareFiles(io);
    {
        Program p(io, kDir, setup.undoOptions, setup.batches);
        if (p.open() != 0) return out;
        const IoEvent& e = ref.events[ref.writeEvent[write]];
        io.failNth(transferNumber(ref, ref.writeEvent[write]), arrivingBytes(e, cut), true);
        // A killed program runs no further command.
        for (const Step& s : setup.steps()) {
            s.run(p);
            if (io.nthFailed()) break;
        }
        io.stopFailing();
        if (cut == Cut::PowerLost) io.crash();
        if (cut == Cut::JournalWrittenBack) io.crashKeeping(p.app.journal.name);
        if (cut == Cut::MainWrittenBack) io.crashKeeping(p.app.main.mainName);
        if (cut == Cut::SomeWritesKept) io.crashKeepingSome(seed);
    }
    Program q(io, kDir, setup.undoOptions);
    out.openResult = q.open();
    out.questions = int(q.platform.boxes.size());
    if (!q.platform.boxes.empty())
        std::snprintf(out.failure, sizeof out.failure, "asked \"%s\": %s", q.platform.boxes.front().caption.c_str(),
                      q.platform.boxes.front().text.c_str());
    if (q.app.journal.handle != kNoFile) {
        const DumpResult dump = runDump(io, q.app.journal.name);
        out.dumpStatus = dump.status;
        std::snprintf(out.failure, sizeof out.failure, "%s", dump.firstFailure().c_str());
    }
    const Content shown = shownContent(q);
    // A cut and grown file shows zeros that no record holds; without undo
    // a direct fill changes the Main File without one.
    if (!setup.resizes && setup.undoOptions != 0) out.unmarkedPage = firstUnmarkedChange(q, shown);
    const int step = ref.stepOfWrite[write];
    if (shown == ref.contentAfter[step + 1]) out.contentStep = step;
    else if (shown == ref.contentAfter[step]) out.contentStep = step - 1;
    else if (auto within = ref.contentsWithin.find(step); within != ref.contentsWithin.end())
        for (const Content& c : within->second)
            if (shown == c) out.contentStep = step;
    if (out.contentStep == -2 && setup.steps()[step].mayStopPartDone &&
        eachByteFrom(shown, ref.contentAfter[step], ref.contentAfter[step + 1])) {
        out.contentStep = step;
        out.partDone = true;
    }
    // Without undo a write cannot be taken back: the Main File must then
    // hold what is shown once the rest is written.
    if (setup.undoOptions == 0 || setup.resizes) {
        q.run(saveFileCommand);
        out.filesRightAtEnd = io.bytes(std::string(kDir) + "/disk.bin") == shown;
        return out;
    }
    q.run(undoAllCommand);
    out.filesRightAtEnd = shownContent(q) == originalBytes() && io.bytes(std::string(kDir) + "/disk.bin") == originalBytes();
    q.run(redoAllCommand);
    return out;
}

void cutEveryWrite(const Setup& setup) {
    const Reference ref = referenceRun(setup);
    const std::vector<Step> steps = setup.steps();
    ASSERT_FALSE(ref.writeEvent.empty());
    // The session reaches every path it is meant to: the in-place stores add
    // no record, Save File and Restore Original write into the Main File.
    EXPECT_GT(ref.mainWrites, 0u);
    EXPECT_GT(ref.journalWrites, 0u);
    // Every step changes what is shown or writes a file, so a cut that lands
    // between two states is seen.
    EXPECT_NE(ref.contentAfter.front(), ref.contentAfter[1]);
    std::printf("[ crash ] session: %zu steps, %zu writes (%llu Journal File, %llu Main File)\n", steps.size(),
                ref.writeEvent.size(), (unsigned long long)ref.journalWrites, (unsigned long long)ref.mainWrites);

    const std::size_t total = ref.writeEvent.size();
    const std::size_t most = setup.maxCutPoints;
    const std::size_t stride = total > most ? (total + most - 1) / most : 1;
    std::vector<std::size_t> cutPoints;
    for (std::size_t w = 0; w < total; ++w) {
        const bool firstOfStep = w == 0 || ref.stepOfWrite[w] != ref.stepOfWrite[w - 1];
        if (w % stride == 0 || firstOfStep) cutPoints.push_back(w);
    }
    int runs = 0, partDoneRuns = 0;
    for (std::size_t w : cutPoints) {
        for (Cut cut : {Cut::Killed, Cut::PowerLost, Cut::JournalWrittenBack, Cut::MainWrittenBack, Cut::TornWrite,
                        Cut::FirstSector, Cut::SomeWritesKept}) {
            const IoEvent& e = ref.events[ref.writeEvent[w]];
            if (cut == Cut::TornWrite && e.length <= 512) continue;
            if (cut == Cut::FirstSector && arrivingBytes(e, cut) >= e.length) continue;
            // The session with part of the unsynced writes kept runs that cut
            // alone: the other cuts of the same session run in the test above.
            if ((cut == Cut::SomeWritesKept) != setup.someWritesKept) continue;
            ++runs;
            const Step& step = steps[ref.stepOfWrite[w]];
            // One seeded choice per cut point: the seed in the message repeats it.
            const std::uint64_t seed = 0x9E3779B97F4A7C15ull * (w + 1);
            const std::string where = "write " + std::to_string(w + 1) + " (" + step.name + ", " + cutName(cut) +
                                      (cut == Cut::SomeWritesKept ? ", seed " + std::to_string(seed) : "") + ")";
            Outcome o;
            Ending ending = runForked<Outcome>([&] { return cutRun(setup, ref, w, cut, seed); }, kAlarmSeconds, &o);
            ASSERT_NE(ending, Ending::Crashed) << where;
            ASSERT_NE(ending, Ending::Hung) << where;
            EXPECT_EQ(o.openResult, 0) << where;
            EXPECT_EQ(o.questions, 0) << where << ": " << o.failure;
            EXPECT_NE(o.dumpStatus, -1) << where << ": opened without a Journal File";
            EXPECT_EQ(o.dumpStatus, kDumpAllHold) << where << ": " << o.failure;
            EXPECT_NE(o.contentStep, -2) << where << ": shows a content no whole step had";
            EXPECT_EQ(o.unmarkedPage, -1) << where << ": a page shown changed is not marked in the overview";
            EXPECT_TRUE(o.filesRightAtEnd) << where;
            partDoneRuns += o.partDone ? 1 : 0;
        }
    }
    std::printf("[ crash ] %d cut runs over %zu cut points, %d left a step part done\n", runs, cutPoints.size(),
                partDoneRuns);
    // A direct fill is really cut in the middle, not only before or after.
    bool partSteps = false;
    for (const Step& s : steps) partSteps |= s.mayStopPartDone;
    if (partSteps) {
        EXPECT_GT(partDoneRuns, 0);
    }
    ::testing::Test::RecordProperty("cut_runs", runs);
}

// R1, R2, R3, R7 and H8 over the whole session.
TEST(InPlaceCrash, EveryCutPointReopensAtAWholeStepWithoutAQuestion) {
    cutEveryWrite({[] { return session(kDir); }, kUndoKeepRestoreData, {}});
}

// The same session with power lost after a seeded part of the unsynced
// writes arrived, sector by sector (R1-R3 and R7 again, now without the
// order of writes between syncs): appended records may end torn or in
// zeros, which the opening cuts off.
TEST(InPlaceCrash, SomeUnsyncedWritesKeptReopensAtAWholeStep) {
    cutEveryWrite({[] { return session(kDir); }, kUndoKeepRestoreData, {}, true});
}

// "Change File Size" in both directions among stores: a program cut at any
// write must reopen at a whole step without asking "File has been changed !".
// A shortening cut after the Main File was cut cannot be taken back (the
// bytes are gone): the opening finishes it, so the file shows the step after.
TEST(InPlaceCrash, ResizesReopenAtAWholeStepWithoutAQuestion) {
    struct Setup resizing{[] { return resizeSession(); }, kUndoKeepRestoreData, {}};
    resizing.resizes = true;
    cutEveryWrite(resizing);
}

// "Save &File" in many chunks with commits between them, Undo All and Redo
// All over several commits; without undo, the written versions marked in
// several batches. R4 (held units written out in batches, each after its
// pre-images), R5 (written marks without pre-images), R6 (appended records
// held where room is set aside) and the rules above.
TEST(InPlaceCrash, BatchedCommandsReopenAtAWholeStepOrEntry) {
    for (std::uint32_t undoOptions : {kUndoKeepRestoreData, std::uint32_t(0)}) {
        SCOPED_TRACE("undoOptions " + std::to_string(undoOptions));
        cutEveryWrite({[undoOptions] { return batchedSession(undoOptions != 0); }, undoOptions, smallBatches(), false,
                       40});
    }
}

// A fill and a paste in direct access with undo, each one command over runs
// of pairs and the page store: cut at a sample of their writes in every
// mode, the program reopens with each of them whole or not there, and Undo
// All gives the original back.
TEST(InPlaceCrash, DirectAccessWithUndoReopensWithEachCommandWholeOrAbsent) {
    cutEveryWrite({[] { return directUndoSession(); }, kUndoKeepRestoreData | kUndoEveryChange, onePairDirectBlocks(),
                   false, 24});
}

}  // namespace
}  // namespace quorby::testing::in_place_crash
