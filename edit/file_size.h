#pragma once
// Changing the Main File's size. The Main File itself changes, also in
// journal access: the added bytes are not stored as journal versions.
// Drives keep their size.
#include "state/app_state.h"

namespace quorby {

// Makes the Main File `newSize` bytes long, newSize above its size: asks
// "Shall this File really be enlarged ?" (message switch 6), re-opens a
// read-only Main File read-write (with the question of switch 8), checks the
// free space and sets the file's end. Result 1, with nothing changed, for a
// drive, a No, a failed re-open or too little space; a failure to set the
// end is reported ("Error !" with the Main File's name) and gives 1 as well.
int enlargeMainFile(AppState& app, FilePos newSize);

}  // namespace quorby
