#pragma once
// Steps shared by the opening of files and of drives (store/ only).
#include <string>
#include "state/app_state.h"

namespace quorby {

// Sets accessFlags bit 3 and the protection cell to the access of the handle.
void showMainFileAccess(AppState& app, bool writable);

// Reports a failed opening: "Error writing " when write access was asked
// for and refused, else "Error reading ", followed by `name`. Returns 1.
int reportOpenFailure(AppState& app, const std::string& name, bool writing);

// Makes `name` the Main File's name: mainName, the caption and the name used
// in error messages.
void setMainName(AppState& app, const std::string& name);

// The drive that is open already, with other access: only the handle
// changes (after the "Writing directly" warning when write access is asked for).
int changeDriveAccess(AppState& app, bool writable);

// The steps after a new Main File became current: the Journal File, the first
// page pair, and the view drawn again.
void finishOpening(AppState& app);

}  // namespace quorby
