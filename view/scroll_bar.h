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

// Computes the four steps (plain, Ctrl, Shift, Ctrl+Shift) from the file size:
// below 512 KiB in-page steps of S/1024, S/16384, S/262144; below 64 TiB a
// page step of S/1024 and S/65536, S/4194304 as in-page steps when below 512;
// from 64 TiB on fixed page steps. Ctrl+Shift always moves 16 bytes. An
// in-page step is a multiple of 16 and at least 16, a page step a multiple of
// 512.
void computeWheelSteps(FilePos fileSize, NavigationState& nav);

}  // namespace quorby
