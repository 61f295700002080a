#pragma once
// The Main File as the document: re-opening it with write access, the checks
// before the program writes into it, reading its pages into the view's
// pageBuffer, and the steps of closing it. Opening and closing as commands
// (with their dialogs and questions) are the File menu's (filemenu/).
//
// Every read starts at a multiple of 512 and moves at most 512 bytes per page.
// Failed openings are reported through reportError ("Error writing " with the
// name when write access was refused, else "Error reading ").
#include <cstddef>
#include <cstdint>
#include <string>
#include "state/app_state.h"

namespace quorby {

// ---- write access ---------------------------------------------------------------
// The storing and exchange paths call these in the middle of an operation,
// so they ask their questions themselves.

// Opens the same Main File again with write access (a drive after the
// "Writing directly" warning). Result 0 or 1.
[[nodiscard]] int reopenReadWrite(AppState& app);
// Opens the same Main File again without write access. Result 0 or 1.
[[nodiscard]] int reopenReadOnly(AppState& app);

// Before the program writes into the Main File: the file it opened must
// still be there under its name and no shorter, and another program's
// change since it was read is overwritten only when the user says so.
// Result 0 to go on, 1 (after saying why) when nothing may be written.
[[nodiscard]] int checkMainFileBeforeWriting(AppState& app);

// Makes sure the Main File may be written and is open for writing before an
// operation writes into it: checkMainFileBeforeWriting, then asks "Re-open
// in Read-Write-Mode ?" (message switch "Write Protect") and re-opens. Result
// 0 when writable, 1 when the caller must give up.
[[nodiscard]] int ensureWritable(AppState& app);

// ---- closing --------------------------------------------------------------------
// Closing is three steps; between them the caller asks what the first two
// return: closingQuestion (after storePage), the Journal File's closeJournal
// (journal_lifecycle.h), then releaseMainFile.

// What closing must offer before the Journal File is closed.
enum class ClosingQuestion {
    None,
    // The Journal File holds changes not yet written into the Main File and
    // the exit question "Save File ?" is on: "Write File?" is asked.
    WriteFile,
};
ClosingQuestion closingQuestion(const AppState& app);

// The last step: the Main File's handle closed, the records of the Main File
// and the view reset, the caption record the program's own again. The caller
// shows the result (access cell, caption, menus, the view).
void releaseMainFile(AppState& app);

// ---- page reads -------------------------------------------------------------------
// Sectors that cannot be read are zeros and mark their half in
// unreadableHalf (remembered in main.unreadable, so a repaint does not read
// them again); that is no failure. A file that cannot be read at all is
// reported as "Error reading " + mainName and gives 1. Bytes of pageBuffer
// that were not read are zero. With no Main File open the pair is empty
// (result 1).

// Reads the pair at `pos` (rounded down to a multiple of 512): sets pagePos,
// midPtr, firstPageCount, secondPageCount and pageLength, clears changedBits
// and halfDirty. A short first page ends the pair (midPtr empty, viewOffset 0).
[[nodiscard]] int readPagePair(AppState& app, FilePos pos);
// Re-reads the first half at pagePos.
[[nodiscard]] int readFirstPage(AppState& app);
// Re-reads the second half at pagePos + 512.
[[nodiscard]] int readSecondPage(AppState& app);

}  // namespace quorby
