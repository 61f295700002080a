#pragma once
// The journal side of the two pages in pageBuffer: the copies of their
// records, the cursor records that bracket them in the address chain, and the
// version review that may be showing another version of one of them.
#include <cstdint>
#include "app/file_pos.h"
#include "store/journal_format.h"

namespace quorby {

// Bits of jReadFlag: the page of that half has a record (its copy is valid).
inline constexpr std::uint32_t kFirstHalfHasRecord = 1;
inline constexpr std::uint32_t kSecondHalfHasRecord = 2;

struct PageRecords {
    JournalRecord jData[2];          // JData1, JData2 (jAdr = the record's position)
    std::uint32_t jReadFlag = 0;
    FilePos requestedPos = 0;
    FilePos jPrevPtr = kEmptyPtr;    // record with the highest MainAdr below pagePos
    FilePos jPrevAdr = 0;
    FilePos jNextPtr = kEmptyPtr;    // record with the lowest MainAdr >= pagePos + 1024
    FilePos jNextAdr = 0;
    std::uint32_t reviewState = 0;   // 0, 1/9 (F4 preview), 5/13 (F2 review)
    bool actualContentView = false;  // F5 held: the Main File without changes
};

}  // namespace quorby
