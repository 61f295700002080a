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

// A double click picked the byte shown for Main File position `mainPos` as
// a point: while F6 shows the compare data it is the other source's byte
// there (position mainPos + shift) and becomes the second point, otherwise
// the Main File's byte becomes the first. The shift, the page, the offset in
// the info cell and the dialog's fields follow. Nothing happens without a
// comparison or on a compare position before the other source's start.
void pickPoint(AppState& app, FilePos mainPos);

// After the points changed: the shift, the page, the offset display and the
// dialog's fields (when `refreshDialog` and the dialog is open).
void applyPoints(AppState& app, bool refreshDialog = true);

}  // namespace quorby
