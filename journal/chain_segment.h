#pragma once
// Finding the records of a page pair in the Journal File's address chain.
//
// A segment is a run of records that follow each other in the chain, lowest
// MainAdr first, with what is known beyond its two ends. It starts from the
// view's cursor records (the records around the shown pair), from First or
// LastPtr, or from one record, and grows one record at a time until it holds
// the record below the wanted pair, the pair's own records and the record
// above it. Growing by a record costs one 64-byte header read; learning the
// outward link of an end that came from the cursor records costs one more,
// except for a record of the wanted pair, which is read whole (header and
// data in one transfer) because it is shown anyway.
//
// Costs that follow: a move by one page reads at most one header, by two
// pages at most two; a jump beyond the changed pages reads none; a jump
// across changed pages reads one header per record passed.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

inline constexpr int kSegmentCapacity = 8;

struct ChainEntry {
    FilePos ptr = kEmptyPtr;
    FilePos adr = 0;
    bool loaded = false;  // read whole into the record copy of its half
};

struct ChainSegment {
    ChainEntry entries[kSegmentCapacity];
    int count = 0;
    // The pointer to the record before entries[0] (belowLink) and after the
    // last entry (aboveLink), valid when the matching flag is set; an empty
    // link says that the chain ends there.
    FilePos belowLink = kEmptyPtr;
    FilePos aboveLink = kEmptyPtr;
    bool belowKnown = true;
    bool aboveKnown = true;
};

// The records around the pair the cursor records belong to: JPrevPtr, the
// records of the two pages and JNextPtr. Their outward links are unknown
// unless JPrevPtr or JNextPtr is empty (the chain ends there).
void segmentAroundCursorRecords(const PageRecords& records, ChainSegment& s);
// Before the lowest record: grows upwards from First.
void segmentAtFirst(const JournalHeader& h, ChainSegment& s);
// After the highest record: grows downwards from LastPtr.
void segmentAtLast(const JournalHeader& h, ChainSegment& s);
// The one record at `ptr` (its 64-byte header is read). It must be the newest
// version of its page (it alone sits in the chain) with a MainAdr below
// `limit`; otherwise, or when it cannot be read, the result is 1 and nothing
// is reported (the caller falls back to the chain's ends).
int segmentAtRecord(JournalFile& jf, FilePos ptr, FilePos limit, ChainSegment& s);

// The records that bracket a page pair, once located.
struct PairLocation {
    FilePos pairPos = 0;
    FilePos prevPtr = kEmptyPtr;
    FilePos prevAdr = 0;
    FilePos nextPtr = kEmptyPtr;
    FilePos nextAdr = 0;
    std::uint32_t jReadFlag = 0;  // the pages that have records, read whole into jData
    bool interrupted = false;     // ESC ended a long scan: pairPos is where it stood
};

// Grows `s` until it brackets the pair at `pairPos` and reads the pair's
// records whole into app.records.jData (nothing else of the view changes).
// A long scan shows the banner "SCAN JOURNAL-FILE" and polls for ESC; when
// the user stops it, the pair where the scan stood is located instead.
// Result 1 after a failed read (reported) or a damaged chain (reported as a
// read error of the Journal File); the record copies may then be overwritten.
int locatePair(AppState& app, ChainSegment& s, FilePos pairPos, PairLocation& out);

}  // namespace quorby
