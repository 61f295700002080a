// A paste in direct access with undo killed while it writes: the reopened
// program shows the paste whole or not at all, and never keeps a part of it
// as an undo entry that a later Undo, Undo, Redo would bring back together
// with the change made after it. A paste beyond the file's end enlarges the
// file first; killed, the file has its earlier length again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "edit/fill_commands.h"
#include "edit/paste_bytes.h"
#include "edit/undo_commands.h"
#include "filemenu/open_close.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
#include "journal/change_bins.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "tests/support/program_on_files.h"

namespace quorby::testing {
namespace {

constexpr const char* kMainPath = "/data/disk.bin";
constexpr FilePos kSize = 16 * 512;
constexpr FilePos kPasteLength = 6000;
constexpr FilePos kLaterChange = 15 * 512 + 3;
// Within the file, and from 1000 bytes before its end, enlarging it.
constexpr FilePos kPastePositions[] = {300, kSize - 1000};

using Content = std::vector<std::uint8_t>;

Content originalContent() {
    Content c(kSize);
    for (FilePos i = 0; i < kSize; ++i) c[i] = std::uint8_t(i * 7 + (i >> 9));
    return c;
}

Content pastedBytes() {
    Content c(kPasteLength);
    for (FilePos i = 0; i < kPasteLength; ++i) c[i] = std::uint8_t(0x80 + i % 61);
    return c;
}

Content withPaste(Content c, FilePos at) {
    const Content p = pastedBytes();
    if (c.size() < at + kPasteLength) c.resize(at + kPasteLength, 0);
    for (FilePos i = 0; i < kPasteLength; ++i) c[at + i] = p[i];
    return c;
}

Content shown(ProgramOnFiles& p) {
    Content c;
    for (FilePos pos = 0; pos < p.app.main.fileSize; pos += kPagePairSize) {
        (void)loadPagePair(p.app, pos);
        c.insert(c.end(), p.app.view.pageBuffer, p.app.view.pageBuffer + p.app.view.pageLength);
    }
    return c;
}

void prepare(MemoryFileIo& io) {
    io.timeFromContent = true;
    io.space = {FilePos(1) << 30, FilePos(1) << 31};
    io.bytes(kMainPath) = originalContent();
}

void pasteDirectly(ProgramOnFiles& p, FilePos at) {
    const Content bytes = pastedBytes();
    PasteSource source;
    source.bytes = bytes.data();
    p.app.shell.accessFlags |= kAccessDirect;
    // Blocks of one pair: the whole pairs of the paste are a run of several
    // blocks, each linked onto the one before.
    p.app.buffers.batches.directKeepBlock = kPagePairSize;
    p.app.settings.messageSwitches &= ~std::uint32_t(kMsgPasteEnlarge);
    (void)pasteBytes(p.app, source, at, kPasteLength, kTitlePasteData, EnlargeAsk::Question);
    p.endCommand();
    p.app.shell.accessFlags &= ~kAccessDirect;
}

constexpr std::uint32_t kUndoOptions = kUndoKeepRestoreData | kUndoEveryChange;

// The transfers of the paste, 1-based as failNth counts them, that are writes.
std::vector<std::uint64_t> writesOfThePaste(FilePos at) {
    MemoryFileIo io;
    prepare(io);
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    EXPECT_EQ(p.open(), 0);
    io.logEvents = true;
    io.events.clear();
    pasteDirectly(p, at);
    EXPECT_EQ(shown(p), withPaste(originalContent(), at));
    std::vector<std::uint64_t> writes;
    std::uint64_t transfer = 0;
    for (const IoEvent& e : io.events) {
        if (e.kind == 'S') continue;
        ++transfer;
        if (e.kind == 'W') writes.push_back(transfer);
    }
    return writes;
}

// The paste at `at`, killed at each of its writes, then reopened, changed,
// undone twice and redone.
void killAtEveryWriteOfThePaste(FilePos at) {
    const std::vector<std::uint64_t> writes = writesOfThePaste(at);
    ASSERT_GT(writes.size(), 8u);
    const Content original = originalContent();
    const Content pasted = withPaste(original, at);
    int absent = 0, whole = 0;
    for (std::uint64_t cut : writes) {
        SCOPED_TRACE("killed at transfer " + std::to_string(cut));
        MemoryFileIo io;
        prepare(io);
        {
            ProgramOnFiles p(io, kMainPath, kUndoOptions);
            ASSERT_EQ(p.open(), 0);
            io.failNth(cut, 0, true);
            pasteDirectly(p, at);
            io.stopFailing();
        }
        ProgramOnFiles q(io, kMainPath, kUndoOptions);
        ASSERT_EQ(q.open(), 0);
        EXPECT_TRUE(q.platform.boxes.empty());
        const Content reopened = shown(q);
        const bool wasWhole = reopened == pasted;
        const bool wasAbsent = reopened == original;
        EXPECT_TRUE(wasWhole || wasAbsent) << "the paste reopened part done";
        whole += wasWhole ? 1 : 0;
        absent += wasAbsent ? 1 : 0;

        // One more change, then Ctrl+Z, Ctrl+Z, Ctrl+Y.
        q.type(kLaterChange, 0x5C);
        Content changed = reopened;
        changed[kLaterChange] = 0x5C;
        ASSERT_EQ(shown(q), changed);
        q.run(undoLastCommand);
        EXPECT_EQ(shown(q), reopened);
        q.run(undoLastCommand);
        EXPECT_EQ(shown(q), original);
        q.run(redoLastCommand);
        // Redo brings back one command: what the reopened program showed
        // when it was a change, else the later change alone.
        Content afterRedo = original;
        afterRedo[kLaterChange] = 0x5C;
        EXPECT_EQ(shown(q), wasAbsent ? afterRedo : reopened);
        q.run(undoAllCommand);
        EXPECT_EQ(shown(q), original);
        EXPECT_EQ(io.bytes(kMainPath), original);
    }
    // Every cut lands before the paste's commit is complete: all take it back.
    EXPECT_EQ(absent, int(writes.size()));
    EXPECT_EQ(whole, 0);
    std::printf("[ killed ] paste at %llu: %zu cut points: %d absent, %d whole\n", static_cast<unsigned long long>(at),
                writes.size(), absent, whole);
}

TEST(KilledDirectPaste, ReopensWholeOrAbsentAndRedoBringsOnlyTheLaterChange) {
    for (const FilePos at : kPastePositions) {
        SCOPED_TRACE("paste at " + std::to_string(at));
        killAtEveryWriteOfThePaste(at);
    }
}

}  // namespace
}  // namespace quorby::testing

namespace quorby::testing {
namespace {

// Puts a Main File of `size` bytes that differ from page to page on a drive
// with room, and returns its bytes.
Content putPatternedFile(MemoryFileIo& io, FilePos size) {
    io.space = {FilePos(1) << 30, FilePos(1) << 31};
    Content c(size);
    for (FilePos i = 0; i < size; ++i) c[i] = std::uint8_t(i * 13 + (i >> 9));
    io.bytes(kMainPath) = c;
    return c;
}

// Fill Selection with 0x41 over the first `size` bytes in direct access.
void fillDirectly(ProgramOnFiles& p, FilePos size) {
    (void)showWithCursorAt(p.app, 0);
    p.app.view.selectionStart = 0;
    p.app.view.selectionEnd = size;
    p.app.view.selectionActive = kSelectionExists;
    p.app.edit.fillValue = 0x41;
    p.app.shell.accessFlags |= kAccessDirect;
    p.run([](AppState& app) { (void)fillSelection(app); });
}

// A program of its own fills the first `size` bytes directly with 0x41 and
// closes the file.
void fillAndClose(MemoryFileIo& io, FilePos size) {
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    ASSERT_EQ(p.open(), 0);
    fillDirectly(p, size);
    EXPECT_TRUE(io.bytes(kMainPath) == Content(size, 0x41));
    p.run([](AppState& app) { (void)closeMainFile(app); });
}

// Fill Selection over a whole file of several blocks in direct access with
// undo, taken back with one Undo and brought back with one Redo, each by a
// program of its own.
TEST(DirectFillWithUndo, UndoAndRedoTakeTheWholeFillBackAndForth) {
    constexpr FilePos kBig = 2 * FilePos(kDirectKeepBlock) + (FilePos(1) << 20);  // a run of three blocks
    MemoryFileIo io;
    const Content original = putPatternedFile(io, kBig);
    fillAndClose(io, kBig);
    {
        ProgramOnFiles p(io, kMainPath, kUndoOptions);
        ASSERT_EQ(p.open(), 0);
        p.run(undoLastCommand);
        EXPECT_TRUE(io.bytes(kMainPath) == original);
        p.run([](AppState& app) { (void)closeMainFile(app); });
    }
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    ASSERT_EQ(p.open(), 0);
    p.run(redoLastCommand);
    const Content& after = io.bytes(kMainPath);
    FilePos wrong = 0, first = kBig;
    for (FilePos i = 0; i < kBig; ++i)
        if (after[i] != 0x41) {
            ++wrong;
            if (first == kBig) first = i;
        }
    EXPECT_EQ(wrong, 0u) << "first at " << first;
}

// The overview strip after a direct fill with undo of a middle part: the
// bins of the filled pages are marked as changed (not unwritten), the others
// are not, exactly as a walk of the Journal File finds them.
TEST(DirectFillWithUndo, TheOverviewStripMarksTheFilledPagesAsAWalkWould) {
    constexpr FilePos kBig = FilePos(8) << 20;
    MemoryFileIo io;
    io.space = {FilePos(1) << 30, FilePos(1) << 31};
    io.bytes(kMainPath) = Content(kBig, 0x11);
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    ASSERT_EQ(p.open(), 0);
    followShownState(p.app);
    (void)showWithCursorAt(p.app, 0);
    p.app.view.selectionStart = (FilePos(3) << 20) + 3 * 512;
    p.app.view.selectionEnd = FilePos(6) << 20;
    p.app.view.selectionActive = kSelectionExists;
    p.app.edit.fillValue = 0x41;
    p.app.shell.accessFlags |= kAccessDirect;
    ASSERT_EQ(fillSelection(p.app), 0);
    ASSERT_EQ(io.bytes(kMainPath)[FilePos(4) << 20], 0x41);
    // As the end of a command looks at it, before the commit.
    EXPECT_TRUE(journalChangesCurrent(p.app)) << "the fill kept the strip up to date";

    std::uint8_t walked[kOverviewBins];
    std::uint64_t unwritten = 0;
    ChangeBinMarks marks;
    marks.changed = kOverviewChanged;
    marks.unwritten = kOverviewUnwritten;
    ASSERT_EQ(walkChangedPages(p.app.journal, kBig, walked, kOverviewBins, marks, &unwritten), 0);
    EXPECT_EQ(unwritten, 0u);
    int changedBins = 0;
    for (int k = 0; k < kOverviewBins; ++k) {
        EXPECT_EQ(p.app.overview.changes[k], walked[k]) << "bin " << k;
        changedBins += (walked[k] & kOverviewChanged) ? 1 : 0;
    }
    EXPECT_GT(changedBins, 0);
    EXPECT_LT(changedBins, kOverviewBins) << "the pages outside the fill are not marked";
    p.endCommand();
}

// A Main File that refuses the writes of Undo: the run of exchanges gives
// its records their bytes back and says why, the fill stays whole, the
// Journal File opens again without a question, and a later Undo takes the
// whole fill back.
TEST(DirectFillWithUndo, AMainFileThatRefusesTheUndoKeepsTheFillForALaterUndo) {
    constexpr FilePos kBig = FilePos(kDirectKeepBlock) + (FilePos(1) << 20);
    MemoryFileIo io;
    const Content original = putPatternedFile(io, kBig);
    const Content filled(kBig, 0x41);
    fillAndClose(io, kBig);
    {
        ProgramOnFiles p(io, kMainPath, kUndoOptions);
        ASSERT_EQ(p.open(), 0);
        io.failWrite[kMainPath] = io.ioError;
        p.platform.boxes.clear();
        p.run(undoLastCommand);
        int told = 0;
        for (const MessageBoxDescription& box : p.platform.boxes)
            told += box.text.find(kErrorWriting) != std::string::npos ? 1 : 0;
        EXPECT_EQ(told, 1) << "the refused write is reported once";
        EXPECT_TRUE(io.bytes(kMainPath) == filled);
        EXPECT_TRUE(shown(p) == filled) << "the program still shows the fill";
        p.run([](AppState& app) { (void)closeMainFile(app); });
    }
    io.failWrite.clear();
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    ASSERT_EQ(p.open(), 0);
    EXPECT_TRUE(p.platform.questions.empty()) << "the Journal File passes its check";
    EXPECT_TRUE(shown(p) == filled);
    p.run(undoLastCommand);
    EXPECT_TRUE(io.bytes(kMainPath) == original);
    EXPECT_TRUE(shown(p) == original);
}

// A drive that cannot read a sector in the middle of a block: the direct
// fill with undo stops before that block and says why; the blocks before it
// are filled, the rest keeps its bytes, the Journal File opens again without
// a question, and Undo gives the original back.
TEST(DirectFillWithUndo, AnUnreadableSectorInABlockEndsTheFillBeforeItAndUndoTakesTheRestBack) {
    constexpr FilePos kBig = 2 * FilePos(kDirectKeepBlock);
    constexpr FilePos kBadSector = FilePos(kDirectKeepBlock) + FilePos(kDirectSendPiece) + 7 * 512;
    MemoryFileIo io;
    const Content original = putPatternedFile(io, kBig);
    {
        ProgramOnFiles p(io, kMainPath, kUndoOptions);
        ASSERT_EQ(p.open(), 0);
        io.unreadable[kMainPath] = {{kBadSector, kBadSector + 512}};
        p.platform.boxes.clear();
        fillDirectly(p, kBig);
        bool told = false;
        for (const MessageBoxDescription& box : p.platform.boxes)
            told = told || box.text.find(kErrorReading) != std::string::npos;
        EXPECT_TRUE(told) << "the failed read is reported";
        const Content& after = io.bytes(kMainPath);
        EXPECT_TRUE(std::equal(after.begin(), after.begin() + kDirectKeepBlock, Content(kDirectKeepBlock, 0x41).begin()))
            << "the block before the bad sector is filled";
        // The first pair goes through the page store: the blocks start one pair in.
        const FilePos secondBlock = FilePos(kDirectKeepBlock) + kPagePairSize;
        EXPECT_TRUE(std::equal(after.begin() + secondBlock, after.end(), original.begin() + secondBlock))
            << "the block with the bad sector and what follows keep their bytes";
        p.run([](AppState& app) { (void)closeMainFile(app); });
    }
    io.unreadable.clear();
    ProgramOnFiles p(io, kMainPath, kUndoOptions);
    ASSERT_EQ(p.open(), 0);
    EXPECT_TRUE(p.platform.questions.empty()) << "the Journal File passes its check";
    p.run(undoLastCommand);
    EXPECT_TRUE(io.bytes(kMainPath) == original);
}

}  // namespace
}  // namespace quorby::testing
