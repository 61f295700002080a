#pragma once
// The undo and redo commands of the Edit menu and their accelerators.
#include "state/app_state.h"

namespace quorby {

void undoLastCommand(AppState& app);      // "&Undo", Ctrl+Z: the newest change or group
void undoAllCommand(AppState& app);       // "Undo &All"
void redoLastCommand(AppState& app);      // "Redo", Ctrl+Y
void redoAllCommand(AppState& app);       // "Re&do All"
// "Undo per Page" (Ctrl+F2) / "&Redo per Page" (Ctrl+F4): when the change
// lies on another page, that page is shown and nothing is undone; on its page
// one stored version is undone (redone).
void undoPerPageCommand(AppState& app);
void redoPerPageCommand(AppState& app);
// Ctrl+Page Up / Ctrl+Page Down: show the page of the change the next undo
// takes back / the next redo brings back.
void previousUndoPositionCommand(AppState& app);
void nextUndoPositionCommand(AppState& app);

}  // namespace quorby
