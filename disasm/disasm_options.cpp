#include "disasm/disasm_options.h"

#include "decoder/decoder_state.h"

namespace quorby::disasm {

namespace {

// The bits of disassemblerFlags that belong to the window's options.
constexpr std::uint32_t kStoredBits = state::kModeBits | state::kCompleteListing |
                                      state::kShowPrefixes | state::kCancelAfterError;
constexpr std::uint32_t kOptionBits =
    state::kCompleteListing | state::kShowPrefixes | state::kCancelAfterError;

}  // namespace

std::uint32_t storedDecoderState(const SettingsRecord& s) {
    const std::uint32_t flags = s.disassemblerFlags;
    return setDecoderMode(flags & kOptionBits, decoderModeOf(flags));
}

void storeDecoderState(SettingsRecord& s, std::uint32_t st) {
    const std::uint32_t clean = setDecoderMode(st & kOptionBits, decoderModeOf(st));
    s.disassemblerFlags = (s.disassemblerFlags & ~kStoredBits) | clean;
}

bool isScrollingInterval(std::uint32_t value) {
    return value == 64 || value == 128 || value == 256 || value == 512;
}

std::uint32_t scrollingInterval(const SettingsRecord& s) {
    return isScrollingInterval(s.disassemblerOptions) ? s.disassemblerOptions
                                                      : kDefaultScrollingInterval;
}

}  // namespace quorby::disasm
