#pragma once
// Helpers shared by the decoder tests.
#include <cstdint>
#include <string>
#include <vector>

#include "decoder/decoder.h"

namespace quorby::disasm::testing {

struct Decoded {
    std::uint32_t length = 0;
    std::string text;
    std::uint32_t state = 0;
};

inline std::uint32_t modeState(DecoderMode mode, bool showPrefixes = true) {
    return setDecoderMode(showPrefixes ? state::kShowPrefixes : 0, mode);
}

// Decodes exactly the given bytes (no slack after them) at file position `pos`.
inline Decoded decodeBytes(const std::vector<std::uint8_t>& bytes, std::uint32_t st,
                           FilePos pos = 0) {
    Decoded d;
    char text[kMaxInstructionText];
    std::size_t textLength = 0;
    d.state = st;
    (void)decodeInstruction(bytes.data(), bytes.size(), pos, d.state, text, sizeof text, d.length,
                      textLength);
    d.text.assign(text, textLength);
    return d;
}

}  // namespace quorby::disasm::testing
