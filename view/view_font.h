#pragma once
// The view font: its cell size decides the window's size, and the user's
// resizing decides the cell size.
#include "state/app_state.h"

namespace quorby {

// Smallest and largest cell sizes the view accepts, in pixels.
inline constexpr int kMinCellWidth = 7;
inline constexpr int kMinCellHeight = 12;
inline constexpr int kMaxCellWidth = 96;
inline constexpr int kMaxCellHeight = 192;

// Creates the view font for a requested cell size (brought into the limits
// above), takes its real cell size and fits the window to 88 x 34 cells. Returns 1 (old font kept) when the
// platform cannot create it.
[[nodiscard]] int createViewFont(AppState& app, int cellWidth, int cellHeight);
// "Enlarge View" and "Decrease View": one step of a cell size that stays
// close to 16/9 of its width, then the whole view is drawn again.
void enlargeView(AppState& app);
void decreaseView(AppState& app);
// The user asks for a client area of this size: pick the font whose 88 x 34
// cells fill it and size the window exactly to them.
void fitFontToClientSize(AppState& app, int clientWidth, int clientHeight);

}  // namespace quorby
