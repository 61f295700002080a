#pragma once
// The walk over the page pairs of a highlighted range that hold changes, as
// writing and dropping the highlighted changes do it.
#include <functional>

#include "state/app_state.h"

namespace quorby {

// Loads the pair at `start` (rounded down to its page), then each next pair
// before `end` that holds changes, with the view at the pair's first page,
// and calls `visitShownPair` for each. Progress runs from `start` to `end`.
// The walk ends after the last pair or at ESC (result 0), or when a pair
// cannot be loaded: the load has reported that and the result is 1, so a
// failing pair is never visited twice.
[[nodiscard]] int walkChangedPairs(AppState& app, FilePos start, FilePos end,
                                   const std::function<void()>& visitShownPair);

}  // namespace quorby
