#pragma once
// The scroll bar's actions: lines, pages, the thumb, top and bottom.
#include <cstdint>
#include "core/keys.h"
#include "state/app_state.h"

namespace quorby {

// The file position a thumb position stands for: p << s, not past the last
// page, rounded down to 16; the range's maximum stands for the last page.
FilePos thumbToPosition(const AppState& app, std::int32_t thumb);

// The window procedure's scroll-bar entry: line and page actions scroll by one
// step or one page, thumb tracking and position go to the thumb, top and
// bottom act as File Begin and File End.
void scrollBarAction(AppState& app, ScrollAction action, std::int32_t thumbPosition);

}  // namespace quorby
