// Random sessions of typing, moves, Enter, ESC, Backspace, F2 or F4 (version
// review, ended at once), Undo, Redo, Undo All, Redo All, Save File, Save selected Data, Save Page, Discard selected
// Changes, Restore Original File, Fill Selection, Paste (also past the end),
// Change File Size, and quitting and opening again, checked
// after every step against the model in history_model.h: every shown byte,
// the Main File, and the Journal File's invariants (its dump).
//
// A failing session is shrunk (steps dropped while it still fails) and
// printed step by step. `make test` runs a few seeds; a longer run:
//   QUORBY_HISTORY_STEPS=2000 QUORBY_HISTORY_SEEDS=1-50 ./tests/test_edit --gtest_filter='History*'
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "app/dispatch.h"
#include "core/command_codes.h"
#include "edit/clipboard_formats.h"
#include "edit/clipboard_paste.h"
#include "edit/drop_changes.h"
#include "edit/file_size.h"
#include "edit/fill_commands.h"
#include "edit/restore_original.h"
#include "edit/undo_commands.h"
#include "edit/write_selection.h"
#include "journal/command_commit.h"
#include "navigate/page_moves.h"
#include "navigate/version_review.h"
#include "edit/write_all.h"
#include "tests/edit/edit_fixture.h"
#include "tests/edit/history_model.h"
#include "tests/support/loop_device.h"
#include "view/shown_range.h"

namespace quorby::testing {

namespace {

int envNumber(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

void envSeedRange(int* first, int* last) {
    const char* v = std::getenv("QUORBY_HISTORY_SEEDS");
    if (!v || !*v) return;
    const std::string s(v);
    const auto dash = s.find('-');
    *first = std::atoi(s.substr(0, dash).c_str());
    *last = dash == std::string::npos ? *first : std::atoi(s.substr(dash + 1).c_str());
}

enum class Act {
    Type, Backspace, Escape, Enter, Review, Move, PageDown, Undo, Redo, UndoAll, RedoAll,
    SaveFile, SaveSelection, SavePage, Discard, Restore, Reopen, Fill, Paste, Resize
};

struct Step {
    Act act = Act::Type;
    FilePos pos = 0;
    FilePos length = 0;
    std::uint8_t value = 0;
    bool chars = false;
};

constexpr FilePos kFileSize = 12 * 512 + 300;

// Between half and one and a half times the first size.
FilePos resizeTarget(const Step& s) { return kFileSize / 2 + (s.pos * 7 + s.length) % kFileSize; }

// The bytes a Paste step puts on the clipboard.
std::vector<std::uint8_t> pasteBytesOf(const Step& s) {
    std::vector<std::uint8_t> b(s.length);
    for (FilePos i = 0; i < s.length; ++i) b[i] = std::uint8_t(s.value + i * 7);
    return b;
}

std::string describe(const Step& s) {
    std::ostringstream o;
    switch (s.act) {
    case Act::Type: o << "type " << int(s.value) << " at " << s.pos << (s.chars ? " (chars)" : ""); break;
    case Act::Backspace: o << "Backspace"; break;
    case Act::Escape: o << "ESC"; break;
    case Act::Enter: o << "Enter"; break;
    case Act::Review: o << (s.chars ? "F4" : "F2") << ", review ended"; break;
    case Act::Move: o << "move to " << s.pos; break;
    case Act::PageDown: o << "Page Down"; break;
    case Act::Undo: o << "Ctrl+Z"; break;
    case Act::Redo: o << "Ctrl+Y"; break;
    case Act::UndoAll: o << "Undo All"; break;
    case Act::RedoAll: o << "Redo All"; break;
    case Act::SaveFile: o << "Save File"; break;
    case Act::SaveSelection: o << "Save selected Data " << s.pos << "+" << s.length; break;
    case Act::SavePage: o << "Save Page"; break;
    case Act::Discard: o << "Discard selected Changes " << s.pos << "+" << s.length; break;
    case Act::Restore: o << "Restore Original File"; break;
    case Act::Reopen: o << "quit and open again"; break;
    case Act::Fill: o << "Fill Selection " << s.pos << "+" << s.length << " with " << int(s.value); break;
    case Act::Paste: o << "Paste " << s.length << " bytes from " << int(s.value) << " at " << s.pos; break;
    case Act::Resize: o << "Change File Size to " << resizeTarget(s); break;
    }
    return o.str();
}

// Most changes fall on a few pages, so pages are stored again and again.
std::vector<Step> randomSession(std::uint32_t seed, int count, bool direct) {
    std::mt19937 rng(seed);
    auto pick = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng); };
    auto position = [&]() {
        const FilePos pages = (kFileSize + 511) / 512;
        FilePos page = pick(4) != 0 ? pick(4) * 3 % pages : pick(std::uint32_t(pages));
        if (pick(8) == 0) page = pages - 1;
        const FilePos end = std::min<FilePos>(page * 512 + 512, kFileSize);
        return page * 512 + pick(std::uint32_t(end - page * 512));
    };
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        Step s;
        const std::uint32_t r = pick(100);
        if (r < 21) s.act = Act::Type;
        else if (r < 23) s.act = Act::Review;
        else if (r < 26) s.act = Act::Paste;
        else if (r < 28) s.act = Act::Resize;
        else if (r < 34) s.act = Act::Fill;
        else if (r < 38) s.act = Act::Move;
        else if (r < 40) s.act = Act::PageDown;
        else if (r < 42) s.act = Act::Backspace;
        else if (r < 44) s.act = Act::Escape;
        else if (r < 50) s.act = Act::Enter;
        else if (r < 61) s.act = Act::Undo;
        else if (r < 70) s.act = Act::Redo;
        else if (r < 73) s.act = Act::UndoAll;
        else if (r < 76) s.act = Act::RedoAll;
        else if (r < 80) s.act = direct ? Act::Enter : Act::SaveFile;
        else if (r < 84) s.act = direct ? Act::Type : Act::SaveSelection;
        else if (r < 86) s.act = direct ? Act::Type : Act::SavePage;
        else if (r < 90) s.act = direct ? Act::Type : Act::Discard;
        else if (r < 93) s.act = Act::Restore;
        else if (r < 96) s.act = Act::Reopen;
        else if (r < 99) s.act = Act::Fill;
        else s.act = Act::Type;
        s.pos = position();
        s.value = std::uint8_t(pick(256));
        s.chars = pick(4) == 0;
        s.length = 1 + pick(pick(3) == 0 ? 3000 : 600);
        steps.push_back(s);
    }
    return steps;
}

// Where the session runs: a Main File in memory, or a block device.
struct Place {
    std::string device, journal;   // empty device: in memory
};

class Session {
public:
    Session(std::uint32_t options, bool direct, const Place& place)
        : f_(makeFixture(options, direct, place)), model_(f_->original, options, direct), drive_(!place.device.empty()) {}

    // The number of the step that first went wrong (and what), or -1.
    int run(const std::vector<Step>& steps, std::string* failure) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            failure_.clear();
            perform(steps[i]);
            checkCommitSteps(false);
            f_->endCommand();
            checkCommitSteps(true);
            if (failure_.empty()) check();
            if (!failure_.empty() && std::getenv("QUORBY_HISTORY_TRACE")) {
                std::string dump;
                f_->dumpStatus(&dump);
                failure_ += "\n" + dump;
            }
            if (!failure_.empty()) {
                *failure = failure_;
                return int(i);
            }
        }
        return -1;
    }
    std::size_t historyLength() const { return model_.history.size(); }

private:
    std::unique_ptr<EditFixture> f_;
    HistoryModel model_;
    bool drive_;
    std::string failure_;

    static std::unique_ptr<EditFixture> makeFixture(std::uint32_t options, bool direct, const Place& place) {
        if (place.device.empty()) return std::make_unique<EditFixture>(kFileSize, options, direct);
        return std::make_unique<EditFixture>(place.device, place.journal, options);
    }

    AppState& app() { return f_->app; }
    FilePos pairPos() { return app().view.pagePos; }
    FilePos size() { return app().main.fileSize; }

    bool shownNow(FilePos pos) {
        const FilePos first = firstShownPos(app());
        return pos >= first && pos - first < shownByteCount(app());
    }
    // A pair is loaded (its typed pages stored) when the position is not
    // among the shown bytes and its page is not the pair's first.
    void moveTo(FilePos pos, bool chars) {
        if (!shownNow(pos) && (pos & ~FilePos{511}) != pairPos()) model_.storePair(pairPos());
        f_->cursorTo(pos, chars);
    }
    template <typename Action>
    void mayLoadAnotherPair(Action action) {
        const FilePos before = pairPos();
        action();
        if (pairPos() != before) model_.storePair(before);
    }

    void typeByte(const Step& s) {
        const FilePos pos = std::min<FilePos>(s.pos, size() - 1);
        moveTo(pos, s.chars);
        std::uint8_t value = s.value;
        if (s.chars) {
            if (value == kCharBackspace || value == kCharEnter || value == kCharEscape) value = 'x';
            model_.type(pos, value);
            mayLoadAnotherPair([&] { enterChar(app(), value); });
            return;
        }
        const char* digits = "0123456789abcdef";
        enterChar(app(), digits[value >> 4]);
        model_.type(pos, value);
        mayLoadAnotherPair([&] { enterChar(app(), digits[value & 15]); });
    }

    // Enter stores the pair's typed bytes; so do F2 and F4 before they show
    // another version (the review is ended at once: the pair shows its
    // newest versions again).
    void enter() {
        storePairInModel();
        enterChar(app(), kCharEnter);
    }
    void review(bool newer) {
        storePairInModel();
        dispatchCommand(app(), newer ? kCmdPageVersionPreviewKey : kCmdPageVersionReviewKey);
        endVersionReview(app());
    }
    void storePairInModel() {
        for (FilePos half = 0; half < 2; ++half) {
            bool marked = false;
            for (int i = 0; i < 64; ++i) marked |= app().view.changedBits[half * 64 + i] != 0;
            if (!marked) model_.dirty.erase(pairPos() + half * 512);
        }
        model_.storePair(pairPos());
    }

    // The bytes go onto the clipboard as Copy puts them there; pasted at the
    // cursor. Past the end of a drive nothing is pasted (its size is fixed).
    void paste(const Step& s) {
        const std::vector<std::uint8_t> bytes = pasteBytesOf(s);
        std::string count(8, '\0');
        for (int i = 0; i < 4; ++i) count[std::size_t(i)] = char(bytes.size() >> (8 * i));
        app().platform->clearClipboard();
        app().platform->setClipboard(kMimeRawData, std::string(bytes.begin(), bytes.end()) + '\0');
        app().platform->setClipboard(kMimeDataSize, count);
        const FilePos pos = std::min<FilePos>(s.pos, size() - 1);
        moveTo(pos, app().view.cursorInChars);
        model_.storePair(pairPos());
        (void)pasteClipboard(app());
        if (!drive_ || pos + bytes.size() <= size()) model_.paste(pos, bytes);
    }

    void select(const Step& s) {
        app().view.selectionStart = std::min<FilePos>(s.pos, size() - 1);
        app().view.selectionEnd = std::min<FilePos>(app().view.selectionStart + s.length, size());
        app().view.selectionActive = kSelectionExists;
    }

    // With something to do, Undo and Redo store the page first (which may
    // drop what waited for redo); then whole entries are taken back or redone.
    void undoRedo(bool undo, bool all) {
        if (undo ? model_.canUndo() : model_.canRedo()) {
            model_.storePair(pairPos());
            do {
                if (undo ? !model_.canUndo() : !model_.canRedo()) break;
                undo ? model_.undo() : model_.redo();
            } while (all);
        }
        (undo ? (all ? undoAllCommand : undoLastCommand) : (all ? redoAllCommand : redoLastCommand))(app());
    }

    void perform(const Step& s) {
        switch (s.act) {
        case Act::Type: typeByte(s); break;
        case Act::Backspace:
            model_.backspace(app().view.cursorPos());
            mayLoadAnotherPair([&] { enterChar(app(), kCharBackspace); });
            break;
        case Act::Escape:
            model_.discardTyped(pairPos());
            enterChar(app(), kCharEscape);
            break;
        case Act::Enter: enter(); break;
        case Act::Review: review(s.chars); break;
        case Act::Move: moveTo(std::min<FilePos>(s.pos, size() - 1), app().view.cursorInChars); break;
        case Act::PageDown: mayLoadAnotherPair([&] { pageDownCommand(app()); }); break;
        case Act::Undo: undoRedo(true, false); break;
        case Act::Redo: undoRedo(false, false); break;
        case Act::UndoAll: undoRedo(true, true); break;
        case Act::RedoAll: undoRedo(false, true); break;
        case Act::SaveFile:
            model_.storePair(pairPos());
            (void)saveFile(app());
            model_.writeAll();
            break;
        case Act::SaveSelection:
            select(s);
            model_.storePair(pairPos());
            (void)writeSelection(app());
            model_.write(app().view.selectionStart, app().view.selectionEnd);
            break;
        case Act::SavePage: {
            const FilePos first = firstShownPos(app());
            const FilePos end = first + shownByteCount(app());
            model_.storePair(pairPos());
            (void)savePage(app());
            model_.write(first, end);
            break;
        }
        case Act::Discard:
            select(s);
            model_.storePair(pairPos());
            (void)dropSelection(app());
            model_.discard(app().view.selectionStart, app().view.selectionEnd);
            break;
        case Act::Restore:
            model_.storePair(pairPos());
            (void)restoreOriginalFile(app());
            model_.restore();
            break;
        case Act::Reopen:
            model_.storePair(pairPos());
            f_->quitAndReopen();
            break;
        case Act::Paste: paste(s); break;
        case Act::Resize:
            // A drive keeps its size, and the same size is no change: nothing is stored.
            if (!drive_ && resizeTarget(s) != size()) model_.storePair(pairPos());
            (void)resizeMainFile(app(), resizeTarget(s));
            if (!drive_) model_.resize(resizeTarget(s));
            break;
        case Act::Fill:
            select(s);
            model_.storePair(pairPos());
            app().edit.fillValue = s.value;
            (void)fillSelection(app());
            model_.fill(app().view.selectionStart, app().view.selectionEnd, s.value);
            break;
        }
    }

    void note(const std::string& what) {
        if (failure_.empty()) failure_ = what;
    }

    // The commit protocol's invariants hold within a command and after it;
    // the end of every command commits it.
    void checkCommitSteps(bool ended) {
        const char* broken = nullptr;
        if (checkCommitProtocol(app().journal, &broken) != 0)
            note(std::string("commit protocol broken ") + (ended ? "after" : "within") + " the command: " + broken);
        if (ended && commitStep(app().journal) != CommitStep::Committed) note("the command ended uncommitted");
    }

    void check() {
        const ViewState& v = app().view;
        for (std::uint32_t i = 0; i < v.pageLength; ++i) {
            const FilePos pos = v.pagePos + i;
            if (v.pageBuffer[i] != model_.shown(pos)) {
                note("shown byte at " + std::to_string(pos) + " is " + std::to_string(v.pageBuffer[i]) +
                     ", expected " + std::to_string(model_.shown(pos)));
                return;
            }
        }
        const std::vector<std::uint8_t> mainNow = f_->mainBytes();
        if (mainNow.size() != model_.size() || size() != model_.size()) {
            note("Main File size " + std::to_string(mainNow.size()) + " (shown as " + std::to_string(size()) +
                 "), expected " + std::to_string(model_.size()));
            return;
        }
        for (FilePos p = 0; p < mainNow.size(); ++p) {
            if (mainNow[p] != model_.main[p]) {
                note("Main File byte at " + std::to_string(p) + " is " + std::to_string(mainNow[p]) +
                     ", expected " + std::to_string(model_.main[p]));
                return;
            }
        }
        // Every page's stored content, as the page shows it when loaded again.
        if (model_.dirty.empty()) {
            const FilePos keep = pairPos();
            for (FilePos half = 0; half < size(); half += 1024) {
                (void)loadPagePair(app(), half);
                for (std::uint32_t i = 0; i < app().view.pageLength; ++i) {
                    if (app().view.pageBuffer[i] != model_.stored(half + i)) {
                        note("stored byte at " + std::to_string(half + i) + " is " +
                             std::to_string(app().view.pageBuffer[i]) + ", expected " +
                             std::to_string(model_.stored(half + i)));
                        (void)loadPagePair(app(), keep);
                        return;
                    }
                }
            }
            (void)loadPagePair(app(), keep);
        }
        std::string dump;
        if (f_->dumpStatus(&dump) != kDumpAllHold) note("journal invariant broken:\n" + dump);
    }
};

// Runs the steps in a new session; the failing step's number or -1.
int runSession(std::uint32_t options, bool direct, const Place& place, const std::vector<Step>& steps,
               std::string* failure) {
    Session s(options, direct, place);
    return s.run(steps, failure);
}

// Drops steps while the session still fails, first in large pieces, then
// one by one.
std::vector<Step> shrink(std::uint32_t options, bool direct, const Place& place, std::vector<Step> steps,
                         int failedAt) {
    steps.resize(std::size_t(failedAt) + 1);
    std::string ignored;
    for (std::size_t piece = steps.size() / 2; piece >= 1; piece /= 2) {
        for (std::size_t at = 0; at + piece <= steps.size();) {
            std::vector<Step> fewer = steps;
            fewer.erase(fewer.begin() + std::ptrdiff_t(at), fewer.begin() + std::ptrdiff_t(at + piece));
            const int failed = runSession(options, direct, place, fewer, &ignored);
            if (failed >= 0) {
                fewer.resize(std::size_t(failed) + 1);
                steps = fewer;
            } else {
                at += piece;
            }
        }
    }
    return steps;
}

std::string report(std::uint32_t options, bool direct, const Place& place, const std::vector<Step>& steps,
                   int failedAt, const std::string& failure) {
    const std::vector<Step> small = shrink(options, direct, place, steps, failedAt);
    std::string why;
    runSession(options, direct, place, small, &why);
    std::ostringstream o;
    o << "undoOptions " << options << (direct ? ", direct access" : ", journal access") << ": step " << failedAt
      << " failed: " << failure << "\nshortest failing session (" << small.size() << " steps):\n";
    for (const Step& s : small) o << "  " << describe(s) << "\n";
    o << "  -> " << why;
    return o.str();
}

void runRandomSessions(std::uint32_t options, bool direct, int defaultSteps, int defaultSeeds,
                       const Place& place = {}) {
    const int count = envNumber("QUORBY_HISTORY_STEPS", defaultSteps);
    int first = 1, last = defaultSeeds;
    envSeedRange(&first, &last);
    std::size_t longestHistory = 0;
    for (int seed = first; seed <= last; ++seed) {
        const std::vector<Step> steps = randomSession(std::uint32_t(seed), count, direct);
        Session session(options, direct, place);
        std::string failure;
        const int failed = session.run(steps, &failure);
        ASSERT_LT(failed, 0) << "seed " << seed << ", " << report(options, direct, place, steps, failed, failure);
        longestHistory = std::max(longestHistory, session.historyLength());
    }
    // The sessions must have built a history to check, not typed into the air.
    if (options != 0) {
        EXPECT_GT(longestHistory, 2u);
    }
}

}  // namespace

// H1-H8 against the model: a linear history (H1, H2), versions and exchanges
// (H3, H4), the undo levels (H5), the original content (H6) and quitting and
// opening again between steps (H8); failed writes are the bulk failure tests'
// (H7).
TEST(HistoryProperty, JournalAccessUndoOptions0) { runRandomSessions(0, false, 300, 3); }
TEST(HistoryProperty, JournalAccessUndoOptions1) { runRandomSessions(1, false, 300, 4); }
TEST(HistoryProperty, JournalAccessUndoOptions3) { runRandomSessions(3, false, 300, 4); }
TEST(HistoryProperty, DirectAccessUndoOptions0) { runRandomSessions(0, true, 200, 2); }
TEST(HistoryProperty, DirectAccessUndoOptions1) { runRandomSessions(1, true, 200, 3); }
TEST(HistoryProperty, DirectAccessUndoOptions3) { runRandomSessions(3, true, 200, 3); }

TEST(HistoryProperty, DirectAccessOnLoopDevice) {
    ZeroDriveOnLoop drive(14);
    const std::string device = drive.device();
    if (device.empty()) GTEST_SKIP() << drive.skipReason();
    for (std::uint32_t options : {1u, 3u}) runRandomSessions(options, true, 120, 1, Place{device, drive.journal()});
}

}  // namespace quorby::testing
