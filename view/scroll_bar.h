#pragma once
// The vertical scroll bar over the whole 64-bit range of the Main File.
//
// Mapping: L = fileSize - 1; the shift s is the number of significant bits of
// (L rounded down to 1024) / 32768, so that every position shifted right by s
// stays below 32768 (thumb-track positions fit 16 bits on every platform).
// The range is 0 .. (L rounded down to 512) >> s, with its low 10 bits set
// when s is not 0.
#include <cstdint>
#include "state/app_state.h"
#include "app/window_events.h"

namespace quorby {

std::uint32_t scrollShiftFor(FilePos lastBytePos);
std::int32_t scrollMaximumFor(FilePos lastBytePos, std::uint32_t shift);

// After opening a file: the shift, the range and the wheel steps from fileSize.
void prepareScrollMapping(AppState& app);
// Sets the thumb to (pagePos + viewOffset rounded down to 16) >> s.
void updateScrollBar(AppState& app);
// The thumb at another position than the shown one (the place a long
// operation has reached).
void showScrollPosition(AppState& app, FilePos pos);

// The file position a thumb position stands for: p << s, not past the last
// page, rounded down to 16; the range's maximum stands for the last page.
FilePos thumbToPosition(const AppState& app, std::int32_t thumb);

// The window procedure's scroll-bar entry: line and page actions scroll by one
// step or one page, thumb tracking and position go to the thumb, top and
// bottom act as File Begin and File End.
void scrollBarAction(AppState& app, ScrollAction action, std::int32_t thumbPosition);

}  // namespace quorby
