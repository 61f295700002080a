#pragma once
// "Restore Original File": the oldest saved content of every changed page
// half goes back into the Main File.
#include "state/app_state.h"

namespace quorby {

// Under the banner "RESTORE ORIGINAL FILE VERSION": for every changed page,
// its older versions from the newest to the oldest are marked visited
// (kFlagRestoreVisited) and, unless they were visited before or are typed
// versions (skippedByRestore), written into the Main File, so the oldest one, the
// Main File's content from before the first write, is written last. The
// page's record then shows the Main File. A second run writes nothing.
// With "Undo for all Changes" each write is recorded as a copy of the
// version in the undo order. Result 1 when nothing could be done or a
// transfer failed.
int restoreOriginalFile(AppState& app);

}  // namespace quorby
