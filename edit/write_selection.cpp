#include "edit/write_selection.h"

#include <cstring>

#include "edit/changed_pairs_walk.h"
#include "journal/record_states.h"
#include "navigate/page_moves.h"
#include "state/progress.h"
#include "document/exchange_record.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "edit/write_all.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

struct SelectionRun {
    FilePos start = 0, end = 0;
    HistoryGroup group;
    int result = 0;
};

// The changes of the half that stay unwritten get a version of their own on
// top of the exchange, so the view keeps showing them; it never takes a
// later store in place (journal/record_states.h, H4).
int appendRemainingVersion(AppState& app, int half, JournalRecord& x, HistoryGroup& group) {
    JournalFile& jf = app.journal;
    JournalRecord v;
    v.mainAdr = x.mainAdr;
    v.prevPtr = x.prevPtr;
    v.nextPtr = x.nextPtr;
    v.anz = x.anz;
    v.flag = kStateStoredVersion | kFlagAppendNext | kFlagNotInUndoOrder;
    std::memcpy(v.data, app.view.pageBuffer + half * kPageSize, kRecordDataSize);
    std::memcpy(v.changeMap, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);
    joinHistoryGroup(group, v);
    if (appendRecord(jf, v) != 0) return 1;
    int result = linkNewerVersion(jf, x, v);
    result |= linkAddressNeighbours(jf, v, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, v);
    if (result == 0) noteInHistoryGroup(group, v);
    x = v;
    return result;
}

// The selected bytes of one half of the loaded pair that differ from the
// Main File go there; the Main File's bytes from before are kept as an
// exchange first (undoOptions 0: not kept).
int writeHalf(AppState& app, int half, SelectionRun& run) {
    std::uint32_t from = 0, to = 0;
    if (!halfHasRecord(app, half) || !selectedPartOfHalf(app, half, run.start, run.end, &from, &to)) return 0;
    JournalFile& jf = app.journal;
    JournalRecord& r = app.records.jData[half];
    if (!holdsContentToWrite(r.flag)) return 0;
    const FilePos halfPos = app.view.pagePos + FilePos(half) * kPageSize;
    const std::uint8_t* shown = app.view.pageBuffer + half * kPageSize;
    if (refreshStoredLinks(jf, r) != 0) return 1;
    JournalRecord x;
    if (readExchange(app, halfPos, r.anz, &r, kEmptyPtr, kEmptyPtr, x) != 0) return 1;
    if (std::memcmp(x.data + from, shown + from, to - from) == 0) return 0;
    const bool keep = app.settings.undoOptions != 0;
    if (keep && appendExchange(app, x) != 0) return 1;
    if (writeHalfRangeIntoMain(app, halfPos, shown, from, to) != 0) return 1;
    std::uint8_t written[kRecordDataSize];
    std::memcpy(written, x.data, kRecordDataSize);
    std::memcpy(written + from, shown + from, to - from);
    clearChangedIn(app, half, from, to);
    const bool remaining = std::memcmp(written, shown, r.anz) != 0;
    if (!keep) {
        // Nothing kept: the half shows the Main File once nothing differs.
        if (!remaining) r.flag = showingMainFile(r.flag);
        std::memcpy(r.changeMap, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);
        return writeRecordHeader(jf, r, kRecordFullHeader);
    }
    if (linkExchange(app, x, &r, run.group) != 0) return 1;
    if (remaining && appendRemainingVersion(app, half, x, run.group) != 0) return 1;
    r = x;
    followPairLinks(app, half);
    return 0;
}

}  // namespace

int writeSelection(AppState& app, bool fromSavePage) {
    if (app.main.mainHandle == kNoFile || app.journal.handle == kNoFile) return 1;
    ViewState& v = app.view;
    if (v.selectionActive == 0 || v.selectionEnd <= v.selectionStart) return 1;
    if (!fromSavePage && declinedQuestion(app, kMsgSaveFileQuestion, "Write File?",
                                          "Shall the highlighted Changes be written into the Main File?"))
        return 1;
    if (reopenForWriting(app) != 0) return 1;

    SelectionRun run;
    run.start = v.selectionStart;
    run.end = v.selectionEnd;
    startProgress(app, kTitleWriteHighlightedData);
    run.result |= walkChangedPairs(app, run.start, run.end, [&] {
        for (int half = 0; half < 2; ++half) run.result |= writeHalf(app, half, run);
    });
    run.result |= closeHistoryGroup(app.journal, run.group);
    showPairAfterWriting(app);
    return run.result;
}

int savePage(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    if (declinedQuestion(app, kMsgSavePage, "Save Page ?", "Shall the actual Page be written to File ?")) {
        dropPageChanges(app);
        app.edit.pageRefused = true;
        showPairAfterWriting(app);  // the view no longer shows the dropped bytes
        return 1;
    }
    if (reopenForWriting(app) != 0) return 1;
    if (pageIsDirty(app) && storePage(app) != 0 && app.edit.pageRefused) return 1;
    int result = 0;
    if ((app.records.jReadFlag & (kFirstHalfHasRecord | kSecondHalfHasRecord)) != 0)
        result = runOnShownBytes(app, [](AppState& a) { return writeSelection(a, true); });
    showPairAfterWriting(app);
    return result;
}

}  // namespace quorby
