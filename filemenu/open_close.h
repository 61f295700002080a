#pragma once
// The File menu's opening and closing of the Main File: the dialogs and the
// questions around the document's steps (document/main_file.h).
//
// Failed openings are reported through reportError ("Error writing " with the
// name when write access was refused, else "Error reading "), so the user
// always learns why nothing opened; the state stays as it was.
#include <string>
#include "state/app_state.h"

namespace quorby {

// "&Open": the open-file dialog "Open File" (filter "all Files" "*.*"), preset
// with the newest last-opened file, read-only box checked unless bit 0 of
// settings.writeAccess is set. Cancel: result 1, nothing changes.
[[nodiscard]] int chooseMainFile(AppState& app);

// Opens `name` as the Main File with the access app.main.openReadOnly asks
// for. When `name` is the current Main File it is re-opened in place: only
// the handle, the access and mainTime change; the view and every position stay.
[[nodiscard]] int openMainFile(AppState& app, const std::string& name);

// The steps after a new Main File became current: the Journal File, the first
// page pair, and the view drawn again.
void finishOpening(AppState& app);

// Closes the Main File and resets the view: the pending changes stored,
// "Write File?" when the document says so, the Journal File closed with its
// question. Result 1 when none was open.
[[nodiscard]] int closeMainFile(AppState& app);
// The newly opened `handle` (of `name`) takes the Main File's place: its size
// is taken first, so that a file or device without one leaves everything as
// it was (reported, the handle closed, result 1); then the current Main File
// is closed and `handle` becomes the Main File's handle.
[[nodiscard]] int takeOverMainHandle(AppState& app, FileHandle handle, const std::string& name, FilePos* size);

}  // namespace quorby
