#pragma once
// The work buffers of the application state, allocated at their first use.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

// 256 KiB held for the program's whole run. It serves, one at a time, the
// search blocks and the listing text; nothing allocates a block per use.
std::uint8_t* blockBuffer(AppState& app);
// The second 256 KiB block of Find Differences (the block buffer holds the first).
std::uint8_t* compareBlockBuffer(AppState& app);
std::uint8_t* copyBlockBuffer(AppState& app);
WriteChunk& writeChunk(AppState& app);
JournalOverlayWindow& journalOverlayWindow(AppState& app);

}  // namespace quorby
