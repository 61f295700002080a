#pragma once
// The fixed buffers of the long operations. Each is allocated at its first
// use and kept until exit: no operation allocates per run, and the
// application state itself stays small.
#include <cstdint>
#include <memory>

#include "journal/journal_format.h"
#include "journal/journal_overlay.h"

namespace quorby {

// The block buffer: the search blocks and the listing text, one at a time.
inline constexpr std::uint32_t kBlockBufferSize = 262144;
// A copy of the content with changes ("Save ... as", the appends) reads
// the Main File in blocks of this size.
inline constexpr std::uint32_t kCopyBlockSize = 262144;
// "Save &File" takes the records in chunks; each chunk costs two syncs of
// the Journal File.
inline constexpr int kWriteChunkRecords = 1024;

struct WriteChunk {
    JournalRecord records[kWriteChunkRecords];    // the chain records, data included
    JournalRecord exchanges[kWriteChunkRecords];  // their Main File bytes before the write
    bool ready[kWriteChunkRecords];               // differs from the Main File: to be written
    int count = 0;
};

struct WorkBuffers {
    std::unique_ptr<std::uint8_t[]> block;
    std::unique_ptr<std::uint8_t[]> compareBlock;  // the other side of Find Differences
    std::unique_ptr<std::uint8_t[]> copyBlock;
    std::unique_ptr<WriteChunk> writeChunk;
    std::unique_ptr<JournalOverlayWindow> overlayWindow;
};

}  // namespace quorby
