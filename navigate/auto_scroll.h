#pragma once
// Auto Scroll Down and Up (Ctrl+Down, Ctrl+Up), when the option "Allow Auto
// Scrolling (Strg.-Up/Dn)" (scrolling bit 1) is on: the view moves page by
// page until the file's end or begin, a typed blank or ESC. Pending input is
// dispatched between the pages, so the window stays responsive.
#include "state/app_state.h"

namespace quorby {

void autoScrollDownCommand(AppState& app);
void autoScrollUpCommand(AppState& app);

// The typed-character path calls this first: while auto scroll runs, a blank
// or ESC stops it and is consumed (returns true); other characters are not.
bool autoScrollTakesKey(AppState& app, int character);

}  // namespace quorby
