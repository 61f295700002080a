#pragma once
// Putting a record that is stored again in place at the newest end of the
// undo order.
#include "journal/journal_file.h"

namespace quorby {

// True when `r` (links as stored) is an entry of the live undo order: its
// older neighbour points back at it (or it is FirstUndo) and its newer
// neighbour, if any, points back at it. A record whose redo entries were
// dropped by a later change is not.
bool isLinkedUndoEntry(JournalFile& jf, const JournalRecord& r);

// Makes `r` the newest entry (Undo): moved there when it is linked, appended
// afresh when it is not, nothing when it is Undo already. Writes the links
// of every record it changes (64 bytes each).
int makeNewestUndoEntry(JournalFile& jf, JournalRecord& r);

}  // namespace quorby
