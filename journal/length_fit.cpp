#include "journal/length_fit.h"

#include <cstring>

namespace quorby {

namespace {

// Every version of the page whose record in the address chain is at
// `chainPtr` (older ones along PJnl, newer ones along NJnl) holds `anz`
// bytes: bytes beyond are dropped, bytes added are zeros, as the Main File
// has them. So no version, shown again by an undo or written back by a
// restore, brings bytes from beyond an end the file once had. The chain's
// own record is the end of the address chain when the file ends in it.
int fitVersion(JournalFile& jf, FilePos ptr, std::uint32_t anz, bool chainEnd, FilePos* older, FilePos* newer) {
    JournalRecord r;
    if (readRecord(jf, ptr, r) != 0) return 1;
    *older = r.pJnl;
    *newer = r.nJnl;
    if (r.anz > anz) {
        std::memset(r.data + anz, 0, r.anz - anz);
        for (std::uint32_t k = anz; k < r.anz; ++k) r.changeMap[k / 8] &= std::uint8_t(~(1u << (k % 8)));
    } else {
        std::memset(r.data + r.anz, 0, anz - r.anz);
    }
    r.anz = anz;
    if (chainEnd) r.nextPtr = kEmptyPtr;
    return writeRecord(jf, r);
}

int fitEveryVersion(JournalFile& jf, FilePos chainPtr, std::uint32_t anz) {
    const bool chainEnd = anz < std::uint32_t(kPageSize);
    FilePos older = kEmptyPtr, newer = kEmptyPtr, next = kEmptyPtr;
    int result = fitVersion(jf, chainPtr, anz, chainEnd, &older, &newer);
    for (FilePos ptr = older; !isEmptyPtr(ptr) && result == 0; ptr = next) {
        FilePos ignored;
        result = fitVersion(jf, ptr, anz, false, &next, &ignored);
    }
    for (FilePos ptr = newer; !isEmptyPtr(ptr) && result == 0; ptr = next) {
        FilePos ignored;
        result = fitVersion(jf, ptr, anz, false, &ignored, &next);
    }
    return result;
}

}  // namespace

int cutJournalAt(JournalFile& jf, FilePos newSize) {
    JournalRecord last;
    if (isEmptyPtr(jf.header.lastPtr)) return 0;
    if (readRecordHeader(jf, jf.header.lastPtr, kRecordLinks, last) != 0) return 1;
    if (last.mainAdr >= newSize) {
        if (cutAddressChain(jf, newSize) != 0) return 1;
        jf.header.undo = kEmptyPtr;
        jf.header.firstUndo = kEmptyPtr;
    }
    FilePos endPtr = kEmptyPtr;
    JournalRecord end;
    if (findPredecessor(jf, newSize, &endPtr, &end) != 0) return 1;
    if (isEmptyPtr(endPtr) || end.mainAdr + kPageSize <= newSize) return 0;
    return fitEveryVersion(jf, endPtr, std::uint32_t(newSize - end.mainAdr));
}

int extendEndRecord(JournalFile& jf, FilePos oldSize, FilePos newSize) {
    FilePos endPtr = kEmptyPtr;
    JournalRecord end;
    if (findPredecessor(jf, oldSize, &endPtr, &end) != 0) return 1;
    if (isEmptyPtr(endPtr) || end.mainAdr + end.anz != oldSize || end.anz >= std::uint32_t(kPageSize)) return 0;
    const FilePos count = newSize - end.mainAdr;
    return fitEveryVersion(jf, endPtr, count < FilePos(kPageSize) ? std::uint32_t(count) : std::uint32_t(kPageSize));
}

}  // namespace quorby
