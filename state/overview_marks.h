#pragma once
// The search matches and compare differences found so far, marked in the
// bins of the overview strip as the commands find them.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

// Marks the bin of `pos` with kOverviewMatch or kOverviewDifference. Marks
// made for another file size are dropped first.
void markFound(AppState& app, FilePos pos, std::uint8_t mark);
// Drops every mark of that kind (a new search, a new comparison, another file).
void clearFound(AppState& app, std::uint8_t mark);

}  // namespace quorby
