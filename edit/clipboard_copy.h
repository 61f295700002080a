#pragma once
// "Copy" (Ctrl+C): the selected bytes of the current content onto the
// clipboard in its three forms (edit/clipboard_formats.h).
#include "state/app_state.h"

namespace quorby {

inline constexpr FilePos kClipboardLimit = 0x4000000;      // larger copies are refused
inline constexpr FilePos kClipboardQuestionSize = 0x1000000;  // larger copies ask first

// Result 1 without a selection, after the refusal or a No, or when a page
// could not be read.
[[nodiscard]] int copySelection(AppState& app);
void copyCommand(AppState& app);

}  // namespace quorby
