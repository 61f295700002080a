#pragma once
// One step of undo or redo along the Journal File's undo order. The commands
// that run them are in edit/undo_commands.h.
#include "state/app_state.h"

namespace quorby {

// Undoes the record at Undo: the previous version of its page half becomes
// current again (written back into the Main File where the undone version
// had reached it) and Undo moves to the record's PUndo, except inside a
// group whose write is taken back first. Sets app.edit.continueFlag to the
// record's undo group mark. Result 1 when there is nothing to undo or the
// record cannot be read.
int undoOne(AppState& app);

// Redoes the record after Undo (its NUndo, or FirstUndo when Undo is empty)
// and makes it Undo. Sets app.edit.continueFlag to its redo group mark.
int redoOne(AppState& app);

// The record after Undo, its 128-byte header read into `out`. Result 1 when
// there is none.
int findRedoRecord(AppState& app, JournalRecord& out);

}  // namespace quorby
