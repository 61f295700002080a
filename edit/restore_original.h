#pragma once
// "Restore Original File": the oldest saved content of every changed page
// half goes back into the Main File.
#include "state/app_state.h"

namespace quorby {

// Under the banner "RESTORE ORIGINAL FILE VERSION": every half in the
// address chain gets its original content in the Main File (the data of its
// oldest exchange in effect) and shows the Main File; each half that changes
// gets an exchange, and together they are one entry that Undo takes back
// (journal/record_states.h, H6). With undoOptions 0 the user is told that
// nothing was kept. Result 1 when nothing could be done or a transfer failed.
[[nodiscard]] int restoreOriginalFile(AppState& app);

}  // namespace quorby
