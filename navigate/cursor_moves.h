#pragma once
// The cursor: movement by byte and row, row start and end, Tab, and the
// resolution of the eight arrow keys by the cursor-move mode.
#include "state/app_state.h"

namespace quorby {

// Each returns 0 when the cursor moved and 1 at the file's begin or end (the
// callers, for example the edit path advancing after a typed byte, stop there).
// Every move first ends the keyboard extension of a selection (bits 1 and 2).
[[nodiscard]] int cursorLeft(AppState& app);
[[nodiscard]] int cursorRight(AppState& app);
[[nodiscard]] int cursorUp(AppState& app);
[[nodiscard]] int cursorDown(AppState& app);

void cursorLeftCommand(AppState& app);
void cursorRightCommand(AppState& app);
void cursorUpCommand(AppState& app);
void cursorDownCommand(AppState& app);
void startOfLineCommand(AppState& app);   // Home, "Start of Line"
void endOfLineCommand(AppState& app);     // End, "End of Line"
void tabCommand(AppState& app);           // hex <-> character column

// The arrow accelerators (kCmdArrowUp ...) and Alt+arrows (kCmdAltArrowUp ...):
// by kModeArrowsMoveView the arrows move the view and Alt+arrows the cursor,
// else the other way round.
void arrowUpCommand(AppState& app);
void arrowDownCommand(AppState& app);
void arrowLeftCommand(AppState& app);
void arrowRightCommand(AppState& app);
void altArrowUpCommand(AppState& app);
void altArrowDownCommand(AppState& app);
void altArrowLeftCommand(AppState& app);
void altArrowRightCommand(AppState& app);

}  // namespace quorby
