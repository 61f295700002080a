#pragma once
// The single entry point that moves the view to a page pair. Every caller that
// wants the content at a position goes through it, so that the journal's
// newer page versions can take the place of the Main File's pages here.
#include "app/app_state.h"

namespace quorby {

// Loads the page pair at `pos` (a multiple of 512) into the view's
// pageBuffer. Result 0, or 1 after a reported read failure.
int loadPagePair(AppState& app, FilePos pos);

}  // namespace quorby
