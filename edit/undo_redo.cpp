#include "edit/undo_redo.h"

#include "journal/record_states.h"
#include "store/main_file_bytes.h"

namespace quorby {

namespace {

bool modeSet(const AppState& app, std::uint32_t bit) { return (app.shell.modeFlags & bit) != 0; }

// Inside a group: remember where the group began before Undo moves.
void startGroupRun(AppState& app) {
    if (modeSet(app, kModeGroupUndoStarted)) return;
    app.edit.savedUndo = app.journal.header.undo;
    app.shell.modeFlags |= kModeGroupUndoStarted;
}

// Writes the data of the record at `from` into the Main File at r.MainAdr.
int writeVersionIntoMain(AppState& app, const JournalRecord& r, FilePos from) {
    std::uint8_t data[kRecordDataSize];
    if (readRecordData(app.journal, from, data) != 0) return 1;
    return writeMainBytes(app, r.mainAdr, data, r.anz);
}

// Exchanges r's data with the Main File's present bytes: r's data go into
// the Main File, then r's header (with its new Flag) and the Main File's
// former bytes become the record.
int exchangeWithMain(AppState& app, JournalRecord& r) {
    if (readRecordData(app.journal, r.jAdr, r.data) != 0) return 1;
    std::uint8_t former[kRecordDataSize];
    std::uint32_t got = 0;
    int result = readMainBytes(app, r.mainAdr, former, r.anz, &got);
    if (result != 0) return 1;   // never overwrite bytes that could not be saved
    result |= writeMainBytes(app, r.mainAdr, r.data, r.anz);
    for (std::uint32_t i = 0; i < kRecordDataSize; ++i) r.data[i] = former[i];
    return result | writeRecord(app.journal, r);
}

// The older version V = r.PJnl takes r's place in the address chain.
int olderVersionTakesPlace(AppState& app, const JournalRecord& r) {
    JournalRecord v;
    if (readRecordHeader(app.journal, r.pJnl, kRecordLinks, v) != 0) return 1;
    v.mainAdr = r.mainAdr;
    v.prevPtr = r.prevPtr;
    v.nextPtr = r.nextPtr;
    v.flag = afterTakingChainPlace(v.flag);
    app.edit.chainVersionSwapped = true;
    int result = writeRecordHeader(app.journal, v, kRecordLinks);
    return result | linkAddressNeighbours(app.journal, v, VersionScope::AllVersions);
}

// r takes its page's place back from its older version V = r.PJnl. r's
// header (64 bytes) is written by the caller before the neighbours are linked.
int takePlaceFromOlder(AppState& app, JournalRecord& r) {
    if (isEmptyPtr(r.pJnl)) return 0;
    JournalRecord v;
    if (readRecordHeader(app.journal, r.pJnl, kRecordLinks, v) != 0) return 1;
    r.mainAdr = v.mainAdr;
    r.prevPtr = v.prevPtr;
    r.nextPtr = v.nextPtr;
    v.flag = afterGivingChainPlace(v.flag);
    app.edit.chainVersionSwapped = true;
    return writeRecordHeader(app.journal, v, kRecordLinks);
}

int relinkAfterTakingPlace(AppState& app, JournalRecord& r) {
    int result = writeRecordHeader(app.journal, r, kRecordLinks);
    if (!isEmptyPtr(r.pJnl)) result |= linkAddressNeighbours(app.journal, r, VersionScope::AllVersions);
    return result;
}

// True when the undo entry at `ptr` holds a version written into the Main File.
bool writtenEntry(AppState& app, FilePos ptr) {
    JournalRecord e;
    if (isEmptyPtr(ptr) || readRecordHeader(app.journal, ptr, kRecordLinks, e) != 0) return false;
    return isWrittenVersion(e.flag);
}

// Undo of a record whose version has reached the Main File: the newest older
// version that still holds the earlier content goes back into the Main File.
int takeBackWrite(AppState& app, JournalRecord& r, std::uint32_t f) {
    JournalFile& jf = app.journal;
    int result = 0;
    FilePos ptr = r.pJnl;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    bool found = false;
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr) && steps < limit; ++steps) {
        JournalRecord v;
        if (readRecordHeader(jf, ptr, kRecordFullHeader, v) != 0) return 1;
        if (holdsEarlierMainContent(v.flag)) {
            result |= writeVersionIntoMain(app, r, v.jAdr);
            v.flag = asWrittenBack(v.flag);
            result |= writeRecordHeader(jf, v, kRecordFullHeader);
            found = true;
            break;
        }
        ptr = v.pJnl;
    }
    // Without an earlier content (undo was deactivated when it was written)
    // the write cannot be taken back; the record leaves the written state
    // all the same.
    f = afterWriteTakenBack(f);
    r.flag = f;
    result |= writeRecordHeader(jf, r, kRecordLinks);
    // The page's journal version is no longer in the Main File.
    if (found) jf.header.jnlFlags |= kJnlUnwrittenChanges;
    if (!hasUndoGroup(f) || modeSet(app, kModeRedoAllRunning) || !writtenEntry(app, r.pUndo)) {
        // The oldest written record of a group: the writes of the whole
        // group are taken back, and the next undo starts again at the
        // group's newest record to take back the records themselves. (A
        // group mark that leads to a record that is not written ends the
        // run as well: the run never passes over other changes.)
        if (modeSet(app, kModeGroupUndoStarted)) {
            jf.header.undo = app.edit.savedUndo;
            app.shell.modeFlags &= ~kModeGroupUndoStarted;
        }
        return result;
    }
    startGroupRun(app);
    jf.header.undo = r.pUndo;
    return result;
}

}  // namespace

int undoOne(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.undo)) return 1;
    JournalRecord r;
    if (readRecordHeader(jf, jf.header.undo, kRecordFullHeader, r) != 0) return 1;
    std::uint32_t f = r.flag;
    if (app.edit.continueFlag) f = withRedoGroup(f);
    app.edit.continueFlag = hasUndoGroup(f);
    r.flag = f;

    if (isWrittenVersion(f)) return takeBackWrite(app, r, f);

    jf.header.undo = r.pUndo;
    if (isUndoableStoredVersion(f)) {
        if (isEmptyPtr(r.pJnl)) {
            r.flag = afterUndoOfOnlyVersion(f);
            return writeRecordHeader(jf, r, kRecordLinks);
        }
        r.flag = afterUndoOfVersion(f);
        int result = writeRecordHeader(jf, r, kRecordLinks);
        return result | olderVersionTakesPlace(app, r);
    }
    if (concernsMainFileContent(f)) {
        if (isUndoableDirectSave(f)) {
            r.flag = afterDirectSaveUndo(f);
            return exchangeWithMain(app, r);
        }
        if (isUndoableExchange(f)) {
            r.flag = showingMainFile(f);
            return writeRecordHeader(jf, r, kRecordLinks);
        }
        return 0;
    }
    r.flag = afterUndo(f);
    return writeRecordHeader(jf, r, kRecordLinks);
}

int findRedoRecord(AppState& app, JournalRecord& out) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile) return 1;
    FilePos next = jf.header.firstUndo;
    if (!isEmptyPtr(jf.header.undo)) {
        JournalRecord at;
        if (readRecordHeader(jf, jf.header.undo, kRecordLinks, at) != 0) return 1;
        next = at.nUndo;
    }
    if (isEmptyPtr(next)) return 1;
    return readRecordHeader(jf, next, kRecordFullHeader, out);
}

int redoOne(AppState& app) {
    JournalFile& jf = app.journal;
    JournalRecord r;
    if (findRedoRecord(app, r) != 0) return 1;
    const std::uint32_t f = r.flag;
    const std::uint32_t t = redoTestState(f);
    app.edit.continueFlag = hasRedoGroup(f);

    if (isRedoableTakenBackVersion(t)) {
        int result = takePlaceFromOlder(app, r);
        r.flag = afterRedoIntoChain(f);
        result |= relinkAfterTakingPlace(app, r);
        if (hasRedoGroup(r.flag) && !modeSet(app, kModeRedoAllRunning)) {
            startGroupRun(app);
            jf.header.undo = r.jAdr;
        }
        return result;
    }
    jf.header.undo = r.jAdr;
    if (isWriteTakenBack(t)) {
        int result = writeVersionIntoMain(app, r, r.jAdr);
        r.flag = afterRedoWrite(f);
        return result | writeRecordHeader(jf, r, kRecordLinks);
    }
    if (isRedoableReplacedVersion(t)) {
        int result = takePlaceFromOlder(app, r);
        r.flag = afterRedoIntoChain(f);
        return result | relinkAfterTakingPlace(app, r);
    }
    if (isRedoableStoredVersion(t)) {
        r.flag = afterRedoOfStoredVersion(f);
        return writeRecordHeader(jf, r, kRecordLinks);
    }
    if (isRedoableDirectSave(t)) {
        r.flag = afterDirectSaveRedo(t);
        return exchangeWithMain(app, r);
    }
    if (isRedoableExchange(t)) {
        r.flag = afterExchangeRedo(f);
        int result = writeRecordHeader(jf, r, kRecordLinks);
        return result | exchangeWithMain(app, r);
    }
    return 0;
}

}  // namespace quorby
