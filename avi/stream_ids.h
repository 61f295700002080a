#pragma once
// The chunk ids of the video and audio data packets. The stream lists of the
// header give each counted stream ("vids", "iavs", "auds"; other types do not
// advance the number) its prefix: the two-digit stream number and "d" for
// video or "w" for audio; the first packet in "movi" that matches a prefix
// gives the full id (00dc, 00db, 01wb ...).
#include "avi/avi_facts.h"

namespace quorby {

// Sets videoDataId / audioDataId and their known flags, the video handler
// code and the main header (an id stays unknown
// when the file has no such stream or no packet of it in the first "movi"
// list). Result 1 when neither id was found.
[[nodiscard]] int findStreamIds(RiffContent& content, AviFacts& facts);

}  // namespace quorby
