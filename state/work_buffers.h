#pragma once
// The fixed buffers of the long operations. Each is allocated at its first
// use and kept until exit: no operation allocates per run, and the
// application state itself stays small.
#include <cstddef>
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
// "Save &File" takes the records in chunks; with undo each chunk costs one
// sync of the rollback file.
inline constexpr int kWriteChunkRecords = 1024;
// A paste or fill in direct access with undo writes runs of whole pairs in
// blocks of this size, each kept in exchanges first; the exchanges of a
// block go to the drive in pieces of this much of the Main File, each on
// its way while the next is made, so that the block's sync finds them there.
inline constexpr std::uint32_t kDirectKeepBlock = std::uint32_t(4) << 20;
inline constexpr std::uint32_t kDirectSendPiece = std::uint32_t(1) << 20;

// How the long journal commands batch their work. Tests make the batches
// small, so that a short session meets every boundary between them.
struct BatchSizes {
    int writeChunkRecords = kWriteChunkRecords;     // halves per chunk of "Save &File"
    int chunksPerCommit = 16;                       // chunks of "Save &File" between commits
    std::size_t marksBeforeSync = std::size_t(1) << 17;  // versions marked at once by "Save &File" without undo
    std::uint64_t stepsPerCommit = 1024;            // entries of Undo All and Redo All between commits
    std::uint32_t pasteReadBlock = kCopyBlockSize;  // bytes a paste in journal access reads at once
    std::uint32_t directKeepBlock = kDirectKeepBlock;  // bytes a direct paste with undo writes at once
    std::uint32_t directSendPiece = kDirectSendPiece;  // ... of which the exchanges go to the drive at once
};

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
    BatchSizes batches;
};

}  // namespace quorby
