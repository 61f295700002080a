#pragma once
// The mouse over the grid: click, drag, right click and double click. Pixel
// positions are client pixels; hitTest maps them to byte indexes.
#include "core/command_codes.h"
#include "state/app_state.h"

namespace quorby {

void mouseLeftDown(AppState& app, int x, int y);
// Called for a move with the left button or Shift held (the window procedure
// ignores moves while the double-click flag is set).
void mouseDrag(AppState& app, int x, int y);
void mouseLeftUp(AppState& app, int x, int y);
void mouseRightDown(AppState& app, int x, int y);
// What the caller does after a double click.
struct DoubleClickResult {
    // The command to run next: kCmdShowValues, kCmdDisassemble (the cursor is
    // on the byte clicked already) or kCmdNone.
    Command command = kCmdNone;
    // The double click picks a point to be superposed (bit 16 of the action,
    // which the open Offset-Adjustment dialog adds): `position` is the Main
    // File position of the byte clicked.
    bool pointPicked = false;
    FilePos position = 0;
};

// Does what the double-click action does here and says what the caller does next.
DoubleClickResult mouseDoubleClick(AppState& app, int x, int y);

}  // namespace quorby
