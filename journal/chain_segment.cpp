#include "journal/chain_segment.h"


namespace quorby {

namespace {

constexpr std::uint32_t kFileCorrupt = 1392;
constexpr FilePos kPair = 1024;
// Moves of up to two pages never need more steps than this; a scan that goes
// on beyond them shows the banner and listens for ESC.
constexpr std::uint64_t kQuietSteps = 4;
// A result of the steps below: the segment holds a record that is no longer
// in the chain and cannot be replaced; the search starts again at an end.
constexpr int kStale = 2;

FilePos saturatedAdd(FilePos a, FilePos b) { return a > ~FilePos{0} - b ? ~FilePos{0} : a + b; }

// The half of the pair at `pairPos` that the page at `adr` fills, or -1.
int halfOf(FilePos adr, FilePos pairPos) {
    if (adr == pairPos) return 0;
    if (adr == saturatedAdd(pairPos, kPageSize)) return 1;
    return -1;
}

struct Locator {
    JournalFile& jf;
    JournalRecord* pairRecords;  // two copies, one per half
    const ScanPoll& poll;
    ChainSegment& s;
    FilePos pairPos;
    std::uint64_t steps = 0;
    bool interrupted = false;
};

int reportDamage(JournalFile& jf) {
    jf.files->setLastError(SystemError{kFileCorrupt, 0});
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, false);
    return 1;
}

bool belowComplete(const Locator& l) {
    const ChainSegment& s = l.s;
    if (s.count > 0 && s.entries[0].adr < l.pairPos) return true;
    return s.belowKnown && isEmptyPtr(s.belowLink);
}

bool aboveComplete(const Locator& l) {
    const ChainSegment& s = l.s;
    if (s.count > 0 && s.entries[s.count - 1].adr >= saturatedAdd(l.pairPos, kPair)) return true;
    return s.aboveKnown && isEmptyPtr(s.aboveLink);
}

// Reads the record of an end entry to learn its links: whole into its half's
// copy when it belongs to the wanted pair, else its first 64 bytes.
int readEntryLinks(Locator& l, ChainEntry& e, FilePos* prevPtr, FilePos* nextPtr) {
    JournalFile& jf = l.jf;
    const int half = halfOf(e.adr, l.pairPos);
    JournalRecord scratch;
    JournalRecord& r = half >= 0 ? l.pairRecords[half] : scratch;
    if (half >= 0) {
        if (readRecord(jf, e.ptr, r) != 0) return 1;
        e.loaded = true;
    } else if (readRecordHeader(jf, e.ptr, kRecordLinks, r) != 0) {
        return 1;
    }
    if (r.mainAdr != e.adr) return reportDamage(jf);
    *prevPtr = r.prevPtr;
    *nextPtr = r.nextPtr;
    return 0;
}

// Reads the 64-byte header of a record reached by a link; its MainAdr must
// be a page position.
int readReached(Locator& l, FilePos ptr, JournalRecord& r) {
    if (readRecordHeader(l.jf, ptr, kRecordLinks, r) != 0) return 1;
    if (r.mainAdr % kPageSize != 0) return reportDamage(l.jf);
    return 0;
}

bool samePointer(FilePos a, FilePos b) { return (isEmptyPtr(a) && isEmptyPtr(b)) || a == b; }

// An end entry that came from the cursor records may name a record that has
// left the chain since (undo puts an older version of a page in its place;
// the links around it still lead on). `candidate`, the pointer the chain
// itself holds for that place, takes its place when it is a record of the
// same page whose link outwards is `outward`. Result kStale when it is not.
int adoptChainRecord(Locator& l, ChainEntry& e, FilePos candidate, FilePos outward, bool above) {
    if (isEmptyPtr(candidate) || !isRecordPointer(candidate, l.jf.journalEnd)) return kStale;
    JournalRecord r;
    if (readReached(l, candidate, r) != 0) return 1;
    if (r.mainAdr != e.adr || !samePointer(above ? r.nextPtr : r.prevPtr, outward)) return kStale;
    e.ptr = candidate;
    e.loaded = false;
    if (l.s.count == 1) {
        (above ? l.s.belowLink : l.s.aboveLink) = above ? r.prevPtr : r.nextPtr;
        (above ? l.s.belowKnown : l.s.aboveKnown) = true;
    }
    return 0;
}

int extendAbove(Locator& l) {
    ChainSegment& s = l.s;
    JournalFile& jf = l.jf;
    if (!s.aboveKnown) {
        FilePos prevPtr, nextPtr;
        if (readEntryLinks(l, s.entries[s.count - 1], &prevPtr, &nextPtr) != 0) return 1;
        s.aboveLink = nextPtr;
        s.aboveKnown = true;
    }
    if (isEmptyPtr(s.aboveLink)) {
        // The chain ends here: the top must be LastPtr's record.
        if (s.count == 0 || samePointer(jf.header.lastPtr, s.entries[s.count - 1].ptr)) return 0;
        return adoptChainRecord(l, s.entries[s.count - 1], jf.header.lastPtr, kEmptyPtr, true);
    }
    JournalRecord r;
    if (readReached(l, s.aboveLink, r) != 0) return 1;
    // MainAdr strictly increases along NextPtr; anything else is a damaged
    // chain that could make the walk loop.
    if (s.count > 0 && r.mainAdr <= s.entries[s.count - 1].adr) return reportDamage(jf);
    // PrevPtr leads back to the record it was reached from.
    if (s.count == 0 && !isEmptyPtr(r.prevPtr)) return reportDamage(jf);
    if (s.count > 0 && !samePointer(r.prevPtr, s.entries[s.count - 1].ptr)) {
        const int adopted = adoptChainRecord(l, s.entries[s.count - 1], r.prevPtr, s.aboveLink, true);
        if (adopted != 0) return adopted;
    }
    if (s.count == kSegmentCapacity) {
        s.belowLink = s.entries[0].ptr;
        s.belowKnown = true;
        for (int i = 1; i < s.count; ++i) s.entries[i - 1] = s.entries[i];
        --s.count;
    }
    s.entries[s.count++] = ChainEntry{s.aboveLink, r.mainAdr, false};
    if (s.count == 1) {
        s.belowLink = r.prevPtr;
        s.belowKnown = true;
    }
    s.aboveLink = r.nextPtr;
    s.aboveKnown = true;
    return 0;
}

int extendBelow(Locator& l) {
    ChainSegment& s = l.s;
    JournalFile& jf = l.jf;
    if (!s.belowKnown) {
        FilePos prevPtr, nextPtr;
        if (readEntryLinks(l, s.entries[0], &prevPtr, &nextPtr) != 0) return 1;
        s.belowLink = prevPtr;
        s.belowKnown = true;
    }
    if (isEmptyPtr(s.belowLink)) {
        // The chain begins here: the bottom must be First's record.
        if (s.count == 0 || samePointer(jf.header.first, s.entries[0].ptr)) return 0;
        return adoptChainRecord(l, s.entries[0], jf.header.first, kEmptyPtr, false);
    }
    JournalRecord r;
    if (readReached(l, s.belowLink, r) != 0) return 1;
    if (s.count > 0 && r.mainAdr >= s.entries[0].adr) return reportDamage(jf);
    if (s.count == 0 && !isEmptyPtr(r.nextPtr)) return reportDamage(jf);
    if (s.count > 0 && !samePointer(r.nextPtr, s.entries[0].ptr)) {
        const int adopted = adoptChainRecord(l, s.entries[0], r.nextPtr, s.belowLink, false);
        if (adopted != 0) return adopted;
    }
    if (s.count == kSegmentCapacity) {
        s.aboveLink = s.entries[s.count - 1].ptr;
        s.aboveKnown = true;
        --s.count;
    }
    for (int i = s.count; i > 0; --i) s.entries[i] = s.entries[i - 1];
    s.entries[0] = ChainEntry{s.belowLink, r.mainAdr, false};
    ++s.count;
    if (s.count == 1) {
        s.aboveLink = r.nextPtr;
        s.aboveKnown = true;
    }
    s.belowLink = r.prevPtr;
    s.belowKnown = true;
    return 0;
}

// The scan goes on where ESC stopped it: the pair of the record reached.
void retarget(Locator& l, FilePos adr) {
    l.interrupted = true;
    l.pairPos = adr - adr % kPageSize;
    for (int i = 0; i < l.s.count; ++i) l.s.entries[i].loaded = false;
}

// One step of a long scan: after the first few steps the caller's poll runs
// (banner, the window's input, ESC). Returns 1 when the poll says the files
// went away under the scan.
int pollScan(Locator& l, FilePos reachedAdr) {
    if (l.interrupted || ++l.steps <= kQuietSteps || l.poll.step == nullptr) return 0;
    bool stop = false;
    if (l.poll.step(l.poll.context, l.steps == kQuietSteps + 1, reachedAdr, &stop) != 0) return 1;
    if (stop) retarget(l, reachedAdr);
    return 0;
}

void readLocation(Locator& l, PairLocation& out) {
    const ChainSegment& s = l.s;
    out = PairLocation{};
    out.pairPos = l.pairPos;
    out.interrupted = l.interrupted;
    const FilePos pairEnd = saturatedAdd(l.pairPos, kPair);
    for (int i = 0; i < s.count; ++i) {
        const ChainEntry& e = s.entries[i];
        if (e.adr < l.pairPos) {
            out.prevPtr = e.ptr;
            out.prevAdr = e.adr;
        } else if (e.adr >= pairEnd) {
            if (isEmptyPtr(out.nextPtr)) {
                out.nextPtr = e.ptr;
                out.nextAdr = e.adr;
            }
        } else {
            const int half = halfOf(e.adr, l.pairPos);
            if (half >= 0) out.jReadFlag |= half == 0 ? kFirstHalfHasRecord : kSecondHalfHasRecord;
        }
    }
}

int loadPairRecords(Locator& l) {
    for (int i = 0; i < l.s.count; ++i) {
        ChainEntry& e = l.s.entries[i];
        const int half = halfOf(e.adr, l.pairPos);
        if (half < 0 || e.loaded) continue;
        JournalRecord& copy = l.pairRecords[half];
        if (readRecord(l.jf, e.ptr, copy) != 0) return 1;
        if (copy.mainAdr != e.adr) return reportDamage(l.jf);
        e.loaded = true;
    }
    return 0;
}

}  // namespace

void segmentAroundPair(const PairLocation& known, const FilePos pairRecordPtr[2], ChainSegment& s) {
    s = ChainSegment{};
    auto add = [&s](FilePos ptr, FilePos adr) { s.entries[s.count++] = ChainEntry{ptr, adr, false}; };
    if (!isEmptyPtr(known.prevPtr)) add(known.prevPtr, known.prevAdr);
    if (known.jReadFlag & kFirstHalfHasRecord) add(pairRecordPtr[0], known.pairPos);
    if (known.jReadFlag & kSecondHalfHasRecord) add(pairRecordPtr[1], known.pairPos + kPageSize);
    if (!isEmptyPtr(known.nextPtr)) add(known.nextPtr, known.nextAdr);
    s.belowKnown = isEmptyPtr(known.prevPtr);
    s.aboveKnown = isEmptyPtr(known.nextPtr);
}

void segmentAtFirst(const JournalHeader& h, ChainSegment& s) {
    s = ChainSegment{};
    s.aboveLink = isEmptyPtr(h.first) ? kEmptyPtr : h.first;
}

void segmentAtLast(const JournalHeader& h, ChainSegment& s) {
    s = ChainSegment{};
    s.belowLink = isEmptyPtr(h.lastPtr) ? kEmptyPtr : h.lastPtr;
}

int segmentAtRecord(JournalFile& jf, FilePos ptr, FilePos limit, ChainSegment& s) {
    if (isEmptyPtr(ptr) || !isRecordPointer(ptr, jf.journalEnd)) return 1;
    // A pointer kept from an earlier run is only a hint: read it without
    // reporting, and refuse what does not fit.
    JournalFailureReporter reporter = jf.reportFailure;
    jf.reportFailure = nullptr;
    JournalRecord r;
    int result = readRecordHeader(jf, ptr, kRecordLinks, r);
    jf.reportFailure = reporter;
    if (result != 0 || !isEmptyPtr(r.nJnl) || r.mainAdr % kPageSize != 0 || r.mainAdr >= limit) return 1;
    s = ChainSegment{};
    s.entries[0] = ChainEntry{ptr, r.mainAdr, false};
    s.count = 1;
    s.belowLink = r.prevPtr;
    s.aboveLink = r.nextPtr;
    return 0;
}

int locatePair(JournalFile& jf, ChainSegment& s, FilePos pairPos, FilePos fileSize, JournalRecord pairRecords[2],
               const ScanPoll& poll, PairLocation& out) {
    Locator l{jf, pairRecords, poll, s, pairPos - pairPos % kPageSize};
    // Each step grows the segment by a record (or ends it at the chain's
    // end), so the loop ends after at most one step per record of the chain;
    // a damaged chain is caught by the order check of every step.
    bool restarted = false;
    while (true) {
        int step = 0;
        if (!belowComplete(l)) {
            step = extendBelow(l);
            if (step == 0 && pollScan(l, s.count > 0 ? s.entries[0].adr : l.pairPos) != 0) return 1;
        } else if (!aboveComplete(l)) {
            step = extendAbove(l);
            if (step == 0 && pollScan(l, s.count > 0 ? s.entries[s.count - 1].adr : l.pairPos) != 0) return 1;
        } else {
            break;
        }
        if (step == 1) return 1;
        if (step == kStale) {
            // Found once more from the chain's nearer end; a second time
            // means the chain itself is inconsistent.
            if (restarted) return reportDamage(jf);
            restarted = true;
            if (l.pairPos <= fileSize / 2)
                segmentAtFirst(jf.header, s);
            else
                segmentAtLast(jf.header, s);
        }
    }
    if (loadPairRecords(l) != 0) return 1;
    readLocation(l, out);
    return 0;
}

}  // namespace quorby
