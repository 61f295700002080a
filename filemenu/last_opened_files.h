#pragma once
// The list of last opened files (settings.lastOpenedFiles) and its entries in
// the File menu. Each entry is "   &N. " followed by the path (the path starts
// at the eighth character), newest first, N renumbered to the entry's place.
#include <string>
#include "state/app_state.h"

namespace quorby {

inline constexpr int kLastOpenedPathOffset = 7;
inline constexpr int kLastOpenedMaxPath = 260 - kLastOpenedPathOffset - 1;  // 252

// Menu codes 2..11 give index 0..9; an empty entry does nothing.
void openLastOpenedFile(AppState& app, int index);
// Puts `name` at the top (moving it there when it is listed already). A path
// longer than kLastOpenedMaxPath is not listed; a message box says so.
void addToLastOpenedFiles(AppState& app, const std::string& name);
// Hands the list to the File menu (start-up and after every change).
void buildLastFilesMenu(AppState& app);
// The path of entry `index`, or "" when the entry is empty or malformed.
std::string lastOpenedPath(const AppState& app, int index);

}  // namespace quorby
