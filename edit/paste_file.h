#pragma once
// "Paste File": a whole file's bytes at the cursor; "Append File": a whole
// file's bytes after the end of the Main File, written straight into it.
// The Main File itself may be the file.
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kPasteFileCaption = "Open Paste-File";

// The open-file dialog from settings.lastPasteFile (which takes the chosen
// name), then the file pasted from `start` under the banner `title`.
// Result 1 after Cancel, a file that cannot be read, or a paste that did not
// end.
[[nodiscard]] int pasteFileAt(AppState& app, FilePos start, const char* title);
[[nodiscard]] int pasteFile(AppState& app);    // at the cursor
[[nodiscard]] int appendOtherFile(AppState& app);   // after the last byte, in direct access without undo

void pasteFileCommand(AppState& app);
void appendOtherFileCommand(AppState& app);

}  // namespace quorby
