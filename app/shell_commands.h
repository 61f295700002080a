#pragma once
// Commands of the application shell itself: quit, help, info, diagnostics,
// the list of last opened files.
#include "state/app_state.h"

namespace quorby {

void quitCommand(AppState& app);
void helpCommand(AppState& app);
void infoCommand(AppState& app);
void diagnosticCommand(AppState& app);
// Runs the exit sequence once: close the Main File (with its questions),
// write the settings, remove empty journal directories, end the loop.
void exitSequence(AppState& app);

}  // namespace quorby
