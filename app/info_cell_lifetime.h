#pragma once
// The header's left cell shows the message of one command ("------- FOUND
// -------", the end of a comparison, the diagnostic of Ctrl+0) or the
// progress of a long one. When a command is over, a text that an earlier
// command wrote, or this command's progress, is cleared; during a
// comparison the cell shows the compare offset again instead.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

// What to remember at the start of a command (the cell's write count).
std::uint32_t infoCellMark(const AppState& app);
void endInfoCellText(AppState& app, std::uint32_t markAtStart);

}  // namespace quorby
