#include "edit/undo_commands.h"

#include <algorithm>

#include "core/tables.h"
#include "edit/undo_redo.h"
#include "journal/journal_file.h"
#include "navigate/page_moves.h"
#include "state/progress.h"
#include "document/journal_lifecycle.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "document/main_file.h"
#include "document/shown_state.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

enum class Direction { Undo, Redo };
enum class Extent { Last, All };

// Every 256 steps of a long run the place reached is shown: the address of
// the page at the undo position in the header's left cell, and the thumb.
void showUndoPosition(AppState& app) {
    const FilePos undo = app.journal.header.undo;
    if (isEmptyPtr(undo)) return;
    JournalRecord record;
    if (readRecordHeader(app.journal, undo, kRecordAddressLinks, record) != 0) return;
    char text[21];
    formatPositionText(record.mainAdr, text);
    text[20] = ' ';
    setInfoCell(app, text, kAddressColour);
    showScrollPosition(app, record.mainAdr);
}

bool somethingToUndo(const AppState& app) { return journalOpen(app.journal) && !isEmptyPtr(app.journal.header.undo); }

bool somethingToRedo(AppState& app, JournalRecord* found = nullptr) {
    JournalRecord r;
    if (findRedoRecord(app, r) != 0) return false;
    if (found) *found = r;
    return true;
}

// With "deactivate Undo" nothing is kept to undo with: the command says so
// rather than take back part of a step.
bool undoDeactivated(AppState& app) {
    if (app.settings.undoOptions != 0) return false;
    MessageBoxDescription box;
    box.caption = "Undo deactivated";
    box.text = "Undo is deactivated (Options, \"deactivate Undo\").";
    box.buttons = MsgButtons::Ok;
    box.icon = MsgIcon::Information;
    app.platform->messageBox(box);
    return true;
}

// After records were undone or redone the shown pair is assembled again.
void showPairAgain(AppState& app, FilePos pagePos) {
    // Typed bytes that cannot be stored stay in the view; the pair is assembled anyway.
    (void)storeTypedChangesFirst(app);
    if (app.edit.chainVersionSwapped) {
        forgetCursorRecords(app);
        app.edit.chainVersionSwapped = false;
    }
    (void)loadPagePair(app, pagePos);  // a page that cannot be read was reported
    updateScrollBar(app);
    drawPage(app);
}

const char* titleOf(Direction d, Extent e) {
    if (d == Direction::Undo) return e == Extent::All ? kTitleUndoAll : kTitleUndoLast;
    return e == Extent::All ? kTitleRedoAll : kTitleRedoLast;
}

void runUndoRedo(AppState& app, Direction d, Extent e) {
    if (!journalOpen(app.journal)) return;
    if (d == Direction::Undo ? !somethingToUndo(app) : !somethingToRedo(app)) return;
    if (undoDeactivated(app)) return;
    if (storePage(app) != 0 && app.edit.pageRefused) return;
    const FilePos pagePos = app.view.pagePos;
    startProgress(app, titleOf(d, e));
    // Records follow each other in the Journal File in the order they were
    // made: undo goes down from the undo position to the first record, redo
    // up to the journal's end.
    const FilePos undoStart = isEmptyPtr(app.journal.header.undo) ? kJournalHeaderSize : app.journal.header.undo;
    ProgressRange range(app, undoStart, d == Direction::Undo ? FilePos(kJournalHeaderSize) : app.journal.journalEnd);
    app.edit.continueFlag = false;
    // Each record is undone or redone in one step, so a damaged undo order
    // that runs in a circle cannot keep the command going for ever.
    const std::uint64_t stepLimit = wholeRecordCount(app.journal.journalEnd) + 2;
    const std::uint64_t batch = std::max<std::uint64_t>(1, app.buffers.batches.stepsPerCommit);
    // The pre-images of up to four batches of single steps are kept at
    // once: the Main File writes of all of them wait for one sync of the
    // rollback file. Runs of exchanges keep their own.
    const std::uint64_t ahead = 4 * batch;
    std::uint64_t sinceCommit = 0;
    std::uint64_t keptUntil = 0;  // the single steps before it have their pre-images kept
    bool mainFileChecked = false;
    ExchangeRunBuffers runBuffers;
    // Runs of exchanges leave the overview strip as it was, so a walk of
    // the address chain that was up to date stays so; any other step
    // leaves it to the walk at the end of the command.
    bool overviewKept = journalChangesCurrent(app);
    for (std::uint64_t steps = 0; steps < stepLimit;) {
        // The step's record, read once for the question whether there is one and for the step.
        JournalRecord first;
        if (findStepRecord(app, d == Direction::Undo, first) != 0) break;
        // The Main File is checked (not replaced, not changed by another
        // program, writable) once for the steps ahead, as a direct paste
        // does for a block, instead of at every page they write. Refused,
        // the run stops before it writes.
        if (steps >= keptUntil || sinceCommit == 0) {
            std::uint64_t walked = 0;
            mainFileChecked = keepPreImagesAhead(app, d == Direction::Undo, ahead, e == Extent::Last, &walked);
            keptUntil = steps + walked;
            if (mainFileChecked && ensureWritable(app) != 0) break;
        }
        const FilePos before = app.journal.header.undo;
        // A run begins only where the single steps end.
        std::uint64_t taken = 1;
        const std::uint64_t most = steps < keptUntil ? keptUntil - steps : stepLimit;
        const int failed = undoOrRedoRun(app, d == Direction::Undo, mainFileChecked, most, first, runBuffers, &taken);
        steps += taken;
        overviewKept = overviewKept && failed == 0 && runKeptChangeMarks(runBuffers);
        // A step that failed without moving the undo position would fail again.
        if (failed != 0 && app.journal.header.undo == before) break;
        if (!isEmptyPtr(app.journal.header.undo)) range.reached(app.journal.header.undo);
        if (pollProgress(app)) break;
        if (app.progress.pollCounter == kPollInterval) showUndoPosition(app);
        if (e == Extent::Last && !app.edit.continueFlag) break;
        // A long run is committed now and then between two entries, so that
        // a program killed in it keeps the entries done before.
        sinceCommit += taken;
        if (sinceCommit >= batch && !app.edit.continueFlag) {
            if (endCommandInJournal(app) != 0) break;  // reported; the entries after it wait
            sinceCommit = 0;
        }
    }
    app.edit.continueFlag = false;
    noteWalkStillCurrent(app, overviewKept);
    showPairAgain(app, pagePos);
}

bool onShownPair(const ViewState& view, FilePos mainAdr) {
    return mainAdr >= view.pagePos && mainAdr < view.pagePos + view.pageLength;
}

// Shows the page of `mainAdr` with the cursor at its first byte.
void showPage(AppState& app, FilePos mainAdr) {
    if (storePage(app) != 0 && app.edit.pageRefused) return;
    (void)showWithCursorAt(app, mainAdr);  // a page that cannot be read was reported
    updateScrollBar(app);
    drawPage(app);
}

void perPage(AppState& app, Direction d) {
    JournalRecord r;
    if (d == Direction::Undo) {
        if (!somethingToUndo(app)) return;
        if (readRecordHeader(app.journal, app.journal.header.undo, kRecordLinks, r) != 0) return;
    } else if (!somethingToRedo(app, &r)) {
        return;
    }
    if (!onShownPair(app.view, r.mainAdr)) {
        showPage(app, r.mainAdr);
        return;
    }
    if (undoDeactivated(app)) return;
    if (storePage(app) != 0 && app.edit.pageRefused) return;
    const FilePos pagePos = app.view.pagePos;
    // One whole entry, as Undo and Redo take it.
    const std::uint64_t stepLimit = wholeRecordCount(app.journal.journalEnd) + 2;
    for (std::uint64_t steps = 0; steps < stepLimit; ++steps) {
        const FilePos before = app.journal.header.undo;
        const int failed = d == Direction::Undo ? undoOne(app) : redoOne(app);
        if ((failed != 0 && app.journal.header.undo == before) || !app.edit.continueFlag) break;
        if (d == Direction::Undo ? !somethingToUndo(app) : !somethingToRedo(app)) break;
    }
    app.edit.continueFlag = false;
    showPairAgain(app, pagePos);
}

}  // namespace

void undoLastCommand(AppState& app) { runUndoRedo(app, Direction::Undo, Extent::Last); }
void undoAllCommand(AppState& app) { runUndoRedo(app, Direction::Undo, Extent::All); }
void redoLastCommand(AppState& app) { runUndoRedo(app, Direction::Redo, Extent::Last); }
void redoAllCommand(AppState& app) { runUndoRedo(app, Direction::Redo, Extent::All); }
void undoPerPageCommand(AppState& app) { perPage(app, Direction::Undo); }
void redoPerPageCommand(AppState& app) { perPage(app, Direction::Redo); }

void previousUndoPositionCommand(AppState& app) {
    JournalRecord r;
    if (!somethingToUndo(app)) return;
    if (readRecordHeader(app.journal, app.journal.header.undo, kRecordLinks, r) != 0) return;
    showPage(app, r.mainAdr);
}

void nextUndoPositionCommand(AppState& app) {
    JournalRecord r;
    if (!somethingToRedo(app, &r)) return;
    showPage(app, r.mainAdr);
}

}  // namespace quorby
