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

#include "journal/journal_file.h"

namespace quorby {

inline constexpr int kSegmentCapacity = 8;

// Bits of PairLocation::jReadFlag: the pages of the pair that have records.
inline constexpr std::uint32_t kFirstHalfHasRecord = 1;
inline constexpr std::uint32_t kSecondHalfHasRecord = 2;

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

// What a long scan asks of its caller between steps. `step` shows progress
// (`first` on the first call; `reached` is the Main File address of the
// record the scan stands on) and sets *stop when the user wants the scan
// stopped; it returns 1 when the files went away under the scan (a nested
// command closed them), which ends the scan with 1.
struct ScanPoll {
    int (*step)(void* context, bool first, FilePos reached, bool* stop) = nullptr;
    void* context = nullptr;
};


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

// The records around a pair located before: the record below it, the
// records of its two pages (at `pairRecordPtr`) and the record above it.
// Their outward links are unknown unless the chain ends there.
void segmentAroundPair(const PairLocation& known, const FilePos pairRecordPtr[2], ChainSegment& s);
// Before the lowest record: grows upwards from First.
void segmentAtFirst(const JournalHeader& h, ChainSegment& s);
// After the highest record: grows downwards from LastPtr.
void segmentAtLast(const JournalHeader& h, ChainSegment& s);
// The one record at `ptr` (its 64-byte header is read). It must be the newest
// version of its page (it alone sits in the chain) with a MainAdr below
// `limit`; otherwise, or when it cannot be read, the result is 1 and nothing
// is reported (the caller falls back to the chain's ends).
[[nodiscard]] int segmentAtRecord(JournalFile& jf, FilePos ptr, FilePos limit, ChainSegment& s);


// Grows `s` until it brackets the pair at `pairPos` and reads the pair's
// records whole into pairRecords[0] and [1]. A long scan calls `poll`; when
// the user stops it, the pair where the scan stood is located instead (and
// out.interrupted is set). A damaged chain restarts once from the end nearer
// to the pair (`fileSize` tells which). Result 1 after a failed read
// (reported) or a damaged chain (reported as a read error of the Journal
// File); the record copies may then be overwritten.
[[nodiscard]] int locatePair(JournalFile& jf, ChainSegment& s, FilePos pairPos, FilePos fileSize, JournalRecord pairRecords[2],
               const ScanPoll& poll, PairLocation& out);

}  // namespace quorby
