#pragma once
// "Save &File": every change of the Journal File that is not yet in the
// Main File is written into it, page half by page half in address order.
#include <string>

#include "state/app_state.h"

namespace quorby {

// The text of the "Write File?" question in journal access: the Main File's
// name in a field of 50 characters (its last 50 when longer, blank-padded),
// then "\n          Changes have been made!\n...".
std::string writeFileQuestion(const AppState& app);

// "Save &File" (also from Quit and Close, which asked already: `asked`).
// Nothing to do when JnlFlags bit 0 says every change is written. Asks
// "Write File?" (message switch 12), re-opens the Main File for writing and
// runs writeAll. Result 0 when everything was written, 1 when the command
// ended before (nothing unwritten, No, read-only, ESC, a failure).
[[nodiscard]] int saveFile(AppState& app, bool asked = false);

// The record walk behind saveFile, under the "Please wait ..." window.
// Clears JnlFlags bits 0 and 4 only when every record was written.
[[nodiscard]] int writeAll(AppState& app);

// After a command changed the records of the shown pair: their copies are
// read again and the pair is assembled and drawn.
void showPairAfterWriting(AppState& app);

// Closing the Main File (also at exit): when the Journal File holds changes
// not yet written and the message switch "Save File ?" of the exit
// questions is on, asks "Write File?" and writes them on Yes.
void offerWriteOnClose(AppState& app);

}  // namespace quorby
