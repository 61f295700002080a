#pragma once
// The modes that take typed characters while they run (auto scroll, the
// chunk walks of the AVI menu). A typed character is offered to them in the
// order of one table before it becomes a typed byte; a new mode that takes
// keys is one more row.
#include "state/app_state.h"

namespace quorby {

// Offers `character` to the running modes, first row first. True when one
// of them took it (then nothing else happens for it).
bool offerKeyToModes(AppState& app, int character);

}  // namespace quorby
