#pragma once
// The mouse over the grid: click, drag, right click and double click. Pixel
// positions are client pixels; hitTest maps them to byte indexes.
#include "state/app_state.h"

namespace quorby {

// Menu codes the double-click actions run.
inline constexpr int kShowValuesCode = 32958;   // "Show &Values"
inline constexpr int kDisassembleCode = 32957;  // "&Disassemble"

void mouseLeftDown(AppState& app, int x, int y);
// Called for a move with the left button or Shift held (the window procedure
// ignores moves while the double-click flag is set).
void mouseDrag(AppState& app, int x, int y);
void mouseLeftUp(AppState& app, int x, int y);
void mouseRightDown(AppState& app, int x, int y);
void mouseDoubleClick(AppState& app, int x, int y);

}  // namespace quorby
