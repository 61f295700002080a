#pragma once
// The menu commands of writing, dropping and restoring, as the command
// table calls them.
#include "state/app_state.h"

namespace quorby {

void savePageCommand(AppState& app);            // "Save Page"
void saveSelectedDataCommand(AppState& app);    // "Save selected Data"
void saveFileCommand(AppState& app);            // "Save &File"
void discardSelectedCommand(AppState& app);     // "Discard selected Changes"
void discardPageCommand(AppState& app);         // "Discard Changes in Page"
void restoreOriginalCommand(AppState& app);     // "Restore Original File"

}  // namespace quorby
