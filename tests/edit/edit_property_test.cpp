// Random sequences of typing, moves, ESC, Backspace, Enter and the undo and
// redo commands, checked after every step against the plain model in
// edit_model.h, with the journal's invariants checked by its dump.
//
// In journal access the runs also write changes into the Main File ("Save
// &File", "Save selected Data", "Save Page"), drop them ("Discard selected
// Changes") and restore the original. From the first of these on the model
// follows the content and the Main File but not the undo order step by
// step: single undo and redo steps give way to "Undo &All", which must take
// every change back (with undoOptions 3 including the writes: the Main File
// is the original again; with 0 and 1 the page shows what the Main File
// holds).
//
// `make test` runs a few fixed seeds. A longer run:
//   QUORBY_EDIT_STEPS=5000 QUORBY_EDIT_SEEDS=1-50 ./tests/test_edit --gtest_filter='EditProperty*'
#include "tests/edit/edit_fixture.h"
#include "tests/edit/edit_model.h"
#include "tests/support/loop_device.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include "edit/drop_changes.h"
#include "edit/restore_original.h"
#include "edit/undo_commands.h"
#include "edit/write_selection.h"
#include "navigate/page_moves.h"
#include "store/write_all.h"

namespace quorby::testing {

int envNumber(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// "a-b" or a single number.
void envSeedRange(int* first, int* last, int defaultLast) {
    *first = 1;
    *last = defaultLast;
    const char* v = std::getenv("QUORBY_EDIT_SEEDS");
    if (!v || !*v) return;
    std::string s(v);
    auto dash = s.find('-');
    *first = std::atoi(s.substr(0, dash).c_str());
    *last = dash == std::string::npos ? *first : std::atoi(s.substr(dash + 1).c_str());
}

class EditRun {
public:
    EditRun(std::uint32_t seed, std::uint32_t options, bool direct, FilePos size, bool writes = false)
        : f_(size, options, direct), model_(f_.original, options, direct), rng_(seed), writesEnabled_(writes) {}
    // Direct access on a block device.
    EditRun(std::uint32_t seed, std::uint32_t options, const std::string& device, const std::string& journal)
        : f_(device, journal, options), model_(f_.original, options, true), rng_(seed) {}

    // Returns false at the first step whose result differs from the model.
    bool run(int steps, std::string* failure) {
        for (step_ = 0; step_ < steps; ++step_) {
            failure_.clear();
            doOneStep();
            f_.endCommand();
            if (!failure_.empty()) return fail(failure, failure_);
            if (std::getenv("QUORBY_EDIT_TRACE"))
                std::fprintf(stderr, "%d %s pagePos %llu\n", step_, lastAction_.c_str(),
                             (unsigned long long)f_.app.view.pagePos);
            if (!check(failure)) return false;
        }
        return true;
    }

    std::uint64_t records() { return f_.recordCount(); }
    int writeOps() const { return writeOps_; }
    std::size_t entries() const { return model_.entries.size(); }

private:
    EditFixture f_;
    EditModel model_;
    std::mt19937 rng_;
    int step_ = 0;
    std::string lastAction_;
    std::vector<std::uint8_t> beforeUndoAll_;
    bool justUndidAll_ = false;
    bool writesEnabled_ = false;   // journal access: the write commands are in the mix
    bool afterWrite_ = false;      // a write command ran: single undo / redo steps are left out
    std::string failure_;          // a check inside a step failed
    int writeOps_ = 0;

    std::uint32_t pick(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng_); }
    FilePos size() const { return f_.app.main.fileSize; }
    FilePos pairPos() const { return f_.app.view.pagePos; }

    // Most changes fall on a few pages, so that pages are stored again and again.
    FilePos randomPosition() {
        const FilePos pages = (size() + 511) / 512;
        FilePos page = pick(4) != 0 ? pick(4) * 3 % pages : pick(std::uint32_t(pages));
        if (pick(8) == 0) page = pages - 1;  // the short last page
        const FilePos end = std::min<FilePos>(page * 512 + 512, size());
        return page * 512 + pick(std::uint32_t(end - page * 512));
    }

    bool shownNow(FilePos pos) {
        const FilePos first = firstShownPos(f_.app);
        return pos >= first && pos - first < shownByteCount(f_.app);
    }

    // Moves the cursor as showWithCursorAt does; a pair is loaded (and the
    // typed pages stored) when the position is not among the shown bytes and
    // its page is not the pair's first.
    void moveTo(FilePos pos) {
        if (!shownNow(pos) && (pos & ~FilePos{511}) != pairPos()) model_.storePair(pairPos());
        f_.cursorTo(pos, f_.app.view.cursorInChars);
    }

    // A command that may scroll to another pair stores the typed pages first.
    template <typename Action>
    void mayLoadAnotherPair(Action action) {
        const FilePos before = pairPos();
        action();
        if (pairPos() != before) model_.storePair(before);
    }

    void typeByte() {
        const FilePos pos = randomPosition();
        const bool chars = pick(4) == 0;
        moveTo(pos);
        f_.app.view.cursorInChars = chars;
        std::uint8_t value = std::uint8_t(pick(256));
        std::ostringstream s;
        s << "type " << int(value) << " at " << pos << (chars ? " (chars)" : "");
        lastAction_ = s.str();
        if (chars) {
            if (value == kCharBackspace || value == kCharEnter || value == kCharEscape) value = 'x';
            model_.type(pos, value);
            mayLoadAnotherPair([&] { enterChar(f_.app, value); });
            return;
        }
        const char* digits = pick(2) ? "0123456789abcdef" : "0123456789ABCDEF";
        enterChar(f_.app, digits[value >> 4]);
        model_.type(pos, value);
        mayLoadAnotherPair([&] { enterChar(f_.app, digits[value & 15]); });
    }

    void backspace() {
        const FilePos pos = f_.app.view.cursorPos();
        lastAction_ = "backspace at " + std::to_string(pos);
        model_.restore(pos);
        mayLoadAnotherPair([&] { enterChar(f_.app, kCharBackspace); });
    }

    void escape() {
        lastAction_ = "ESC";
        model_.discard(pairPos());
        enterChar(f_.app, kCharEscape);
    }

    void enter() {
        lastAction_ = "Enter";
        for (FilePos half = 0; half < 2; ++half) {
            const FilePos page = pairPos() + half * 512;
            bool marked = false;
            for (int i = 0; i < 64; ++i) marked |= f_.app.view.changedBits[half * 64 + i] != 0;
            if (marked)
                model_.storePage(page);
            else
                model_.dirty.erase(page);
        }
        enterChar(f_.app, kCharEnter);
    }

    void move() {
        if (pick(3) == 0) {
            lastAction_ = "Page Down";
            mayLoadAnotherPair([&] { pageDownCommand(f_.app); });
            return;
        }
        const FilePos pos = randomPosition();
        lastAction_ = "move to " + std::to_string(pos);
        moveTo(pos);
    }

    void undoRedo(bool undo, bool all) {
        lastAction_ = std::string(undo ? "Undo" : "Redo") + (all ? " All" : "");
        if (undo ? model_.canUndo() : model_.canRedo()) {
            model_.storePair(pairPos());
            // Redo All gives this content back only when nothing waited for
            // redo before the Undo All.
            if (undo && all) {
                beforeUndoAll_ = model_.content;
                snapshotValid_ = !model_.canRedo();
            }
            do {
                if (undo ? !model_.canUndo() : !model_.canRedo()) break;
                undo ? model_.undoOne() : model_.redoOne();
            } while (all);
        }
        void (*cmd)(AppState&) = undo ? (all ? undoAllCommand : undoLastCommand) : (all ? redoAllCommand : redoLastCommand);
        cmd(f_.app);
    }

    void perPage(bool undo) {
        lastAction_ = undo ? "Undo per Page" : "Redo per Page";
        if (undo ? model_.canUndo() : model_.canRedo()) {
            const FilePos page = model_.entries[undo ? model_.inEffect - 1 : model_.inEffect].page;
            model_.storePair(pairPos());
            const bool onPair = page >= pairPos() && page < pairPos() + f_.app.view.pageLength;
            if (onPair) {
                if (undo && model_.canUndo()) model_.undoOne();
                if (!undo && model_.canRedo()) model_.redoOne();
            }
        }
        (undo ? undoPerPageCommand : redoPerPageCommand)(f_.app);
    }

    void note(const std::string& what) {
        if (failure_.empty()) failure_ = what;
    }

    std::string firstDifference(const std::vector<std::uint8_t>& got, const std::vector<std::uint8_t>& want) {
        std::size_t at = 0;
        while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
        if (at == got.size() && got.size() == want.size()) return "";
        if (at >= got.size() || at >= want.size()) return "sizes differ";
        return "at " + std::to_string(at) + ": " + std::to_string(got[at]) + ", expected " + std::to_string(want[at]);
    }

    // Every byte as the view shows it, page pair by page pair.
    std::vector<std::uint8_t> shownFile() {
        std::vector<std::uint8_t> bytes(size());
        for (FilePos p = 0; p < size(); ++p) bytes[p] = f_.shown(p);
        return bytes;
    }

    void randomSelection() {
        const FilePos start = randomPosition();
        const FilePos length = 1 + pick(pick(3) == 0 ? 3000 : 600);
        f_.app.view.selectionStart = start;
        f_.app.view.selectionEnd = std::min<FilePos>(start + length, size());
        f_.app.view.selectionActive = kSelectionExists;
    }

    void saveFileStep() {
        lastAction_ = "Save File";
        model_.storePair(pairPos());
        saveFile(f_.app);
        model_.main = model_.content;
        if (f_.app.journal.header.jnlFlags & kJnlUnwrittenChanges) note("JnlFlags bit 0 still set after Save File");
        const std::string d = firstDifference(f_.mainBytes(), model_.content);
        if (!d.empty()) note("after Save File the Main File differs from the content " + d);
    }

    void saveSelectionStep() {
        randomSelection();
        const FilePos s = f_.app.view.selectionStart, e = f_.app.view.selectionEnd;
        lastAction_ = "Save selected Data " + std::to_string(s) + ".." + std::to_string(e);
        model_.storePair(pairPos());
        writeSelection(f_.app);
        for (FilePos p = s; p < e; ++p) model_.main[p] = model_.content[p];
    }

    void savePageStep() {
        const FilePos first = firstShownPos(f_.app);
        const FilePos end = first + shownByteCount(f_.app);
        lastAction_ = "Save Page " + std::to_string(first) + ".." + std::to_string(end);
        model_.storePair(pairPos());
        savePage(f_.app);
        for (FilePos p = first; p < end; ++p) model_.main[p] = model_.content[p];
    }

    void dropSelectionStep() {
        randomSelection();
        const FilePos s = f_.app.view.selectionStart, e = f_.app.view.selectionEnd;
        lastAction_ = "Discard selected Changes " + std::to_string(s) + ".." + std::to_string(e);
        model_.storePair(pairPos());
        dropSelection(f_.app);
        for (FilePos p = s; p < e; ++p) model_.content[p] = model_.main[p];
    }

    void restoreStep() {
        lastAction_ = "Restore Original File";
        model_.storePair(pairPos());
        restoreOriginalFile(f_.app);
        model_.main = model_.content = f_.original;
        std::string d = firstDifference(f_.mainBytes(), f_.original);
        if (!d.empty()) note("after Restore Original File the Main File is not the original " + d);
        d = firstDifference(shownFile(), f_.original);
        if (!d.empty()) note("after Restore Original File the view is not the original " + d);
    }

    // After writes: Undo All takes everything back.
    void undoAllAfterWrites() {
        lastAction_ = "Undo All (after writes)";
        if (isEmptyPtr(f_.app.journal.header.undo)) {
            // Nothing to undo: the command ends at once, typed bytes stay.
            lastAction_ += ", nothing to undo";
            undoAllCommand(f_.app);
            return;
        }
        model_.storePair(pairPos());
        undoAllCommand(f_.app);
        const std::vector<std::uint8_t> mainNow = f_.mainBytes();
        if (model_.undoOptions & 2) {
            std::string d = firstDifference(mainNow, f_.original);
            if (!d.empty()) note("after Undo All the Main File is not the original " + d);
            model_.main = f_.original;
        } else {
            // The Main File keeps what was written; the view shows it.
            model_.main = mainNow;
        }
        const std::string d = firstDifference(shownFile(), model_.main);
        if (!d.empty()) note("after Undo All the view differs from the Main File " + d);
        model_.content = model_.main;
        model_.entries.clear();
        model_.inEffect = 0;
    }

    void writeStep() {
        ++writeOps_;
        afterWrite_ = true;
        const std::uint32_t r = pick(100);
        if (r < 25) saveFileStep();
        else if (r < 50) saveSelectionStep();
        else if (r < 65) savePageStep();
        else if (r < 80) dropSelectionStep();
        else if (r < 88 && model_.undoOptions != 0) restoreStep();
        else saveFileStep();
    }

    void doOneStep() {
        if (writesEnabled_ && pick(100) < 8) return writeStep();
        if (afterWrite_) {
            const std::uint32_t r = pick(100);
            if (r < 45) typeByte();
            else if (r < 55) move();
            else if (r < 60) backspace();
            else if (r < 64) escape();
            else if (r < 72) enter();
            else if (r < 80) undoAllAfterWrites();
            else writeStep();
            return;
        }
        const bool wasUndoAll = justUndidAll_;
        justUndidAll_ = false;
        const std::uint32_t r = pick(100);
        if (r < 40) typeByte();
        else if (r < 48) move();
        else if (r < 53) backspace();
        else if (r < 57) escape();
        else if (r < 63) enter();
        else if (r < 75) undoRedo(true, false);
        else if (r < 85) undoRedo(false, false);
        else if (r < 89) perPage(true);
        else if (r < 93) perPage(false);
        else if (r < 96) {
            // Only an Undo All that undid something counts for the checks below.
            justUndidAll_ = model_.canUndo();
            undoRedo(true, true);
        } else {
            redoAllAfterUndoAll_ = wasUndoAll && snapshotValid_ && model_.dirty.empty();
            undoRedo(false, true);
        }
    }
    bool redoAllAfterUndoAll_ = false;
    bool snapshotValid_ = false;

    bool fail(std::string* failure, const std::string& what) {
        std::ostringstream s;
        s << "step " << step_ << " (" << lastAction_ << "): " << what;
        if (std::getenv("QUORBY_EDIT_TRACE")) {
            std::string dump;
            f_.dumpStatus(&dump);
            s << "\n" << dump;
        }
        *failure = s.str();
        return false;
    }

    bool check(std::string* failure) {
        const ViewState& v = f_.app.view;
        for (std::uint32_t i = 0; i < v.pageLength; ++i) {
            if (v.pageBuffer[i] != model_.shown(v.pagePos + i)) {
                return fail(failure, "shown byte at " + std::to_string(v.pagePos + i) + " is " +
                                         std::to_string(v.pageBuffer[i]) + ", expected " +
                                         std::to_string(model_.shown(v.pagePos + i)));
            }
        }
        const FilePos expectedLength = std::min<FilePos>(1024, size() - v.pagePos);
        if (v.pageLength != expectedLength) return fail(failure, "pageLength " + std::to_string(v.pageLength));
        const std::string mainDifference = firstDifference(f_.mainBytes(), model_.main);
        if (!mainDifference.empty()) return fail(failure, "the Main File differs " + mainDifference);
        if (!model_.direct && !afterWrite_ && f_.mainBytes() != f_.original) return fail(failure, "the Main File changed");
        std::string dump;
        if (f_.dumpStatus(&dump) != kDumpAllHold) return fail(failure, "journal invariant broken:\n" + dump);
        // The undo order back from Undo is linked both ways and ends at
        // FirstUndo: it never runs in a circle.
        FilePos entry = f_.header().undo;
        for (std::uint64_t n = 0; !isEmptyPtr(entry); ++n) {
            if (n > f_.recordCount()) return fail(failure, "the undo order runs in a circle");
            const FilePos before = f_.record(entry).pUndo;
            if (isEmptyPtr(before) && entry != f_.header().firstUndo)
                return fail(failure, "the undo order does not end at FirstUndo");
            if (!isEmptyPtr(before) && f_.record(before).nUndo != entry)
                return fail(failure, "undo entry " + std::to_string(before) + " does not lead on to " +
                                         std::to_string(entry));
            entry = before;
        }
        if (!afterWrite_ && model_.dirty.empty() && (justUndidAll_ || redoAllAfterUndoAll_)) {
            // Undo All brings the Main File's content back (journal access);
            // Redo All right after it the content from before it.
            for (FilePos pos = 0; pos < size(); pos += 512) {
                for (FilePos p = pos; p < std::min<FilePos>(pos + 512, size()); ++p) {
                    const std::uint8_t want = justUndidAll_ && !model_.direct ? f_.original[p]
                                              : redoAllAfterUndoAll_ ? beforeUndoAll_[p]
                                                                     : model_.content[p];
                    if (f_.shown(p) != want || model_.content[p] != want)
                        return fail(failure, "after Undo All / Redo All, byte " + std::to_string(p) + ": shown " +
                                                 std::to_string(f_.shown(p)) + ", model " +
                                                 std::to_string(model_.content[p]) + ", expected " +
                                                 std::to_string(want));
                }
            }
            redoAllAfterUndoAll_ = false;
        }
        return true;
    }
};

// Journal or direct access, with or without the write commands in the mix.
void runProperty(std::uint32_t options, bool direct, bool writes, int defaultSteps, int defaultSeeds) {
    const int steps = envNumber("QUORBY_EDIT_STEPS", defaultSteps);
    int first = 1, last = defaultSeeds;
    envSeedRange(&first, &last, defaultSeeds);
    for (int seed = first; seed <= last; ++seed) {
        EditRun run(std::uint32_t(seed), options, direct, 20 * 512 + 300, writes);
        std::string failure;
        ASSERT_TRUE(run.run(steps, &failure)) << "undoOptions " << options << (direct ? " direct" : " journal")
                                              << (writes ? " with writes" : "") << " seed " << seed << ": "
                                              << failure;
        // The run must have exercised the journal or the writes, not only typed into the air.
        if (writes)
            EXPECT_GT(run.writeOps(), 0) << "seed " << seed;
        else
            EXPECT_GT(run.records(), 0u) << "seed " << seed;
    }
}

TEST(EditProperty, JournalAccessUndoOptions0) { runProperty(0, false, false, 300, 3); }
TEST(EditProperty, JournalAccessUndoOptions1) { runProperty(1, false, false, 300, 3); }
TEST(EditProperty, JournalAccessUndoOptions2) { runProperty(2, false, false, 300, 3); }
TEST(EditProperty, JournalAccessUndoOptions3) { runProperty(3, false, false, 300, 3); }
TEST(EditProperty, DirectAccessUndoOptions1) { runProperty(1, true, false, 200, 2); }
TEST(EditProperty, DirectAccessUndoOptions3) { runProperty(3, true, false, 200, 2); }
TEST(EditProperty, WritesUndoOptions0) { runProperty(0, false, true, 300, 3); }
TEST(EditProperty, WritesUndoOptions1) { runProperty(1, false, true, 300, 3); }
TEST(EditProperty, WritesUndoOptions3) { runProperty(3, false, true, 300, 3); }

TEST(EditProperty, DirectAccessOnLoopDevice) {
    ZeroDriveOnLoop drive(24);
    const std::string device = drive.device();
    if (device.empty()) GTEST_SKIP() << drive.skipReason();
    const std::string& journal = drive.journal();
    const int steps = envNumber("QUORBY_EDIT_STEPS", 150);
    for (std::uint32_t options : {1u, 3u}) {
        EditRun run(1, options, device, journal);
        std::string failure;
        EXPECT_TRUE(run.run(steps, &failure)) << device << " undoOptions " << options << ": " << failure;
        EXPECT_GT(run.records(), 0u);
    }
}

}  // namespace quorby::testing
