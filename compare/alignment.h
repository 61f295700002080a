#pragma once
// The two points to be superposed and the keys that move them. The shift
// is always secondPoint - firstPoint: Main File position p lies beside
// position p + shift of the other source.
#include "state/app_state.h"

namespace quorby {

// Ctrl+Alt+Down / Right: the second point 16 / 1 further, only while more
// than 17 / 2 bytes of the other source remain beyond the shift.
void compareStepDown(AppState& app);
void compareStepRight(AppState& app);
// Ctrl+Alt+Up / Left: the first point 16 / 1 further.
void compareStepUp(AppState& app);
void compareStepLeft(AppState& app);

// After the points changed: the shift, the page, the offset display and the
// dialog's fields (when `refreshDialog` and the dialog is open).
void applyPoints(AppState& app, bool refreshDialog = true);

}  // namespace quorby
