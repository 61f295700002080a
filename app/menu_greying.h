#pragma once
// Which menu items the window greys when it starts: the items the menu table
// greys, the AVI menu until an AVI file is recognised, and every item whose
// command the command table does not dispatch to an operation yet. An item
// becomes usable by itself once its command gets a handler.
#include "state/app_state.h"

namespace quorby {

// True when choosing the code runs an operation.
bool commandIsBuilt(int code);
// Greys those items and menus through the platform, so that the window and
// the batch mode's `print menus` agree.
void greyMenusAtStart(AppState& app);

}  // namespace quorby
