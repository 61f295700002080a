#pragma once
// "Show &Pointers and Flags": the positions, cursor records and record copies
// of the shown page pair, for inspecting a Journal File's links.
#include <cstdint>
#include <string>

#include "core/command_codes.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kPointersDialogTitle = "Pointers and Flags";
inline constexpr int kPointersClose = 2;  // the "Close" button

// A 64-bit value as "0000 0000  0000 0000": the high half before the low half.
std::string pointerText(std::uint64_t value);
// A 32-bit word as eight hexadecimal digits.
std::string wordText(std::uint32_t value);

// The dialog's fields as they stand now. Each value is a label whose id is
// its name label's id + 1.
DialogDescription buildPointersDialog(const AppState& app);
// Shows the dialog until "Close"; bit 30 of modeFlags is set meanwhile.
void showPointersAndFlags(AppState& app);

}  // namespace quorby
