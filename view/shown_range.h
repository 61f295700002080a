#pragma once
// Which bytes of the Main File the view shows.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

bool fileIsOpen(const AppState& app);
FilePos firstShownPos(const AppState& app);
// The furthest position the view may start at: the start of the last page.
FilePos lastViewStart(const AppState& app);
// Bytes shown from viewOffset on: 0 .. 512.
std::uint32_t shownByteCount(const AppState& app);

}  // namespace quorby
