#include "decoder/decoder_state.h"

namespace quorby::disasm {

std::uint32_t setDecoderMode(std::uint32_t s, DecoderMode mode) {
    s &= ~state::kModeBits;
    switch (mode) {
    case DecoderMode::Real16:
        break;
    case DecoderMode::Protected16:
        s |= state::kProtected;
        break;
    case DecoderMode::Protected32:
        s |= state::kProtected | state::kOperand32 | state::kAddress32;
        break;
    case DecoderMode::Protected64:
        s |= state::kProtected | state::kOperand32 | state::kAddress32 | state::kMode64 |
             state::kAddress64 | state::kRexAllowed;
        break;
    }
    return s;
}

DecoderMode decoderModeOf(std::uint32_t s) {
    if (s & state::kMode64) return DecoderMode::Protected64;
    if (s & state::kOperand32) return DecoderMode::Protected32;
    if (s & state::kProtected) return DecoderMode::Protected16;
    return DecoderMode::Real16;
}

const char* decoderModeTitle(std::uint32_t s) { return decoderModeTitle(decoderModeOf(s)); }

const char* decoderModeTitle(DecoderMode mode) {
    switch (mode) {
    case DecoderMode::Real16:
        return "Mnemonics - Real Mode, 16 Bit  (you may click on addresses):";
    case DecoderMode::Protected16:
        return "Mnemonics - Protected Mode, 16 Bit  (you may click on addresses):";
    case DecoderMode::Protected32:
        return "Mnemonics - Protected Mode, 32 Bit  (you may click on addresses):";
    case DecoderMode::Protected64:
        break;
    }
    return "Mnemonics - Protected Mode, 64 Bit  (you may click on addresses):";
}

namespace {
constexpr std::uint32_t kStoredModeBits = state::kModeBits & 0xFFu;
}  // namespace

DecoderMode storedModeOf(std::uint32_t word) {
    if ((word & state::kProtected) == 0) return DecoderMode::Real16;
    return decoderModeOf(word & kStoredModeBits);
}

std::uint32_t withStoredMode(std::uint32_t word, DecoderMode mode) {
    return (word & ~kStoredModeBits) | setDecoderMode(0, mode);
}

}  // namespace quorby::disasm
