#pragma once
// Typed characters on the page: hex digits in the hexadecimal column, any
// byte in the character column, and the keys ESC, Backspace and Enter.
#include <cstdint>
#include "state/app_state.h"

namespace quorby {

inline constexpr int kCharEscape = 27;
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharEnter = 13;

// The colour of a first hex digit that waits for its second (0xBBGGRR).
inline constexpr Colour kPendingDigitColour = 0x8888FF;

// Called for every typed character (and by the Space accelerator with a blank).
void enterChar(AppState& app, int character, int scanCode = 0);

// Backspace: the byte under the cursor gets back its stored content (from the
// half's journal record, else from the Main File), then the cursor moves left.
void restoreByte(AppState& app);

// ESC: drops a pending first digit; asks "Discard actual Changes ?" (message
// switch 16) when a half is dirty; No stores the page instead. Then the page
// is loaded again.
void discardPageChanges(AppState& app);

// Enter: stores each dirty half that has changed bytes, then loads the page again.
void storeWithEnter(AppState& app);

}  // namespace quorby
