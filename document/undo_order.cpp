#include "document/undo_order.h"

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
        // list) are dropped, as by any new change. Stored again, it is an
        // entry of its own: the group it ended ends one record earlier.
        r.nUndo = kEmptyPtr;
        r.flag &= ~kFlagNotInUndoOrder;
        int result = 0;
        if (!isEmptyPtr(r.pUndo)) {
            JournalRecord older;
            if (readRecordHeader(jf, r.pUndo, kRecordLinks, older) != 0) return 1;
            if (older.flag & kFlagRedoGroup) {
                older.flag &= ~kFlagRedoGroup;
                result |= writeRecordHeader(jf, older, kRecordLinks);
            }
        }
        return result | writeRecordHeader(jf, r, kRecordLinks);
    }
    if (isLinkedUndoEntry(jf, r)) return moveUndoEntryToNewest(jf, r);
    return linkUndoEntry(jf, r);
}

}  // namespace quorby
