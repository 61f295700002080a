#pragma once
// The structure walk of the AVI check: one report line per chunk of the
// header lists and the top level, and the AviFacts gathered on the way.
//
// The walk knows where each list it enters ends (its position + 8 + size,
// and the file's end for the outermost level): a list is left when the next
// chunk lies at or beyond its end. Inside a list a chunk the walk does not
// name (vprp, strd, an unknown LIST ...) gets a line with its own id, at its
// level's indent, and is stepped over, so chunks that real writers add to
// the stream lists do not cut the walk short. A chunk whose id is not four
// printable characters, or that reaches past the end of its list, is not
// listed and ends the walk.
#include "avi/avi_facts.h"
#include "avi/avi_report.h"
#include "avi/chunk_stepper.h"

namespace quorby {

// Fills `facts` (the main and stream headers, super index positions,
// moviBase, idx1Pos; the data packet ids are left as they are) and leaves
// `cursor` on the last chunk read. Result 1 when a step failed (the walk
// reached the end of the file: the usual end), 0 when it met a chunk it does
// not list or the report asked to stop.
[[nodiscard]] int listStructure(RiffContent& content, ChunkCursor& cursor, AviFacts& facts, AviReport& report);

}  // namespace quorby
