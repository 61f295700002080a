#include "journal/journal_overlay.h"

#include <cstring>

#include "journal/journal_format.h"

namespace quorby {
namespace {

// The fields of a record the overlay needs, read in place.
struct RecordView {
    FilePos mainAdr = 0;
    FilePos prevPtr = kEmptyPtr;
    FilePos nextPtr = kEmptyPtr;
    std::uint32_t anz = 0;
    std::uint32_t flag = 0;
    const std::uint8_t* data = nullptr;
};

// Records that follow each other in the chain often follow each other in the
// file too (pages changed in address order), so records are read in windows
// of whole records in the walk's direction: 6 records, doubling up to 102
// (64 KiB) while the walk keeps finding the next record just beyond the
// window. The window's bytes live as long as the caller's token and no
// write to the Journal File: between blocks other commands may rewrite
// records. What is learnt for a fresh start is the size: when a block's
// records came in long runs, the next fresh window fits as many and two
// more, and no more, since every byte read costs a copy.


void beginBlock(JournalOverlayWindow& w, const JournalFile& jf, std::uint64_t token) {
    w.fills = w.records = 0;
    if (token != 0 && token == w.token && w.owner == &jf && w.changeCount == jf.changeCount) return;
    w.length = 0;
    w.nextSize = w.startSize;
}

void endBlock(JournalOverlayWindow& w, const JournalFile& jf, std::uint64_t token) {
    w.owner = &jf;
    w.token = token;
    w.changeCount = jf.changeCount;
    if (w.fills == 0) return;  // all from a window read before: nothing learnt
    std::uint32_t size = JournalOverlayWindow::kFirstSize;
    if (w.records >= 4 * w.fills) {
        const std::uint64_t wanted = std::uint64_t(w.records + 2) * kJournalRecordSize;
        size = std::uint32_t(wanted < JournalOverlayWindow::kSize ? wanted : JournalOverlayWindow::kSize);
    }
    w.startSize = size;
}

bool fillWindow(JournalOverlayWindow& w, JournalFile& jf, FilePos ptr, bool forward) {
    const bool adjacent = w.length != 0 && (forward ? ptr == w.start + w.length : ptr + kJournalRecordSize == w.start);
    if (w.length != 0) {
        const std::uint32_t doubled = w.nextSize < JournalOverlayWindow::kSize / 2 ? w.nextSize * 2 : JournalOverlayWindow::kSize;
        w.nextSize = adjacent ? doubled : JournalOverlayWindow::kFirstSize;
    }
    FilePos from = ptr;
    FilePos to = ptr + w.nextSize;
    if (!forward) {
        to = ptr + kJournalRecordSize;
        from = to > kJournalHeaderSize + w.nextSize ? to - w.nextSize : kJournalHeaderSize;
    }
    if (to > jf.journalEnd) to = jf.journalEnd;
    w.length = 0;
    std::uint32_t done = 0;
    if (from >= to || readJournalSpan(jf, from, w.bytes, std::uint32_t(to - from), &done) != 0 ||
        done != to - from) {
        return false;
    }
    w.start = from;
    w.length = done;
    ++w.fills;
    return true;
}

int readRecordNear(JournalOverlayWindow& w, JournalFile& jf, FilePos ptr, bool forward, RecordView& v) {
    const bool inWindow = ptr >= w.start && ptr - w.start + kJournalRecordSize <= w.length;
    if (!inWindow && !fillWindow(w, jf, ptr, forward)) {
        // Read the record on its own, so that a failure is reported as a record read.
        if (readRecord(jf, ptr, w.single) != 0) return 1;
        v = {w.single.mainAdr, w.single.prevPtr, w.single.nextPtr, w.single.anz, w.single.flag, w.single.data};
        return 0;
    }
    ++w.records;
    const std::uint8_t* at = w.bytes + (ptr - w.start);
    v.mainAdr = loadU64(at + kRecMainAdr);
    v.prevPtr = loadU64(at + kRecPrevPtr);
    v.nextPtr = loadU64(at + kRecNextPtr);
    v.anz = loadU32(at + kRecAnz);
    v.flag = loadU32(at + kRecFlag);
    v.data = at + kRecData;
    return 0;
}

// Copies the part of the record's page that lies in the block. A backward
// block that ends at the file's end need not begin on a page boundary, so a
// page may stick out of the block on either side.
void layOver(const RecordView& r, FilePos blockStart, std::uint8_t* block, std::uint32_t count,
             const OverlayLaid& laid) {
    if (r.flag & kFlagShowMainFile) return;
    const FilePos pageEnd = r.mainAdr + (r.anz < kRecordDataSize ? r.anz : kRecordDataSize);
    const FilePos blockEnd = blockStart + count;
    const FilePos from = r.mainAdr > blockStart ? r.mainAdr : blockStart;
    const FilePos to = pageEnd < blockEnd ? pageEnd : blockEnd;
    if (from >= to) return;
    std::memcpy(block + (from - blockStart), r.data + (from - r.mainAdr), std::size_t(to - from));
    if (laid.laid) laid.laid(laid.context, std::uint32_t(from - blockStart), std::uint32_t(to - from));
}

}  // namespace

int overlayJournalChanges(JournalFile& jf, JournalOverlayWindow& window, FilePos& chainPos, bool forward,
                          FilePos blockStart, std::uint8_t* block, std::uint32_t count, std::uint64_t windowToken,
                          OverlayLaid laid) {
    const FilePos blockEnd = blockStart + count;
    // Where the next block of this direction begins (forward) or ends (backward).
    const FilePos nextForwardStart = blockEnd - (count < kRecordDataSize ? count : kRecordDataSize);
    const FilePos nextBackwardLimit = blockStart + kRecordDataSize;

    RecordView r;
    beginBlock(window, jf, windowToken);
    FilePos ptr = chainPos;
    FilePos kept = kEmptyPtr;
    bool keptSet = false;
    bool havePrevious = false;
    FilePos previousAdr = 0;
    int result = 0;
    while (!isEmptyPtr(ptr)) {
        if (!isRecordPointer(ptr, jf.journalEnd) || readRecordNear(window, jf, ptr, forward, r) != 0) {
            result = 1;
            break;
        }
        if (havePrevious && (forward ? r.mainAdr <= previousAdr : r.mainAdr >= previousAdr)) {
            result = 1;  // out of order: the chain is damaged
            break;
        }
        havePrevious = true;
        previousAdr = r.mainAdr;
        if (forward) {
            if (!keptSet && r.mainAdr >= nextForwardStart) {
                kept = ptr;
                keptSet = true;
            }
            if (r.mainAdr >= blockEnd) break;
            layOver(r, blockStart, block, count, laid);
            ptr = r.nextPtr;
        } else {
            if (!keptSet && r.mainAdr < nextBackwardLimit) {
                kept = ptr;
                keptSet = true;
            }
            if (r.mainAdr + kRecordDataSize <= blockStart) break;
            layOver(r, blockStart, block, count, laid);
            ptr = r.prevPtr;
        }
    }
    endBlock(window, jf, windowToken);
    // After a failure the walk is over: the following blocks do not meet
    // (and report) the same failure again.
    chainPos = result == 0 && keptSet ? kept : kEmptyPtr;
    return result;
}

}  // namespace quorby
