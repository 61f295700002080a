#pragma once
// The window procedure: what the platforms call when the user acts. Every
// platform turns its input into these calls, so the window and the batch mode
// run the same logic. Pixel coordinates are client-area pixels; the logic
// converts them with the view's cell size.
#include <cstdint>
#include "core/keys.h"
#include "state/app_state.h"

namespace quorby {

// A menu command (menu item code).
void onCommand(AppState& app, int code);
// A key went down. Looks the key up in the accelerator table and dispatches
// its code; returns true when the key was an accelerator (then no typed
// character follows for it).
bool onKeyDown(AppState& app, Key key, std::uint32_t modifiers);
void onKeyUp(AppState& app, Key key);
// A typed character (8-bit code; 27 is ESC, 13 Enter, 8 Backspace).
void onChar(AppState& app, int character);

void onMouseMove(AppState& app, int x, int y, bool leftDown, bool shiftDown);
void onLeftButtonDown(AppState& app, int x, int y, std::uint32_t modifiers);
void onLeftButtonUp(AppState& app, int x, int y);
void onLeftDoubleClick(AppState& app, int x, int y);
void onRightButtonDown(AppState& app, int x, int y);
// Wheel: delta in units of 120 per notch (positive away from the user).
void onMouseWheel(AppState& app, int delta, std::uint32_t modifiers);

void onScroll(AppState& app, ScrollAction action, std::int32_t thumbPosition);

// The whole grid must be drawn again (window exposed, platform start).
void onPaint(AppState& app);

// The user asks for a new window size (client area in pixels, without the
// frame). The logic picks a font whose 88 x 34 cells fit and sizes the window
// to it through the platform.
void onResizeRequest(AppState& app, int clientWidth, int clientHeight);

// The user acted in a modeless window (find dialog, disassembly window).
void onModelessEvent(AppState& app, const ModelessEvent& event);

// A click on the overview strip beside the scroll bar, in bin `bin` of
// kOverviewBins: the view jumps to that part of the file.
void onOverviewClick(AppState& app, int bin);

// The window is closed by its frame (or Quit): the exit sequence. Returns the
// exit code; the platform ends its loop afterwards.
void onDestroy(AppState& app);

}  // namespace quorby
