#pragma once
// Steps shared by the openings of files and drives and by the re-opening for
// write access.
#include <string>
#include "state/app_state.h"

namespace quorby {

// Sets accessFlags bit 3 and the protection cell to the access of the handle.
void showMainFileAccess(AppState& app, bool writable);

// Reports a failed opening: "Error writing " when write access was asked
// for and refused, else "Error reading ", followed by `name`. Returns 1.
[[nodiscard]] int reportOpenFailure(AppState& app, const std::string& name, bool writing);

// Makes `name` the Main File's name: mainName, the caption and the name used
// in error messages.
void setMainName(AppState& app, const std::string& name);

// The current file again with the access app.main.openReadOnly asks for: the
// new handle replaces the old one only once it is open, so a refusal leaves
// the file as it was. Only the handle, the access and mainTime change.
[[nodiscard]] int reopenInPlace(AppState& app, const std::string& name);

// Opens the device of a drive, after the "Writing directly" warning when
// write access is asked for. `name` is the drive text used in reports.
[[nodiscard]] int openDeviceHandle(AppState& app, const std::string& name, const std::string& devicePath, bool writable,
                     FileHandle* handle);

// The drive that is open already, with other access: only the handle
// changes (after the "Writing directly" warning when write access is asked for).
[[nodiscard]] int changeDriveAccess(AppState& app, bool writable);

}  // namespace quorby
