#pragma once
// "Append Page to other File", "Append selected Data to other File" and
// "Append File to other File": the current content, unwritten changes
// included, added at the end of another file.
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kAppendPageCaption = "Append Page to ...";
inline constexpr const char* kAppendSelectionCaption = "Append highlighted Data to ...";
inline constexpr const char* kAppendFileCaption = "Append File to ...";

// The shown bytes of pageBuffer from viewOffset: 512, or those up to the end
// of the file. A ticked read-only box opens the target read-only, so the
// write fails and is reported.
[[nodiscard]] int appendPage(AppState& app);
// The selected bytes, within the file; needs a selection.
[[nodiscard]] int appendSelection(AppState& app);
// The whole file.
[[nodiscard]] int appendFile(AppState& app);

void appendPageCommand(AppState& app);       // kCmdAppendPageToFile
void appendSelectionCommand(AppState& app);  // kCmdAppendSelectionToFile
void appendFileCommand(AppState& app);       // kCmdAppendFileToFile

}  // namespace quorby
