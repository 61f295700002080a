#pragma once
// "&Next Change" (Ctrl+N) and "&Previous Change" (Ctrl+P): to the next or
// previous changed page, found from the cursor records without reading the
// Journal File.
#include "state/app_state.h"

namespace quorby {

// With the first page shown and a changed second page: one page forward.
// Otherwise to the record at JNextPtr, shown from its first row; nothing
// when there is none (the last changed page is shown).
void nextChange(AppState& app);
// The mirror image: with the second page shown and a changed first page one
// page back, otherwise to the record at JPrevPtr.
void previousChange(AppState& app);

}  // namespace quorby
