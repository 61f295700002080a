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
// must not be used then, and the rollback file stays for the next try. A
// shortening that got as far as cutting the Main File is not taken back (its
// bytes are gone): *shortenedTo gets the file's length, at which the opening
// finishes it (finishCutShortening), else RollbackState::kNoShortening.
[[nodiscard]] int putBackCutCommand(AppState& app, FileHandle journal, const std::string& journalName,
                                    FilePos* shortenedTo = nullptr);

// Finishes the shortening putBackCutCommand found with the adopted journal:
// the journal forgets the pages beyond the Main File's end and commits, so
// the resize is whole. Reported on failure.
[[nodiscard]] int finishCutShortening(AppState& app);

}  // namespace quorby
