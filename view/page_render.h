#pragma once
// The page view: the header row, the 32 rows of 16 bytes, the cursor cells,
// the info cell, and the hit test that maps a pixel to a byte.
#include "state/app_state.h"
#include "view/grid_layout.h"

namespace quorby {

// Draws the column headers, the 32 rows and the cursor from the ViewState.
void drawPage(AppState& app);
// Draws the cursor's hexadecimal and character cells.
void drawCursor(AppState& app);
// Draws the cursor's byte again in the colours it has without the cursor.
void eraseCursor(AppState& app);
// Draws one byte (index 0 .. 511 from the first shown byte) in the selection colour.
void drawAnchor(AppState& app, int byteIndex);

// The paint handling: the header's left part blank in the address colour,
// the bottom line and the mode cell.
void drawHeaderAndBottomLine(AppState& app);
// Shows up to 21 characters in the header's left cell (padded with blanks).
void setInfoCell(AppState& app, const char* text21, Colour colour);
// After a search or comparison that went past unreadable sectors: their
// count in the info cell ("N unreadable skipped"); nothing when there were none.
void showUnreadableSkipped(AppState& app, int ranges);

// The fixed info cell messages.
inline constexpr const char* kInfoReady = "------- READY -------";
inline constexpr const char* kInfoFound = "------- FOUND -------";
inline constexpr const char* kInfoNotFound = "----- NOT FOUND -----";
// The cursor stands on a byte whose sector could not be read.
inline constexpr const char* kInfoUnreadable = "unreadable";

struct HitResult {
    int index = kHitOutside;
    int rowTop = 0;       // pixel top of the clicked row
    int hexColumnX = 0;   // pixel x of the byte's first digit
    int charColumnX = 0;  // pixel x of the byte's character cell
};

// The byte index 0 .. 511 under the client pixel (x, y), 1280 for a cell of
// the byte area that belongs to no byte, or 1536 for the address column, the
// header row, the bottom line or a position beyond the file's last byte.
// A hit on a byte sets app.view.cursorInChars by the column it lies in.
[[nodiscard]] int hitTest(AppState& app, int x, int y, HitResult* out);

}  // namespace quorby
