#pragma once
// Laying the Journal File's changes over a block read from the Main File, so
// that the search sees the content the view shows.
#include <cstdint>

#include "core/file_pos.h"
#include "journal/journal_file.h"

namespace quorby {

struct JournalOverlayWindow {
    static constexpr std::uint32_t kSize = 102 * kJournalRecordSize;
    static constexpr std::uint32_t kFirstSize = 6 * kJournalRecordSize;
    FilePos start = 0;
    std::uint32_t length = 0;
    std::uint32_t nextSize = kFirstSize;
    std::uint32_t startSize = kFirstSize;  // learnt from the previous block
    std::uint32_t fills = 0;               // windows read for this block
    std::uint32_t records = 0;             // records taken from them
    const JournalFile* owner = nullptr;    // the window's bytes are of this file,
    std::uint64_t token = 0;               // read under this token,
    std::uint64_t changeCount = 0;         // when the file's changeCount was this
    std::uint8_t bytes[kSize];
    JournalRecord single;  // a record read on its own
};

// Walks the address chain from `chainPos` (forward along NextPtr, backward
// along PrevPtr) and copies the data of every record whose page (MainAdr,
// anz bytes) meets the block [blockStart, blockStart + count) into `block`,
// as far as it lies in the block. Records with Flag bit 22 are skipped: their
// content is the Main File's, already in the block. Records that come before
// the block in the walk's direction are passed over; the walk ends at the
// first record wholly beyond it.
//
// `chainPos` is left on the first record that belongs to the next block of
// the same direction: the blocks overlap by one page, so that is the first
// record at or above blockStart + count - 512 (forward), or at or below
// blockStart (backward); empty when the chain ends first.
//
// Each record costs one 640-byte read. A chain that breaks its order or
// points outside the file ends the walk. Result 0, or 1 after a failed read
// (reported through the Journal File's reporter) or a broken chain; the
// block keeps what was laid over it so far and `chainPos` becomes empty.
//
// Records are read in windows of several records. `windowToken` lets a
// window outlive the block: the next block with the same token (not 0) and
// the same Journal File reuses what was read, unless the Journal File was
// written since (its changeCount): readers that share the window may count
// their tokens each on its own.
//
// `laid`, when given, is told each stretch of the block that a change was
// laid over, as an offset into the block and a length: those bytes are the
// Journal File's, whatever the Main File's read delivered there.
struct OverlayLaid {
    void (*laid)(void* context, std::uint32_t offset, std::uint32_t length) = nullptr;
    void* context = nullptr;
};
[[nodiscard]] int overlayJournalChanges(JournalFile& jf, JournalOverlayWindow& window, FilePos& chainPos, bool forward,
                          FilePos blockStart, std::uint8_t* block, std::uint32_t count, std::uint64_t windowToken = 0,
                          OverlayLaid laid = {});


}  // namespace quorby
