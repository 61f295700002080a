#pragma once
// What the chunk walks of the AVI menu find on their way (a broken chunk
// chain, a chunk that runs past the end of its list or of the file, a
// repair made or refused) as report lines with the chunk's position. During
// a check they join its report; otherwise each is written into the log
// "quorby.log" at once and shown in the report window "AVI File Check".
#include <string_view>

#include "state/app_state.h"

namespace quorby {

void recordFinding(AppState& app, FilePos pos, std::string_view label);

}  // namespace quorby
