#include "edit/restore_original.h"

#include "journal/record_states.h"
#include "state/edit_state.h"
#include "state/progress.h"
#include "store/page_assembly.h"
#include "store/store_page.h"
#include "store/write_all.h"
#include "store/write_steps.h"

namespace quorby {

namespace {

// Writes the version's data into the Main File; with "Undo for all
// Changes" a copy of it joins the undo order as the newest entry. The copy
// stands outside the version chain and the address chain.
int restoreVersion(AppState& app, const JournalRecord& v) {
    JournalFile& jf = app.journal;
    std::uint8_t data[kRecordDataSize];
    if (readRecordData(jf, v.jAdr, data) != 0) return 1;
    int result = writeHalfRangeIntoMain(app, v.mainAdr, data, 0, v.anz);
    if ((app.settings.undoOptions & kUndoEveryChange) == 0) return result;
    JournalRecord copy = v;
    for (std::uint32_t i = 0; i < kRecordDataSize; ++i) copy.data[i] = data[i];
    copy.pJnl = copy.nJnl = kEmptyPtr;
    copy.flag = newRestoreCopy(v.flag);
    if (appendRecord(jf, copy) != 0) return 1;
    return result | linkUndoEntry(jf, copy);
}

// Every version of the page of chain record `r`, from the newest (redo
// versions included) to the oldest.
int restorePage(AppState& app, const JournalRecord& r) {
    JournalFile& jf = app.journal;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    FilePos ptr = r.jAdr;
    JournalRecord v;
    for (std::uint64_t steps = 0;; ++steps) {
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordLinks, v) != 0) return 1;
        if (isEmptyPtr(v.nJnl)) break;
        ptr = v.nJnl;
    }
    int result = 0;
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordFullHeader, v) != 0) return 1;
        ptr = v.pJnl;
        const bool skip = skippedByRestore(v.flag);
        v.flag = asRestoreVisited(v.flag);
        if (writeRecordHeader(jf, v, kRecordLinks) != 0) return 1;
        if (!skip) result |= restoreVersion(app, v);
    }
    return result;
}

}  // namespace

int restoreOriginalFile(AppState& app) {
    JournalFile& jf = app.journal;
    if (app.main.mainHandle == kNoFile || jf.handle == kNoFile) return 1;
    // Typed changes of the shown page are stored first, so they are restored too.
    if (pageIsDirty(app) && storePage(app) != 0 && app.edit.pageRefused) return 1;
    if (isEmptyPtr(jf.header.undo) && isEmptyPtr(jf.header.firstUndo)) return 1;
    if (reopenForWriting(app) != 0) return 1;
    startProgress(app, kTitleRestoreOriginal);
    int result = 0;
    FilePos ptr = jf.header.first;
    FilePos lastAdr = 0;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord r;
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordLinks, r) != 0 || (steps > 0 && r.mainAdr <= lastAdr)) {
            result = 1;
            break;
        }
        lastAdr = r.mainAdr;
        result |= restorePage(app, r);
        if (readRecordHeader(jf, r.jAdr, kRecordLinks, r) != 0) {
            result = 1;
            break;
        }
        r.flag = asRestored(r.flag);
        result |= writeRecordHeader(jf, r, kRecordLinks);
        ptr = r.nextPtr;
        if (pollProgress(app)) break;
    }
    showPairAfterWriting(app);
    return result;
}

}  // namespace quorby
