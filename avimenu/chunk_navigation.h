#pragma once
// The chunk navigation of the AVI menu: Goto First RIFF-Chunk, Goto Next
// RIFF-Chunk (Ctrl+R), Goto next Sub-Chunk (Ctrl+S) and Goto Film-Start.
// The view follows the chunk stepper; the chunk shown, from its header to
// its pad byte, becomes the selection. Every command does nothing unless
// the Main File is an AVI file.
#include "avi/riff_content.h"
#include "state/app_state.h"

namespace quorby {

// Reads the chunk at the cursor's next position and moves the view so that
// it begins exactly there; at or beyond the end of the file the view goes
// to the end and the result is 1.
[[nodiscard]] int stepChunkWithView(AppState& app, RiffContent& content);
// stepChunkWithView, then the view's top on the chunk's 16-byte row and the
// chunk selected; on failure the selection is cleared. The page is drawn.
[[nodiscard]] int showNextChunk(AppState& app, RiffContent& content);

void gotoFirstChunkCommand(AppState& app);
void nextChunkCommand(AppState& app);
// The first chunk inside the list whose header begins the view. When the
// view still shows the row of the chunk the stepper stands on, that chunk's
// header is taken, even if it does not begin its row.
void nextSubChunkCommand(AppState& app);
// The first data packet of the video or audio stream in the first "movi"
// list; the stream ids are looked for first when they are not known.
void filmStartCommand(AppState& app);

}  // namespace quorby
