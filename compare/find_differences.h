#pragma once
// "Find &Differences" (Ctrl+U): the next byte beyond the shown ones where
// the Main File's current content differs from the other source.
#include "state/app_state.h"

namespace quorby {

// The info cell when the sources differ only in length: which one ends first.
inline constexpr const char* kInfoMainEnds = "-- EOF ON 1. FILE ---";
inline constexpr const char* kInfoOtherEnds = "-- EOF ON 2. FILE ---";

// Scans from the byte after the 512 shown ones to where either source ends,
// in large blocks, with the "Stop with ESC" banner at the pace of one
// refresh per 256 KiB and one input event dispatched per block.
//  - A difference: the view shows the 512 bytes from the multiple of 512 at
//    or below it, the cursor on it, the differences marked.
//  - None, but one source ends before the other: the view shows where the
//    shorter one ends (the Main File's last byte when it is the shorter one),
//    and the info cell says which ended.
//  - None: the view as it was, "----- NOT FOUND -----"; so also after ESC
//    and Yes.
//  - A failed read: "Error reading " with the source's name, the view as it was.
// The outcome is kept in app.compare (lastResult, lastPos, lastEndedMain).
DifferenceResult findDifferences(AppState& app);
void findDifferencesCommand(AppState& app);

}  // namespace quorby
