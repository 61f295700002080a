#pragma once
// The disassembly options as the settings record keeps them:
// - disassemblerFlags (offset 124): the decoder's state word with the mode
//   bits, completeListing (bit 3), showPrefixes (bit 24) and cancelAfterError
//   (bit 30); other bits are left as they are;
// - disassemblerOptions (offset 100): the scrolling interval in bytes (64,
//   128, 256 or 512; any other value counts as 256);
// - doubleClickAction (offset 96): 2 when a double click disassembles.
#include <cstdint>

#include "core/settings_record.h"

namespace quorby::disasm {

inline constexpr std::uint32_t kDoubleClickDisassembles = 2;
inline constexpr std::uint32_t kDefaultScrollingInterval = 256;

// The decoder state to start from: the stored mode (REX bits and the error
// bit cleared) and the three options.
std::uint32_t storedDecoderState(const SettingsRecord& s);
// Keeps the mode and the three options of `state` in the record.
void storeDecoderState(SettingsRecord& s, std::uint32_t state);

bool isScrollingInterval(std::uint32_t value);
// The stored interval, 256 for a value that is not one of the four.
std::uint32_t scrollingInterval(const SettingsRecord& s);

}  // namespace quorby::disasm
