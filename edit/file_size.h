#pragma once
// Changing the Main File's size. The Main File itself changes, also in
// journal access: the added bytes are not stored as journal versions.
// Drives keep their size.
#include "state/app_state.h"

namespace quorby {

// Makes the Main File `newSize` bytes long, newSize above its size: asks
// "Shall this File really be enlarged ?" (message switch 6), re-opens a
// read-only Main File read-write (with the question of switch 8), checks the
// free space and sets the file's end; the journal's record of the page that
// held the old end counts the added bytes. Result 1, with nothing changed, for a
// drive, a No, a failed re-open or too little space; a failure to set the
// end is reported ("Error !" with the Main File's name) and gives 1 as well.
// With `commitNow` false the enlargement is part of the running command and
// its commit: a paste beyond the end, which a kill takes back whole, the
// enlargement with it.
[[nodiscard]] int enlargeMainFile(AppState& app, FilePos newSize, bool commitNow = true);

// Makes the Main File `newSize` bytes long, bigger or smaller. Enlarging is
// enlargeMainFile, then (resizeOptions bit 0, "Highlight Enlargement") the
// added bytes become the selection. Decreasing asks "Shall this File really
// be decreased ?" (message switch 6), re-opens read-only as above, stores
// the shown page's changes, cuts the file and the journal's address chain at
// the new end (the pages beyond it and their versions can never come back
// on screen or be written; when there were any, the undo order is emptied)
// and gives the page that now holds the end its new byte count. The view
// stays within the file. Result 1 when refused (a drive, a No, a failed
// re-open) or failed.
[[nodiscard]] int resizeMainFile(AppState& app, FilePos newSize);

}  // namespace quorby
