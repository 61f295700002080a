#pragma once
// The disassembly options as the settings record keeps them:
// - disassemblerOptions (offset 100): the mode, with the decoder's mode bits
//   (bit 0 Protected Mode, bit 1 32 bit, bit 4 64 bit); bit 0 clear is Real
//   Mode whatever the other bits say. The high half holds the scrolling
//   interval in bytes (64, 128, 256 or 512; any other value counts as 256,
//   so a record without it, such as the default 2, gives 256);
// - disassemblerFlags (offset 124): completeListing (bit 3), showPrefixes
//   (bit 24) and cancelAfterError (bit 30); other bits are left as they are;
// - doubleClickAction (offset 96): 2 when a double click disassembles.
#include <cstdint>

#include "core/settings_record.h"
#include "decoder/decoder_state.h"

namespace quorby::disasm {

inline constexpr std::uint32_t kDoubleClickDisassembles = 2;
inline constexpr std::uint32_t kDefaultScrollingInterval = 256;

// The stored mode, read from disassemblerOptions.
DecoderMode storedMode(const SettingsRecord& s);
// Keeps `mode` in disassemblerOptions; the interval and other bits stay.
void storeMode(SettingsRecord& s, DecoderMode mode);

// The decoder state to start from: the stored mode and the three options.
std::uint32_t storedDecoderState(const SettingsRecord& s);
// Keeps the mode and the three options of `state` in the record.
void storeDecoderState(SettingsRecord& s, std::uint32_t state);

bool isScrollingInterval(std::uint32_t value);
// The stored interval, 256 for a value that is not one of the four.
std::uint32_t scrollingInterval(const SettingsRecord& s);
void storeScrollingInterval(SettingsRecord& s, std::uint32_t interval);

}  // namespace quorby::disasm
