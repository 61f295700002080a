#pragma once
// One step of undo or redo along the Journal File's undo order. The commands
// that run them are in edit/undo_commands.h.
#include <cstdint>
#include <vector>

#include "state/app_state.h"

namespace quorby {

// Undoes the record at Undo (journal/record_states.h, H3): a version gives
// its chain place back to its older version, an exchange gives the Main File
// its earlier bytes back. Undo moves to the record's PUndo. Sets
// app.edit.continueFlag to the record's undo group mark. Result 1 when there
// is nothing to undo, or the record or the Main File cannot be read or
// written; an exchange that failed leaves Undo where it was.
// `mainFileChecked`: as for exchangeWithMainFile.
[[nodiscard]] int undoOne(AppState& app, bool mainFileChecked = false);

// Redoes the record after Undo (its NUndo, or FirstUndo when Undo is empty)
// and makes it Undo. Sets app.edit.continueFlag to its redo group mark.
[[nodiscard]] int redoOne(AppState& app, bool mainFileChecked = false);

// The record the next step of Undo (undo) or Redo takes, its 128-byte
// header read into `out`. Result 1 when there is none.
[[nodiscard]] int findStepRecord(AppState& app, bool undo, JournalRecord& out);
// The buffers of the runs of exchanges of one command, kept from run to run.
struct ExchangeRunBuffers {
    std::vector<JournalRecord> records;
    std::vector<std::uint8_t> seen, changed, former, earlier;
};

// From `first` (found by findStepRecord), a run of steps at once where they
// are exchanges that one direct paste or fill appended in a row, else one
// step (undoOne / redoOne). At most `most` steps; *steps tells how many were
// taken. An exchange run that fails is reported and leaves Undo where it was.
// A run keeps the pages' earlier bytes in its own records, not through
// keepPreImagesAhead.
[[nodiscard]] int undoOrRedoRun(AppState& app, bool undo, bool mainFileChecked, std::uint64_t most,
                                JournalRecord& first, ExchangeRunBuffers& buffers, std::uint64_t* steps);
// Whether the last undoOrRedoRun was a run that left the overview strip's
// marks as they were: its exchanges stay in the address chain as their
// pages' only versions, and none of them holds bytes still to be written.
bool runKeptChangeMarks(const ExchangeRunBuffers& buffers);

// The record after Undo, its 128-byte header read into `out`. Result 1 when
// there is none.
[[nodiscard]] int findRedoRecord(AppState& app, JournalRecord& out);

// Before undo (or redo) steps that take one record each: keeps the Main
// File's present bytes of every half that one of the next `count` steps
// exchanges (with `groupOnly`, the steps of the entry group that begins
// here), as the pre-images of those writes (journal/rollback_file.h), so
// that their writes wait for one sync of the rollback file instead of one
// each. The walk ends before a step that begins a run of exchanges (whose
// records keep the pages' bytes themselves); *walked tells how many steps it
// settled. True when one of those steps writes into the Main File.
bool keepPreImagesAhead(AppState& app, bool undo, std::uint64_t count, bool groupOnly, std::uint64_t* walked);

}  // namespace quorby
