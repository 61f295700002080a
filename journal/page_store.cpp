#include "journal/page_store.h"

#include "journal/record_states.h"

namespace quorby {

int appendHalfVersion(JournalFile& jf, JournalRecord& present, JournalRecord& added) {
    // The new version takes the caller's group marks; the present one keeps its own.
    const std::uint32_t marks = added.flag & kGroupMarks;
    if (readRecordHeader(jf, present.jAdr, kRecordLinks, present) != 0) return 1;
    present.flag = asOlderVersion(present.flag);
    added.mainAdr = present.mainAdr;
    added.prevPtr = present.prevPtr;
    added.nextPtr = present.nextPtr;
    added.pJnl = present.jAdr;
    added.nJnl = present.nJnl;
    added.flag = newStoredVersion((present.flag & ~kGroupMarks) | marks);
    if (appendRecord(jf, added) != 0) return 1;
    int result = linkNewerVersion(jf, present, added);
    result |= linkAddressNeighbours(jf, added, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, added);
    return result;
}

int overwriteNewestInPlace(JournalFile& jf, JournalRecord& newest) {
    if (refreshStoredLinks(jf, newest) != 0) return 1;
    newest.flag = afterStoreInPlace(newest.flag);
    const int result = makeNewestUndoEntry(jf, newest);
    return result | writeRecord(jf, newest);
}

int markShowingMainFile(JournalFile& jf, JournalRecord& r) {
    if (readRecordHeader(jf, r.jAdr, kRecordLinks, r) != 0) return 1;
    r.flag = showingMainFile(r.flag);
    return writeRecordHeader(jf, r, kRecordLinks);
}

int appendExchangeRecord(JournalFile& jf, JournalRecord& x, JournalRecord* present) {
    if (present) {
        if (refreshStoredLinks(jf, *present) != 0) return 1;
        x.prevPtr = present->prevPtr;
        x.nextPtr = present->nextPtr;
    }
    return appendRecord(jf, x);
}

int linkExchangeRecord(JournalFile& jf, JournalRecord& x, JournalRecord* present) {
    int result = 0;
    if (present) {
        // The record as stored: the caller's copy may carry the marks of typing.
        JournalRecord older;
        if (readRecordHeader(jf, present->jAdr, kRecordLinks, older) != 0) return 1;
        x.prevPtr = older.prevPtr;
        x.nextPtr = older.nextPtr;
        result |= linkNewerVersion(jf, older, x);
        present->nJnl = older.nJnl;
    }
    result |= linkAddressNeighbours(jf, x, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, x);
    return result;
}

bool oldestExchangeData(JournalFile& jf, const JournalRecord& chainRecord, std::uint8_t out[kRecordDataSize],
                        int* failed) {
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    FilePos oldest = kEmptyPtr;
    FilePos ptr = chainRecord.jAdr;
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord v;
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordLinks, v) != 0) {
            *failed = 1;
            return false;
        }
        if (isExchangeInEffect(v.flag)) oldest = v.jAdr;
        ptr = v.pJnl;
    }
    if (isEmptyPtr(oldest)) return false;
    if (readRecordData(jf, oldest, out) != 0) {
        *failed = 1;
        return false;
    }
    return true;
}

int endHistoryGroupAt(JournalFile& jf, FilePos last) {
    JournalRecord r;
    if (readRecordHeader(jf, last, kRecordLinks, r) != 0) return 1;
    r.flag = withoutRedoGroup(r.flag);
    return writeRecordHeader(jf, r, kRecordLinks);
}

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
