#pragma once
// The views of the shown pair other than its current content: the version
// review (F2/F4, navigate/version_review.h) and the Main File's own bytes
// (F5, navigate/unchanged_view.h). Loading a pair ends them; these are the
// endings that load nothing.
#include "state/app_state.h"

namespace quorby {

// Ends an active version review without loading a page: caption, colours,
// the record copy's JAdr and JReadFlag as before the review. For callers that
// load or take over the shown version themselves.
void leaveVersionReview(AppState& app);

// Ends the F5 view without loading the pair again (the caller loads one).
void leaveUnchangedFile(AppState& app);

}  // namespace quorby
