#pragma once
#include "state/app_state.h"

namespace quorby {

// After a Main File was opened or closed: the scroll-bar mapping for the new
// size, the scroll bar, the header, the bottom line and the rows.
void refreshView(AppState& app);

}  // namespace quorby
