#include "edit/undo_redo.h"

#include "journal/command_commit.h"
#include "journal/record_states.h"
#include "document/exchange_record.h"

namespace quorby {

namespace {

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

// r takes its page's place back from its older version V = r.PJnl; r's
// header is written, then the neighbours point to it.
int takePlaceFromOlder(AppState& app, JournalRecord& r) {
    if (isEmptyPtr(r.pJnl)) return writeRecordHeader(app.journal, r, kRecordLinks);
    JournalRecord v;
    if (readRecordHeader(app.journal, r.pJnl, kRecordLinks, v) != 0) return 1;
    r.mainAdr = v.mainAdr;
    r.prevPtr = v.prevPtr;
    r.nextPtr = v.nextPtr;
    v.flag = afterGivingChainPlace(v.flag);
    app.edit.chainVersionSwapped = true;
    int result = writeRecordHeader(app.journal, v, kRecordLinks);
    result |= writeRecordHeader(app.journal, r, kRecordLinks);
    return result | linkAddressNeighbours(app.journal, r, VersionScope::AllVersions);
}

int undoExchange(AppState& app, JournalRecord& r, bool mainFileChecked) {
    const bool staysInChain = isEmptyPtr(r.pJnl);
    r.flag = asExchangeUndone(r.flag, staysInChain);
    if (exchangeWithMainFile(app, r, mainFileChecked) != 0) return 1;
    app.journal.header.undo = r.pUndo;
    // The page shows its older version again, which the Main File may not hold.
    app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
    return staysInChain ? 0 : olderVersionTakesPlace(app, r);
}

int redoExchange(AppState& app, JournalRecord& r, bool mainFileChecked) {
    r.flag = asExchangeApplied(r.flag);
    if (exchangeWithMainFile(app, r, mainFileChecked) != 0) return 1;
    app.journal.header.undo = r.jAdr;
    return takePlaceFromOlder(app, r);
}

}  // namespace

int undoOne(AppState& app, bool mainFileChecked) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.undo)) return 1;
    JournalRecord r;
    if (readRecordHeader(jf, jf.header.undo, kRecordFullHeader, r) != 0) return 1;
    const std::uint32_t f = r.flag;
    app.edit.continueFlag = hasUndoGroup(f);
    if (isExchange(f)) {
        if (isExchangeInEffect(f)) return undoExchange(app, r, mainFileChecked);
        jf.header.undo = r.pUndo;
        return 0;
    }
    jf.header.undo = r.pUndo;
    // The older version the page shows now may not be in the Main File.
    jf.header.jnlFlags |= kJnlUnwrittenChanges;
    if (isUndoableStoredVersion(f)) {
        if (isEmptyPtr(r.pJnl)) {
            r.flag = afterUndoOfOnlyVersion(f);
            return writeRecordHeader(jf, r, kRecordLinks);
        }
        r.flag = afterUndoOfVersion(f);
        int result = writeRecordHeader(jf, r, kRecordLinks);
        return result | olderVersionTakesPlace(app, r);
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

bool keepPreImagesAhead(AppState& app, bool undo, std::uint64_t count, bool groupOnly) {
    JournalFile& jf = app.journal;
    if (!keepsPreImages(jf) || app.main.mainHandle == kNoFile) return false;
    bool writesMainFile = false;
    JournalRecord r;
    FilePos ptr = jf.header.undo;
    if (!undo) ptr = findRedoRecord(app, r) == 0 ? r.jAdr : kEmptyPtr;
    std::uint8_t bytes[kRecordDataSize];
    for (std::uint64_t k = 0; k < count && !isEmptyPtr(ptr); ++k) {
        // Whatever cannot be read here is left to the step itself, which reports it.
        if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0) return writesMainFile;
        if (isExchange(r.flag) && isExchangeInEffect(r.flag) == undo) {
            writesMainFile = true;
            std::uint32_t got = 0;
            if (app.files->readAt(app.main.mainHandle, r.mainAdr, bytes, r.anz, &got) != 0) return writesMainFile;
            if (keepMainFileBytes(jf, app.main.mainHandle, r.mainAdr, bytes, got) != 0) return writesMainFile;
        }
        if (groupOnly && !(undo ? hasUndoGroup(r.flag) : hasRedoGroup(r.flag))) return writesMainFile;
        ptr = undo ? r.pUndo : r.nUndo;
    }
    return writesMainFile;
}

int redoOne(AppState& app, bool mainFileChecked) {
    JournalFile& jf = app.journal;
    JournalRecord r;
    if (findRedoRecord(app, r) != 0) return 1;
    const std::uint32_t f = r.flag;
    app.edit.continueFlag = hasRedoGroup(f);
    if (isExchange(f)) {
        if (!isExchangeInEffect(f)) return redoExchange(app, r, mainFileChecked);
        jf.header.undo = r.jAdr;
        return 0;
    }
    jf.header.undo = r.jAdr;
    jf.header.jnlFlags |= kJnlUnwrittenChanges;
    if (isRedoableReplacedVersion(f)) {
        r.flag = afterRedoIntoChain(f);
        return takePlaceFromOlder(app, r);
    }
    if (isRedoableStoredVersion(f)) {
        r.flag = afterRedoOfStoredVersion(f);
        return writeRecordHeader(jf, r, kRecordLinks);
    }
    return 0;
}

}  // namespace quorby
