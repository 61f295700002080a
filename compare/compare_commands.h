#pragma once
// The Compare menu's commands that set a comparison up, switch its display,
// and F6 held.
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kOpenCompareTitle = "Open File to compare to";

// "To other &File": the Compare File chosen in the open dialog is compared
// with the Main File from position 0 on both sides. A choice that is
// cancelled, cannot be opened or read, or is the Main File itself changes
// nothing (the last two are reported as "Error reading " with the name).
[[nodiscard]] int compareWithFile(AppState& app);
// "To other &Position (same File)": the Main File against its own current
// content, aligned by the points (0 and 0 at first).
[[nodiscard]] int compareWithPosition(AppState& app);
// "Set &Cursor-Position as Start for Compare-File": the Compare File's
// first byte lies beside the cursor.
void startCompareAtCursor(AppState& app);
// "&Show Differences permamently" and "&Activate Compare": toggles.
void toggleDifferencesAlways(AppState& app);
void toggleActiveCompare(AppState& app);

// F6 held: the view shows the compare data for the shown positions, in the
// compare colours; any key released ends it.
void showCompareData(AppState& app);
void endCompareData(AppState& app);

// Another Main File was opened (or it was closed): the comparison with the
// old one ends, with its Compare File, points, offset, difference marks and
// menu checks; the "Offset-Adjustment" window closes.
void endComparison(AppState& app);

// Closes the Compare File (at exit).
void closeCompareFile(AppState& app);

// The page, the info cell and the status cells again after the comparison changed.
void redrawComparison(AppState& app);

}  // namespace quorby
