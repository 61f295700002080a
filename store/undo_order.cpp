#include "store/undo_order.h"

namespace quorby {

bool isLinkedUndoEntry(JournalFile& jf, const JournalRecord& r) {
    JournalRecord neighbour;
    if (isEmptyPtr(r.pUndo)) {
        if (jf.header.firstUndo != r.jAdr) return false;
    } else {
        if (readRecordHeader(jf, r.pUndo, kRecordLinks, neighbour) != 0) return false;
        if (neighbour.nUndo != r.jAdr) return false;
    }
    if (isEmptyPtr(r.nUndo)) return true;
    if (readRecordHeader(jf, r.nUndo, kRecordLinks, neighbour) != 0) return false;
    return neighbour.pUndo == r.jAdr;
}

int makeNewestUndoEntry(JournalFile& jf, JournalRecord& r) {
    if (jf.header.undo == r.jAdr) {
        // Already the newest entry: only the entries after it (the redo
        // list) are dropped, as by any new change.
        r.nUndo = kEmptyPtr;
        r.flag &= ~kFlagNotInUndoOrder;
        return writeRecordHeader(jf, r, kRecordLinks);
    }
    if (isLinkedUndoEntry(jf, r)) return moveUndoEntryToNewest(jf, r);
    return linkUndoEntry(jf, r);
}

}  // namespace quorby
