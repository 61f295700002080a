#pragma once
// Sends the failed transfers of a Journal File to the program's error report:
// "Error reading " or "Error writing " followed by the Journal File's name.
#include "journal/journal_file.h"
#include "state/app_state.h"

namespace quorby {

// `app.files` must be the FileIo the Journal File works through, so that the
// report reads the right last error.
void reportJournalFailuresTo(JournalFile& jf, AppState& app);

}  // namespace quorby
