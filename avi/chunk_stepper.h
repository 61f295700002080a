#pragma once
// The chunk stepper: the chunk header at a position (id, size, list type,
// little-endian) and the step to the next chunk of the same level or into a
// list. Sizes are unsigned 32-bit and positions 64-bit, so a size of 2 GiB
// or more steps forward; an odd size is followed by the RIFF pad byte.
#include "avi/riff_content.h"

namespace quorby {

inline constexpr FilePos kNoPos = ~FilePos{0};

struct ChunkCursor {
    FourCc chunkId = 0;
    FourCc listType = 0;
    std::uint32_t chunkSize = 0;
    FilePos currentChunkPos = 0;
    FilePos previousChunkPos = 0;
    FilePos nextChunkPos = 0;
    // The end of the chunk read last: its header, data and pad byte.
    FilePos chunkEnd() const { return nextChunkPos; }
};

// The chunk after one of `size` data bytes at `pos`: 8 + size, rounded up
// to an even position.
FilePos followingChunkPos(FilePos pos, std::uint32_t size);

// Reads the 12 header bytes at nextChunkPos (a header that crosses a page
// boundary or lies partly past the end is read as far as the content goes)
// and moves the cursor on: previous takes current, current takes next, next
// becomes the following chunk. Result 1, cursor unchanged, when nextChunkPos
// is at or beyond the end of the content or the read failed.
[[nodiscard]] int readChunkAt(RiffContent& content, ChunkCursor& cursor);

// The first chunk inside the file's RIFF header (position 12).
[[nodiscard]] int startWalk(RiffContent& content, ChunkCursor& cursor);

// The first sub-chunk of the list whose header begins at `listPos`
// (listPos + 12, rounded up to an even position); the current position
// takes that position before the read, so the previous one is the sub-chunk
// too. Result 1 when that lies at or beyond the end of the content.
[[nodiscard]] int enterListAt(RiffContent& content, ChunkCursor& cursor, FilePos listPos);

}  // namespace quorby
