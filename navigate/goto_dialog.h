#pragma once
// The "Goto" dialog (Ctrl+G, "&Address"). The platform runs dialogs modally
// and returns the button pressed, so the dialog runs as a loop: every button
// returns here, the values are taken from the field that was edited, the view
// moves, and the dialog is shown again with all four fields in display form
// until Cancel.
//
// Controls (the batch mode fills them by number or by label):
//   1060 edit  "Address hex:"   the target position in hexadecimal
//   1061 edit  "Address dec:"   the target in decimal
//   1062 edit  "Distance hex:"  the distance from the cursor in hexadecimal
//   1063 edit  "Distance dec:"  the distance in decimal
//   1    button "OK"            go to the target; from a distance field, every
//                               further OK in a row steps by the distance
//   2    button "Cancel"        close
//   1064 button "<< prev."      back to the position before the last OK
//   1065 button "next  >>"      forward again
// When several fields were edited, the first of 1060 .. 1063 counts. A field
// that holds something other than digits, blanks and a minus sign is refused
// with a message and nothing moves.
#include <cstdint>
#include <string>
#include "state/app_state.h"

namespace quorby {

inline constexpr int kGotoHexTarget = 1060;
inline constexpr int kGotoDecTarget = 1061;
inline constexpr int kGotoHexDistance = 1062;
inline constexpr int kGotoDecDistance = 1063;
inline constexpr int kGotoOk = 1;
inline constexpr int kGotoCancel = 2;
inline constexpr int kGotoPrevious = 1064;
inline constexpr int kGotoNext = 1065;

// Parses a field: hexadecimal or decimal digits, blanks ignored, a minus sign
// makes the value negative; an empty field is 0. Values beyond the signed
// 64-bit range saturate. Returns 1 for any other character.
[[nodiscard]] int parseGotoNumber(const std::string& text, bool hex, std::int64_t* out);
// The display form: no leading zeros ("0" for zero), digits grouped from the
// right by four (hex) or three (decimal) with one blank between groups, a
// negative value preceded by "- ".
std::string formatGotoNumber(std::int64_t value, bool hex);

void gotoCommand(AppState& app);

}  // namespace quorby
