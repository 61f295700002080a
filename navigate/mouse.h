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
// Does what the double-click action does here and returns the command the
// caller runs next: kCmdShowValues, kCmdDisassemble (the cursor is on the
// byte clicked already) or kCmdNone.
Command mouseDoubleClick(AppState& app, int x, int y);

}  // namespace quorby
