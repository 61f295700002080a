#pragma once
// Drawing a found match again in the highlight colour.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

inline constexpr Colour kMatchHighlightColour = kSelectionColour;

// Draws the bytes [matchPos, matchPos + length) that the view shows on the
// 512-byte page holding matchPos, in the hexadecimal column (three cells a
// byte, and the gap cell between the 8th and 9th byte when the match runs
// across it) and in the character column, row after row up to the end of
// that page. Bytes beyond the page or beyond the view stay as drawn.
void drawMatchHighlight(AppState& app, FilePos matchPos, std::uint32_t length);

}  // namespace quorby
