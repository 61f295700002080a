#pragma once
// The "Choose Char" dialog: one byte in three linked fields, decimal,
// hexadecimal and character. A change in one field sets the byte and
// rewrites the other two.
#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace quorby {

inline constexpr int kChooseCharOk = 1;
inline constexpr int kChooseCharCancel = 2;
inline constexpr int kChooseCharDecimal = 1000;
inline constexpr int kChooseCharHex = 1001;
inline constexpr int kChooseCharChar = 1002;

// The byte a field's text stands for: decimal 1 to 3 digits (above 255
// gives 255), hexadecimal 1 or 2 digits, character: the first one's code.
// Any other text gives 0.
std::uint8_t chooseCharValue(int field, const std::string& text);

// Runs the dialog from app.edit.fillValue. Result 0 after OK with the chosen
// byte in app.edit.fillValue, 1 after Cancel.
[[nodiscard]] int chooseChar(AppState& app);

}  // namespace quorby
