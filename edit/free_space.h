#pragma once
// The free space a command needs before it writes a file of its own (save
// as, copy to a file, a larger file size).
#include <string>
#include "state/app_state.h"

namespace quorby {

// True when the space free for the user on the filesystem holding `path` is
// larger than `bytes` (exactly as many free bytes is not enough).
bool hasFreeSpace(AppState& app, const std::string& path, FilePos bytes);
// As hasFreeSpace; when there is not enough, says so in a message box and
// returns 1 (the caller cancels). A failed query is reported and gives 1.
[[nodiscard]] int requireFreeSpace(AppState& app, const std::string& path, FilePos bytes);

}  // namespace quorby
