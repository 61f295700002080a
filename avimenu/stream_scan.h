#pragma once
// The chunk walks of the AVI menu that show every chunk they pass: "Scan
// Avi" over the header (before the stream facts are gathered), 'Play' Video
// and 'Play' Audio (the packets of one stream, one by one), and repair
// AVI-File (the whole file). A chunk that does not belong in the chain (its
// size before it was wrong) is mended by the chain repair: the broken
// chunk's size is set so that it ends at the nearest known chunk id, as one
// change of the current content that undo takes back. One pending input
// event is dispatched per chunk: "+" / "-" move the packets shown by 512
// bytes, ">" / "<" by the view's step, a blank or ESC stops.
#include "state/app_state.h"
#include "state/avi_content.h"

namespace quorby {

// "Scan Avi": from position 12 through the header lists (every "RIFF" and
// "LIST" entered) up to "LIST movi". A broken chain leads to the question
// "There are Errors in the File-Structure! ..." (once); No ends with 1, Yes
// repairs. Result 1 also when a repair found no known chunk id.
[[nodiscard]] int scanStructure(AppState& app, MainFileContent& content);

// The packets of the video (or audio) stream shown one by one until the end
// of the file, a blank, ESC or a refused repair; starts at Goto Film-Start
// unless the stream stepping mode continues. Result 1 when it did not run.
[[nodiscard]] int playStream(AppState& app, bool video);

// The continuous check: Goto Film-Start, then the packets of one stream.
[[nodiscard]] int scanStreamPackets(AppState& app, bool video);

void playVideoCommand(AppState& app);
void playAudioCommand(AppState& app);
// repair AVI-File: the whole file walked (movi included), every broken chunk
// chain repaired without a question; all repairs are one entry of the history.
void repairAviCommand(AppState& app);

// A typed character while a walk runs: the keys above. Result true when the
// walk took it.
bool streamScanTakesKey(AppState& app, int character);

// The question before a walk on a file that is accessed directly: Yes
// switches to journal access.
void offerIndirectAccess(AppState& app);

}  // namespace quorby
