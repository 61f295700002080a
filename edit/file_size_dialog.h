#pragma once
// The "Change File Size" dialog ("&Enlarge and Decrease"): the amount of
// change and the new size, each in bytes, sectors, KBytes, MBytes and
// GBytes, decimal and hexadecimal. A field changed sets both values and
// rewrites the others; OK changes the size (resizeMainFile).
#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace quorby {

inline constexpr int kSizeDialogOk = 1;
inline constexpr int kSizeDialogCancel = 2;
inline constexpr int kSizeAmountGroup = 1100;      // fields 1101 .. 1110
inline constexpr int kSizeNewGroup = 1200;         // fields 1201 .. 1210
inline constexpr int kSizeHighlight = 1300;        // "Highlight Enlargement"

// The field of `row` (0 bytes .. 4 GBytes) and column (0 decimal, 1 hex).
[[nodiscard]] constexpr int sizeField(int group, int row, int hex) { return group + 1 + row * 2 + hex; }

// A field's text as a count of its unit: decimal fields take their digits
// only, hexadecimal fields their hex digits (a number too big for 64 bits
// stops at the largest). A "-" before the number makes the amount or the new
// size negative; a negative new size is refused with a message on OK.
std::uint64_t sizeFieldNumber(const std::string& text, bool hex);
// A value as a field shows it: value / unit, a minus sign before a negative one.
std::string sizeFieldText(std::int64_t value, int row, bool hex);

void changeFileSizeCommand(AppState& app);

}  // namespace quorby
