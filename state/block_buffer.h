#pragma once
// The block buffer: 256 KiB held for the program's whole run. It serves, one
// at a time, the search blocks, the AVI check report and the listing text;
// nothing allocates a block per use.
#include <cstdint>

namespace quorby {

inline constexpr std::uint32_t kBlockBufferSize = 262144;

std::uint8_t* blockBuffer();

}  // namespace quorby
