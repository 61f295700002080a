#pragma once
// The File menu's Journal File commands: open another Journal File, save a
// copy of it under another name, and empty it.
#include "state/app_state.h"

namespace quorby {

// "Open other Journal-File" (also the way to choose one by hand when the
// automatic one cannot be made): the user names a Journal File; a new one is
// created for the Main File, an existing one must belong to it. The Journal
// File in use stays when the choice is cancelled or fails. Result 0 or 1.
[[nodiscard]] int openOtherJournal(AppState& app);

// "Save &Journal-File as": a copy of the Journal File under a chosen name;
// the Journal File in use stays the same. Result 0 when copied.
[[nodiscard]] int saveJournalAs(AppState& app);

// "Delete Journal-File": empties the Journal File after the question and
// shows the Main File's own pages again. The file itself stays.
[[nodiscard]] int emptyJournal(AppState& app);

// Handlers of the command table.
void openOtherJournalCommand(AppState& app);   // kCmdOpenOtherJournal
void saveJournalAsCommand(AppState& app);      // kCmdSaveJournalAs
void deleteJournalCommand(AppState& app);      // kCmdDeleteJournal

}  // namespace quorby
