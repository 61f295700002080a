#pragma once
// "Paste" (Ctrl+V, Shift+Insert): the clipboard's bytes at the cursor. Data
// copied by Quorby (its raw bytes and count) come first, else plain text up
// to its first zero byte; an empty clipboard does nothing.
#include "state/app_state.h"

namespace quorby {

[[nodiscard]] int pasteClipboard(AppState& app);
void pasteCommand(AppState& app);

}  // namespace quorby
