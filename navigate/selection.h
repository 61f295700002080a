#pragma once
// The selection [selectionStart, selectionEnd), the remembered selection,
// bookmarks, and the keyboard selection with Shift.
#include "core/command_codes.h"
#include "state/app_state.h"

namespace quorby {

// Menu codes of the Edit items that depend on a selection.
inline constexpr int kSelectionDependentItems[] = {
    kCmdCancelSelection,
    kCmdRememberSelection,
    kCmdCopy,
    kCmdDiscardSelectedChanges,
    kCmdFillSelectionWithValue,
};

// Enables the items and sets bit 4 of selectionActive; grey clears it.
void enableSelectionItems(AppState& app);
void greySelectionItems(AppState& app);
// A selection exists and covers at least one byte (its end lies after its
// start). Operations on the selection must check this, since F9 and F10 can
// leave the end before the start.
bool selectionIsUsable(const AppState& app);

void selectionStartCommand(AppState& app);    // F9
void selectionEndCommand(AppState& app);      // F10
void cancelSelectionCommand(AppState& app);   // F11
void selectAllCommand(AppState& app);         // Ctrl+A, F12
void setBookmarkCommand(AppState& app);       // Ctrl+M
void rememberSelectionCommand(AppState& app);
void restoreSelectionCommand(AppState& app);

// Shift with the arrows, Home and End. The selection has an anchor byte and
// a moving byte (the end's last byte when bit 2 is set, else the start) and
// covers both and everything between; the cursor follows the moving byte.
void shiftRightCommand(AppState& app);
void shiftLeftCommand(AppState& app);
void shiftDownCommand(AppState& app);
void shiftUpCommand(AppState& app);
void shiftEndCommand(AppState& app);
void shiftHomeCommand(AppState& app);

}  // namespace quorby
