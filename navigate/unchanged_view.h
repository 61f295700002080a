#pragma once
// F5 held: the Main File's own bytes at the shown pair, without the journal's
// changes and without change marks, for as long as the key is down.
#include "core/command_codes.h"
#include "document/shown_views.h"
#include "state/app_state.h"

namespace quorby {

// Shows the Main File's 1024 bytes at pagePos. Pending edits of the pair are
// stored first, so that ending the view cannot lose them. Nothing happens
// when the view is on already.
void showUnchangedFile(AppState& app);
// Any key released, or "Actual File-Content": the current content again.
void endUnchangedFile(AppState& app);

}  // namespace quorby
