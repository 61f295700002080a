#pragma once
// Whether two names name one file, whatever their spelling: symlinks, "."
// and "..", hard links.
#include <string>

#include "state/app_state.h"

namespace quorby {

// The same device and inode; when either file does not exist, the same
// canonical path.
bool sameFile(FileIo& files, const std::string& a, const std::string& b);

// True when `name` is the open Main File (or its drive's device) or the
// open Journal File.
bool isOpenMainOrJournal(AppState& app, const std::string& name);

}  // namespace quorby
