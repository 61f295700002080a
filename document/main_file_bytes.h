#pragma once
// Reading and writing one page half of the Main File for the change
// operations. Positions are multiples of 512 and counts at most 512, so on a
// drive every transfer is a whole-sector transfer.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

// Reads up to `count` bytes at `pos` into `out`; *got receives the bytes
// that arrived (the rest of `out` is zero). A failure is reported as
// "Error reading " + mainName; result 1.
[[nodiscard]] int readMainBytes(AppState& app, FilePos pos, std::uint8_t* out, std::uint32_t count, std::uint32_t* got);

// Writes `count` bytes at `pos`. A failure is reported as "Error writing " +
// mainName; result 1.
[[nodiscard]] int writeMainBytes(AppState& app, FilePos pos, const std::uint8_t* data, std::uint32_t count);

// The number of valid bytes of the page at `pos`: 512, fewer for the last
// page, 0 beyond the end.
std::uint32_t pageCountAt(const AppState& app, FilePos pos);

// Writes bytes [from, to) of a page half (`half` holds the half's 512 bytes,
// `halfPos` its position) into the Main File. On a drive only whole sectors
// are written: when the range does not cover the sector, the sector's
// present content is read and the range copied over it first.
[[nodiscard]] int writeHalfRangeIntoMain(AppState& app, FilePos halfPos, const std::uint8_t* half, std::uint32_t from,
                           std::uint32_t to);

}  // namespace quorby
