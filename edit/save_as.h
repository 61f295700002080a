#pragma once
// "Save &Page as", "Save &selected Data as" and "Save File &as": the current
// content, unwritten changes included, into a new file (or an existing one
// that the user agrees to empty).
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kSavePageAsCaption = "Save Page as ...";
inline constexpr const char* kSaveSelectionAsCaption = "Save highlighted Data as ...";
inline constexpr const char* kSaveFileAsCaption = "Save File as ...";

// The 512 shown bytes of the page from viewOffset, or those up to the end of
// the file, as pageBuffer holds them (typed changes included).
[[nodiscard]] int savePageAs(AppState& app);
// The selected bytes, within the file; needs a selection.
[[nodiscard]] int saveSelectionAs(AppState& app);
// The whole file.
[[nodiscard]] int saveFileAs(AppState& app);

void savePageAsCommand(AppState& app);       // kCmdSavePageAs
void saveSelectionAsCommand(AppState& app);  // kCmdSaveSelectionAs
void saveFileAsCommand(AppState& app);       // kCmdSaveFileAs

}  // namespace quorby
