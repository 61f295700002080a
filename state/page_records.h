#pragma once
// The journal side of the two pages in pageBuffer: the copies of their
// records, the cursor records that bracket them in the address chain, and the
// version review that may be showing another version of one of them.
#include <cstdint>
#include <string>
#include "core/file_pos.h"
#include "journal/chain_segment.h"
#include "journal/journal_format.h"
#include "platform/file_io.h"
#include "platform/platform.h"

namespace quorby {

// Bits of jReadFlag: the page of that half has a record (its copy is valid).

// reviewState values: F4 steps towards newer versions, F2 towards older ones,
// on the first or the second page of pageBuffer.
inline constexpr std::uint32_t kPreviewFirstPage = 1;
inline constexpr std::uint32_t kReviewFirstPage = 5;
inline constexpr std::uint32_t kPreviewSecondPage = 9;
inline constexpr std::uint32_t kReviewSecondPage = 13;

// What a version review saved on its first step, so that leaving it can show
// the page as it was.
struct ReviewSaved {
    FilePos jAdr = kEmptyPtr;        // the record copy's JAdr (the newest version)
    FilePos pagePos = 0;
    std::uint32_t jReadFlag = 0;
    std::uint32_t viewOffset = 0;
    int half = 0;                    // 0 first page, 1 second page
    Colour hexBackground = 0;        // the colours in use before the review
    Colour charBackground = 0;
};

struct PageRecords {
    JournalRecord jData[2];          // JData1, JData2 (jAdr = the record's position)
    std::uint32_t jReadFlag = 0;
    FilePos requestedPos = 0;
    FilePos jPrevPtr = kEmptyPtr;    // record with the highest MainAdr below pagePos
    FilePos jPrevAdr = 0;
    FilePos jNextPtr = kEmptyPtr;    // record with the lowest MainAdr >= pagePos + 1024
    FilePos jNextAdr = 0;
    std::uint32_t reviewState = 0;   // 0, 1/9 (F4 preview), 5/13 (F2 review)
    bool unchangedFileShown = false;  // F5 held: the Main File without changes

    // The page position the cursor records and copies above belong to. It is
    // kept apart from view.pagePos, which others may set before loading.
    FilePos recordsPos = 0;
    // False until a pair was assembled from the open Journal File, and after
    // the address chain changed under the cursor records; the next assembly
    // then enters the chain at one of its ends.
    bool cursorRecordsValid = false;
    // The Journal File they were found in: another one (or the same one
    // recreated) makes them invalid.
    FileHandle journalHandle = kNoFile;
    std::string journalName;
    // True while an assembly runs; a nested one (from input dispatched
    // during a long scan) is refused.
    bool assembling = false;
    ReviewSaved reviewSaved;
};

}  // namespace quorby
