#pragma once
// The modeless "Offset-Adjustment" dialog: the two points as hexadecimal
// fields, ">>" and "<<" that move the zero from one point to the other,
// a "RESET" beside each field, OK and Cancel. While it is open a double
// click in the view picks a point (pickPoint in compare/alignment.h).
#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kOffsetDialogTitle = "Offset-Adjustment";
inline constexpr int kOffsetOk = 1;
inline constexpr int kOffsetCancel = 2;
inline constexpr int kOffsetFirstEdit = 1001;
inline constexpr int kOffsetSecondEdit = 1002;
inline constexpr int kOffsetZeroToFirst = 1003;   // ">>"
inline constexpr int kOffsetZeroToSecond = 1004;  // "<<"
inline constexpr int kOffsetResetFirst = 1005;
inline constexpr int kOffsetResetSecond = 1006;

// "Set &Offset": opens the dialog (or shows it again) with the present points.
void openOffsetDialog(AppState& app);
// The fields show the points again (after a key or a button moved them).
void refreshOffsetFields(AppState& app);
void onOffsetDialogEvent(AppState& app, const ModelessEvent& event);

// A field's text: sixteen hexadecimal digits in groups of four.
std::string formatPointText(FilePos point);
// The value of a field's text: hexadecimal digits, blanks ignored; false for
// any other character or a value beyond 64 bits (leading zeros do not
// count). An empty field is 0.
bool parsePointText(const std::string& text, FilePos* point);

}  // namespace quorby
