#pragma once
// The stream facts of an AVI Main File (the data packet ids, the video
// compression, the main header) gathered once per opened file, "AVI
// File-&Information" that shows them, and Goto Film-Start that needs them.
#include <string>

#include "avi/stream_list.h"
#include "state/app_state.h"

namespace quorby {

// The facts were gathered for the Main File now open.
bool streamFactsKnown(const AppState& app);

// "Scan Avi" over the header, then the stream ids from the first "movi"
// list. The chunk stepper and the view come back to where they were. Without
// any id: "Could not find any StreamIDs!" and result 1.
[[nodiscard]] int scanStreamFacts(AppState& app);

// The information text: main header values, the stream ids found, every
// other stream of the header list with its type and id, the video
// compression; lines end with CR LF.
std::string aviInformationText(const AviFacts& facts, const StreamList& streams = {});

void aviInformationCommand(AppState& app);

// The first data packet of the video or audio stream in the first "movi"
// list (packets in "rec " lists included); the stream stepping mode is
// switched on. Result 1 (the view at the end of the file, or where it was
// when the facts could not be gathered) when there is none.
[[nodiscard]] int gotoFilmStart(AppState& app);

}  // namespace quorby
