#pragma once
// The rollback file: how a command that overwrites bytes in place is taken
// back whole when the program dies in the middle of it.
//
// Most commands rewrite bytes that an earlier command committed: record
// links and flags (storing, undo, redo), record data (storing over the newest
// version, exchanges), the journal header, and Main File bytes (writes,
// exchanges, restore). Beside the Journal File lies its rollback file, named
// like it with "-rollback" appended. Before committed bytes are overwritten,
// their earlier content (the pre-image) goes into the rollback file; the end
// of the command (the commit) makes both files durable and then marks the
// rollback file empty. A program that opens a Journal File whose rollback file
// holds entries writes every pre-image back, newest first, so every place
// gets the bytes it had at the last commit, and removes the rollback file.
//
// The rollback file's format is in journal/rollback_log.h; the module is
// made of three parts:
//   journal/rollback_log.h     the log of pre-images, its cycle and its replay
//   journal/unit_cache.h       held in-place writes and the read-ahead of units
//   journal/main_pre_images.h  the Main File's pre-images and length
// and a command drives them only through journal/command_commit.h.
//
// RULES (every writer keeps them)
//   R1. A write below the Journal File's committed length, or into the Main
//       File, reaches its file only after the pre-image of its bytes is in
//       the rollback file (synced first when the journal syncs). Journal
//       writes are held in memory, whole header or record units, until then.
//       A unit's pre-image covers its bytes from the first to the last one
//       the command changed; the unit is written whole, its other bytes as
//       they were. A Main File pre-image may also be records the command
//       appended (a direct paste's exchanges) or rewrote in place (an
//       exchange taken back or brought back, their own pre-images kept)
//       that hold the bytes as whole pages: they are synced before the
//       entry naming them is written, and the opening reads them before it
//       cuts the appended records off or puts the rewritten ones back.
//       Two kinds of Main File bytes need no pre-image: those
//       whose versions go on showing them until the commit (Save File
//       without undo), and those of a paste or fill in direct access without
//       undo, which has nothing to go back to (a crash leaves such a paste
//       part done, each byte old or new, as ESC would). The Main File's
//       length is kept for them all the same: an entry for the Main File
//       tells the opening that the change of its last-write time is the
//       program's own.
//   R2. The rollback file's magic is cleared only after the Journal File and
//       the Main File are synced; clearing it is the commit.
//   R3. Writing the pre-images back gives the files of the last commit; doing
//       it twice does no harm: an entry whose pages come from rewritten
//       records is marked done once they are durable in the Main File,
//       before older entries put those records back. Records appended since
//       are cut off afterwards (journal/journal_recovery.h).
//   R4. Memory stays bounded: held units are written out (after their
//       pre-images) whenever more than kRollbackHeldLimit of them wait; the
//       units kept from reads and writes are bounded by kCleanRuns runs of
//       kCleanRunUnits.
//   R5. A version's Flag may be rewritten without a pre-image when its old
//       and its new state show the same bytes, which the Main File holds
//       durably (journal/written_marks.h): a crash leaves either state.
//   R6. Appended records may wait in memory, one run up to journalEnd
//       (they need no pre-image: R3 cuts them off, so they may go out at
//       any time), only where room for them is set aside on the drive
//       first, so a full drive is still met by the append.
//   R7. A command that only appends records, links them to the last
//       committed record through links of it that were empty, and changes
//       the header, needs no rollback file: its records and that link go out
//       and are synced first, then the header, one sector, commits it. Until
//       then the opening cuts the records off and sets every link of the
//       last committed record that points at or past the committed length
//       back to empty (journal/journal_recovery.h). A link cut short points
//       there as well: its high bytes are still those of the empty link.
#include "journal/main_pre_images.h"
#include "journal/rollback_log.h"
#include "journal/unit_cache.h"
