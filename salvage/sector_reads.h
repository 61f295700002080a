#pragma once
// Reading a file or drive that has unreadable sectors: every sector that can
// be read is delivered; a sector that fails on its own is filled with zeros
// and reported. A block that reads at once costs one read, as before.
//
// A failed read is tried once more; then the block is split in halves down
// to single sectors, so a few bad sectors cost a few dozen reads, not one per
// sector of the block. Each sector found unreadable is remembered in the
// file's UnreadableSectors and is not read again while the file stays open
// (the view repaints without touching the drive).
#include <cstdint>

#include "core/file_pos.h"
#include "platform/file_io.h"
#include "salvage/byte_ranges.h"

namespace quorby {

inline constexpr std::uint32_t kDefaultSectorSize = 512;

// The sectors of one open file known to be unreadable.
struct UnreadableSectors {
    ByteRanges ranges;
    std::uint32_t sectorSize = kDefaultSectorSize;  // a power of two
};

// Forgets every sector (the file was opened or closed); `sectorSize` is the
// new file's (0 or not a power of two: 512).
void forgetUnreadable(UnreadableSectors& known, std::uint32_t sectorSize);

// The unreadable parts of one block read, as offsets into the block.
struct ReadGaps {
    static constexpr int kCapacity = 64;
    std::uint32_t offset[kCapacity] = {};
    std::uint32_t length[kCapacity] = {};
    int count = 0;
};

// [offset, offset + length) of the block became known after all (a stored
// change lies over it): it is no longer a gap. A gap split in two when the
// gaps are full stays whole, so those bytes count as unreadable still.
void coverGap(ReadGaps& gaps, std::uint32_t offset, std::uint32_t length);
// coverGap in the form of a callback of the journal's overlay walk, with
// the ReadGaps as its context.
void coverGapOf(void* readGaps, std::uint32_t offset, std::uint32_t length);

// Whether byte `offset` of the block was unreadable.
bool inGap(const ReadGaps& gaps, std::uint32_t offset);

// The readable stretch of [from, end) that begins at or after `from`:
// *runStart and *runEnd; false when none is left.
bool nextReadableRun(const ReadGaps& gaps, std::uint32_t from, std::uint32_t end, std::uint32_t* runStart,
                     std::uint32_t* runEnd);

// Reads `n` bytes at `pos` into `buf`. *done receives the bytes up to the
// end of the file (readable ones and the zeros of unreadable sectors); the
// rest of `buf` is not touched. `gaps` receives the unreadable parts (more
// than it holds are merged into its last one; none: every byte arrived).
// Result 0; 1 when the read failed for another reason than an unreadable
// medium (no access, a device gone: EIO and its kind are salvaged, others
// are not): *done is then what the read delivered, files.lastError() tells why.
int salvageRead(FileIo& files, FileHandle h, UnreadableSectors& known, FilePos pos, void* buf, std::uint32_t n,
                std::uint32_t* done, ReadGaps* gaps);

// Adds the gaps of a block read at `pos` to `ranges` as file positions.
void addGapsAt(ByteRanges& ranges, FilePos pos, const ReadGaps& gaps);

}  // namespace quorby
