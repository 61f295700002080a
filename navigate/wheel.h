#pragma once
// The mouse wheel: steps by file size and modifier keys, and the scrolling.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

// The modifier index for Modifier bits (core/keys.h).
[[nodiscard]] int wheelModifierIndex(std::uint32_t modifiers);

// The window procedure's wheel entry: delta in units of 120 per notch,
// positive away from the user (towards the file's begin). Partial notches are
// kept until they add up to a whole one.
void mouseWheel(AppState& app, int delta, std::uint32_t modifiers);

}  // namespace quorby
