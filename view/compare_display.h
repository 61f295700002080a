#pragma once
// What the view shows of a comparison: the bytes of the shown pair or, while
// F6 is held, the compare bytes beside them; the difference marks in place
// of the change marks; and the offset between the two in the info cell.
//
// The difference marks are kept apart from changedBits, which go into the
// Journal File with every stored page: showing differences never changes
// what is stored.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

// The bytes, marks and valid length drawPage shows for the pair.
struct ShownContent {
    const std::uint8_t* bytes;
    const std::uint8_t* marks;  // one bit per byte, as changedBits
    std::uint32_t length;
    // Per page half: bytes not typed over show as unreadable (nullptr: none does).
    const bool* unreadableHalf = nullptr;
};

// For drawing: the compare bytes are read again when the pair, the shift
// or the Journal File changed since they were read (a failed read is
// reported once and shows no compare data).
ShownContent shownContent(AppState& app);

// Whether the view marks differences instead of changes: while they are
// shown permanently, while F6 is held, and once after a compare command for
// the pair it showed.
bool differencesShown(const AppState& app);

// The column headers' shift: while F6 shows the compare data they name the
// columns of the compare positions, which lie `shift` bytes from the Main
// File's (a negative shift counts back from 16); otherwise headerShift.
std::uint32_t shownHeaderShift(const AppState& app);

// The compare bytes beside the pair are read again at the next drawing.
void forgetComparePair(AppState& app);

// The info cell's offset display: "Offs", a minus sign or a blank, and
// the offset's 16 hexadecimal digits; negative in the negative offset colour.
void drawCompareOffset(AppState& app);
void formatCompareOffset(std::int64_t shift, char out[21]);

}  // namespace quorby
