#include "state/block_buffer.h"

namespace quorby {

std::uint8_t* blockBuffer() {
    alignas(64) static std::uint8_t buffer[kBlockBufferSize];
    return buffer;
}

}  // namespace quorby
