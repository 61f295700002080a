#pragma once
// "Discard selected Changes" and "Discard Changes in Page": the changed
// bytes inside the selection (or the shown page) get the Main File's content
// again. The result is stored like typing, so one undo brings the changes
// back.
#include "state/app_state.h"

namespace quorby {

// Under the banner "DROP HIGHLIGHTED CHANGES", through the changed pages of
// the selection. Result 1 without a selection or after a failure.
[[nodiscard]] int dropSelection(AppState& app);

// The same for the 512 shown bytes (cut at the end of the file).
[[nodiscard]] int dropPage(AppState& app);

}  // namespace quorby
