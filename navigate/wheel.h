#pragma once
// The mouse wheel: steps by file size and modifier keys, and the scrolling.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

// Computes the four steps (plain, Ctrl, Shift, Ctrl+Shift) from the file size:
// below 512 KiB in-page steps of S/1024, S/16384, S/262144; below 64 TiB a
// page step of S/1024 and S/65536, S/4194304 as in-page steps when below 512;
// from 64 TiB on fixed page steps. Ctrl+Shift always moves 16 bytes. An
// in-page step is a multiple of 16 and at least 16, a page step a multiple of
// 512.
void computeWheelSteps(FilePos fileSize, NavigationState& nav);

// The modifier index for Modifier bits (app/keys.h).
int wheelModifierIndex(std::uint32_t modifiers);

// The window procedure's wheel entry: delta in units of 120 per notch,
// positive away from the user (towards the file's begin). Partial notches are
// kept until they add up to a whole one.
void mouseWheel(AppState& app, int delta, std::uint32_t modifiers);

}  // namespace quorby
