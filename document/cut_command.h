#pragma once
// A command cut short by the end of the program (a kill, a crash, a power
// loss) left its pre-images in the Journal File's rollback file: they are
// written back before the Journal File is looked at, so that it and the Main
// File are exactly as the last completed command left them.
#include <string>

#include "platform/file_io.h"
#include "state/app_state.h"

namespace quorby {

// For the Journal File `journalName`, open as `journal`, with the current
// Main File open. 0 when nothing was to be done or everything was put back;
// 1 (reported) when the pre-images cannot be written back: the Journal File
// must not be used then, and the rollback file stays for the next try.
[[nodiscard]] int putBackCutCommand(AppState& app, FileHandle journal, const std::string& journalName);

}  // namespace quorby
