#include "avi/chunk_stepper.h"

namespace quorby {

FilePos followingChunkPos(FilePos pos, std::uint32_t size) {
    const FilePos end = pos + 8 + size;
    return end + (end & 1);
}

int readChunkAt(RiffContent& content, ChunkCursor& cursor) {
    const FilePos pos = cursor.nextChunkPos;
    if (pos >= content.size()) return 1;
    std::uint8_t header[12] = {};
    std::uint32_t got = 0;
    if (content.read(pos, header, sizeof header, &got) != 0) return 1;
    cursor.chunkId = le32(header);
    cursor.chunkSize = le32(header + 4);
    cursor.listType = le32(header + 8);
    cursor.previousChunkPos = cursor.currentChunkPos;
    cursor.currentChunkPos = pos;
    cursor.nextChunkPos = followingChunkPos(pos, cursor.chunkSize);
    return 0;
}

int startWalk(RiffContent& content, ChunkCursor& cursor) {
    cursor.currentChunkPos = cursor.previousChunkPos = 0;
    cursor.nextChunkPos = 12;
    return readChunkAt(content, cursor);
}

int enterListAt(RiffContent& content, ChunkCursor& cursor, FilePos listPos) {
    FilePos first = listPos + 12;
    first += first & 1;
    if (first >= content.size()) return 1;
    cursor.currentChunkPos = first;
    cursor.nextChunkPos = first;
    return readChunkAt(content, cursor);
}

}  // namespace quorby
