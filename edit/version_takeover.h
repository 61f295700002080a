#pragma once
// RETURN in a page version review or preview: the shown version becomes the
// page's current content.
#include "state/app_state.h"

namespace quorby {

// The shown bytes are stored as a new change of the page (journal or direct
// access, as any typed change), so that one undo brings the content from
// before the take-over back and the undo order and the version chain stay as
// every other change leaves them. In direct access, where the take-over
// writes the Main File, "Main File is being changed !" is asked (message
// switch 18) and a read-only Main File is offered to be re-opened.
void takeOverReviewedVersion(AppState& app);

}  // namespace quorby
