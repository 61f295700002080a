#include "disasm/disasm_options.h"

namespace quorby::disasm {

namespace {

// The bits of disassemblerFlags that belong to the window's options.
constexpr std::uint32_t kOptionBits =
    state::kCompleteListing | state::kShowPrefixes | state::kCancelAfterError;
constexpr unsigned kIntervalShift = 16;
constexpr std::uint32_t kIntervalBits = 0xFFFFu << kIntervalShift;

}  // namespace

DecoderMode storedMode(const SettingsRecord& s) { return storedModeOf(s.disassemblerOptions); }

void storeMode(SettingsRecord& s, DecoderMode mode) {
    s.disassemblerOptions = withStoredMode(s.disassemblerOptions, mode);
}

std::uint32_t storedDecoderState(const SettingsRecord& s) {
    return setDecoderMode(s.disassemblerFlags & kOptionBits, storedMode(s));
}

void storeDecoderState(SettingsRecord& s, std::uint32_t st) {
    s.disassemblerFlags = (s.disassemblerFlags & ~kOptionBits) | (st & kOptionBits);
    storeMode(s, decoderModeOf(st));
}

bool isScrollingInterval(std::uint32_t value) {
    return value == 64 || value == 128 || value == 256 || value == 512;
}

std::uint32_t scrollingInterval(const SettingsRecord& s) {
    const std::uint32_t stored = s.disassemblerOptions >> kIntervalShift;
    return isScrollingInterval(stored) ? stored : kDefaultScrollingInterval;
}

void storeScrollingInterval(SettingsRecord& s, std::uint32_t interval) {
    s.disassemblerOptions = (s.disassemblerOptions & ~kIntervalBits) | (interval << kIntervalShift);
}

}  // namespace quorby::disasm
