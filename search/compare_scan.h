#pragma once
// The compare engine: the first byte at which two sources differ. One source
// is the Main File's current content (the file with the Journal File's
// changes laid over it); the other is a Compare File read raw, or the Main
// File's current content again at another position. Main File position p
// lines up with position p + shift of the other source. Both are read in
// large blocks and compared in memory, so the scan runs at the speed of the
// reads; positions are 64-bit throughout.
#include <cstdint>

#include "core/file_pos.h"
#include "journal/journal_file.h"
#include "journal/journal_overlay.h"
#include "platform/file_io.h"
#include "salvage/sector_reads.h"

namespace quorby {

inline constexpr std::uint32_t kCompareBlockSize = 262144;  // the largest block

// One side of a comparison.
struct CompareSource {
    FileIo* files = nullptr;
    FileHandle handle = kNoFile;
    FilePos size = 0;
    // The Journal File laid over every block read (nullptr: raw reads), and
    // the window of records it is read through (required with it).
    JournalFile* journal = nullptr;
    JournalOverlayWindow* window = nullptr;
    // The source's known unreadable sectors: with it, unreadable sectors
    // read as zeros and are reported as gaps instead of failing the read.
    UnreadableSectors* unreadable = nullptr;
};

// The offset of the first of `n` bytes at which `a` and `b` differ; n when
// they are equal.
std::uint32_t firstDifference(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t n);

// Reads [pos, pos + n) of the source into `out`, with the journal's changes
// laid over it. `chainPos` is the journal walk's position (the chain's First
// for a walk that starts afresh); it is left where the next block going
// forward continues. `token` as for overlayJournalChanges. Result 0, or 1
// when the read failed or delivered fewer bytes (the source shrank: the last
// error is then "Reached End of File"). With source.unreadable, `gaps`
// (optional) receives the unreadable parts, which are no failure.
[[nodiscard]] int readSourceBytes(const CompareSource& source, FilePos pos, std::uint8_t* out, std::uint32_t n,
                    FilePos& chainPos, std::uint64_t token, ReadGaps* gaps = nullptr);

enum class CompareOutcome {
    Difference,     // foundPos is the first differing Main File position
    More,           // a block compared equal; the scan goes on with the next
    Equal,          // no difference up to the end of both sources
    LengthsDiffer,  // no difference, but one source ends before the other: foundPos is
                    // where the shorter one ends, as a Main File position
    MainReadFailed,
    OtherReadFailed,
};

struct CompareScan {
    CompareSource main;
    CompareSource other;
    std::int64_t shift = 0;
    FilePos startPos = 0;  // the first Main File position the scan looks at
    FilePos nextPos = 0;   // the next Main File position to compare
    FilePos endPos = 0;    // where the first of the two sources ends, as a Main File position
    FilePos foundPos = 0;
    bool mainEndsFirst = false;  // with LengthsDiffer: the Main File is the shorter source
    FilePos mainChain = kEmptyPtr;
    FilePos otherChain = kEmptyPtr;
    std::uint64_t token = 0;  // a new one whenever the Journal File may have changed
    // kCompareBlockSize in the program; tests cross many blocks in small files.
    std::uint32_t blockSize = kCompareBlockSize;
    // The unreadable ranges the scan went past, each in its own source's
    // positions (optional); no difference is reported inside one.
    ByteRanges* skipped = nullptr;
};

// Sets the scan up from `startPos`. Main File positions whose counterpart
// lies before the other source's start are passed over; the scan ends where
// either source ends.
void startCompareScan(CompareScan& scan, FilePos startPos);

// Compares the next block of up to blockSize bytes (both buffers hold that
// many); *compared receives the bytes compared.
CompareOutcome compareNextBlock(CompareScan& scan, std::uint8_t* mainBlock, std::uint8_t* otherBlock,
                                std::uint32_t* compared);

}  // namespace quorby
