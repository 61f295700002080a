#pragma once
// Moving the view over the file: the first shown byte is pagePos + viewOffset;
// the view never starts after the start of the last page (lastBytePos rounded
// down to 512). Another page pair is loaded only when the new view leaves
// pageBuffer, always through loadPagePair, so one move costs at most one pair
// (two page reads).
#include <cstdint>
#include "state/app_state.h"
#include "view/shown_range.h"

namespace quorby {


// Puts the first shown byte at `viewPos` (clamped to lastViewStart), loading
// the pair that holds it when pageBuffer does not. The cursor keeps its
// offset, limited to the file's last byte. 0 done, 1 when the page could not
// be loaded (the view then stays where it was).
[[nodiscard]] int showFromPosition(AppState& app, FilePos viewPos);
// Shows `pos` with the cursor on it: when it is among the shown bytes only the
// cursor moves, otherwise the page that holds it is loaded with the view at
// the page's start. Clamped to the file's last byte.
[[nodiscard]] int showWithCursorAt(AppState& app, FilePos pos);

// Moves the view by `distance` bytes (clamped at the file's begin and at
// lastViewStart) and reports the distance really moved in *moved. Returns 1
// when the view could not move at all (the begin or the end is reached).
[[nodiscard]] int scrollViewDown(AppState& app, FilePos distance, FilePos* moved);
[[nodiscard]] int scrollViewUp(AppState& app, FilePos distance, FilePos* moved);

// Keeps the cursor on an existing byte after the view changed.
void limitCursorToFile(AppState& app);

// Commands: Page Down / Page Up (kCmdPageDown / kCmdPageUp), view by one scroll step
// (background-mode arrows, Alt+arrows in cursor mode), File Begin, File End,
// Highlight Start. Each redraws the scroll bar and the view.
[[nodiscard]] int pageDown(AppState& app);   // 1 at the end of the file
[[nodiscard]] int pageUp(AppState& app);     // 1 at the begin of the file
void pageDownCommand(AppState& app);
void pageUpCommand(AppState& app);
void viewUpCommand(AppState& app);
void viewDownCommand(AppState& app);
void viewLeftCommand(AppState& app);    // resolution byte only: one byte
void viewRightCommand(AppState& app);
void fileBeginCommand(AppState& app);
void fileEndCommand(AppState& app);
void highlightStartCommand(AppState& app);

// The scroll resolution (settings value 1, 2, 4 or 8): step, viewOffset
// multiple, header shift, lock cell, scroll bar.
void setScrollResolution(AppState& app, std::uint32_t resolution);

// Redraws after a move: scroll bar and rows.
void redrawView(AppState& app);

}  // namespace quorby
