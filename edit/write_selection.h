#pragma once
// "Save selected Data" and "Save Page": the changes inside the selection (or
// the shown page) are written into the Main File; changes outside it stay
// in the Journal File.
#include "state/app_state.h"

namespace quorby {

// Writes the changed bytes of the selection into the Main File, page half
// by page half through the changed pages, under the banner "WRITE
// HIGHLIGHTED DATA TO FILE". Asks "Shall the highlighted Changes be written
// into the Main File?" (message switch 12) unless `fromSavePage`. Halves
// without a record or without a changed byte in the selection are skipped.
// Result 1 when nothing could be written (no selection, No, read-only) or
// a write failed; ESC keeps what was written so far.
[[nodiscard]] int writeSelection(AppState& app, bool fromSavePage = false);

// "Save Page": asks "Shall the actual Page be written to File ?" (message
// switch 15; No drops the page's typed changes), re-opens for writing,
// stores the page and writes the 512 shown bytes' changes.
[[nodiscard]] int savePage(AppState& app);

}  // namespace quorby
