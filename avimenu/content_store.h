#pragma once
// A repair of the AVI tools as an ordinary change of the current content:
// the bytes are typed into the page pair that holds them and the pair is
// stored through the edit path, as the value inspector stores a value, so
// the Journal File keeps it and undo takes it back.
#include "state/app_state.h"
#include "state/avi_content.h"

namespace quorby {

// `n` bytes (at most 512) at `pos`, inside the file. The pair is loaded
// again afterwards and `content` forgets what it had read. Result 0
// when stored.
[[nodiscard]] int storeContentBytes(AppState& app, MainFileContent& content, FilePos pos, const std::uint8_t* bytes,
                      std::uint32_t n);

}  // namespace quorby
