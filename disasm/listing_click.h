#pragma once
// A click in the listing: the line under the caret names a position; the view
// goes there, and for an instruction line the instruction's bytes become the
// selection. A branch-target line ("  =>" and a position) only moves the view.
#include <cstddef>
#include <string>

#include "state/app_state.h"

namespace quorby::disasm {

// Characters of a position in the listing: four groups of four digits with
// the three blanks between them.
inline constexpr std::size_t kPositionTextLength = 19;

struct ListingLine {
    bool hasPosition = false;
    bool instruction = false;   // begins with a blank and a digit
    std::size_t digits = 0;     // offset of the position's first digit in the text
    FilePos position = 0;
};

// The line of `text` that holds `caret`: its leading characters that are not
// hexadecimal digits are skipped, then up to 23 characters are read as the
// position's digits (blanks ignored, the first other character ends it).
ListingLine listingLineAt(const std::string& text, std::size_t caret);

// The caret moved in the listing to `caret`. `scrollingInterval` (64 .. 512)
// is what the view's first byte is aligned to.
void clickInListing(AppState& app, std::size_t caret, std::uint32_t scrollingInterval);

}  // namespace quorby::disasm
