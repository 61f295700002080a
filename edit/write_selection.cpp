#include "edit/write_selection.h"

#include <cstring>

#include "journal/record_states.h"
#include "navigate/page_moves.h"
#include "state/progress.h"
#include "store/earlier_content.h"
#include "store/page_assembly.h"
#include "store/store_page.h"
#include "store/write_all.h"
#include "store/write_steps.h"

namespace quorby {

namespace {

struct SelectionRun {
    FilePos start = 0, end = 0;
    // The run's group marks go to the earlier-content records it appends,
    // which follow each other in the undo order (earlier_content.h); the
    // written halves keep theirs, as they stand anywhere in that order.
    EarlierContentRun earlier;
    int result = 0;
};

bool anyBitInHalf(const AppState& app, int half) {
    for (std::uint32_t i = 0; i < kChangeMapSize; ++i)
        if (app.view.changedBits[half * kChangeMapSize + i] != 0) return true;
    return false;
}

// With "Undo for all Changes" the remaining changes of a half get a version
// of their own; the written state goes to that version.
int splitIntoNewVersion(AppState& app, int half) {
    JournalFile& jf = app.journal;
    JournalRecord& old = app.records.jData[half];
    JournalRecord added = old;
    added.pUndo = added.nUndo = kEmptyPtr;
    added.flag = asSplitNew(old.flag);
    std::memcpy(added.data, app.view.pageBuffer + half * kPageSize, kRecordDataSize);
    std::memcpy(added.changeMap, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);
    old.flag = asSplitOld(old.flag);
    if (appendRecord(jf, added) != 0) return 1;
    int result = linkNewerVersion(jf, old, added);
    result |= linkAddressNeighbours(jf, added, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, added);
    old = added;
    followPairLinks(app, half);
    return result;
}

// One half of the loaded pair; false when it was skipped.
int writeHalf(AppState& app, int half, SelectionRun& run) {
    std::uint32_t from = 0, to = 0;
    if (!halfHasRecord(app, half) || !selectedPartOfHalf(app, half, run.start, run.end, &from, &to)) return 0;
    if (!anyChangedIn(app, half, from, to)) return 0;
    JournalFile& jf = app.journal;
    JournalRecord& r = app.records.jData[half];
    const FilePos halfPos = app.view.pagePos + FilePos(half) * kPageSize;
    if (refreshStoredLinks(jf, r) != 0) return 1;
    // The earlier content is safe on disk before anything of the half changes.
    if (needsEarlierContent(app, r)) {
        if (saveEarlierContent(app, r, run.earlier) != 0) return 1;
        if (commitJournalHeader(jf) != 0) return 1;
    } else if (clearRestoreMarks(app, r) != 0) {
        return 1;
    }
    clearChangedIn(app, half, from, to);
    if (anyBitInHalf(app, half)) {
        if (app.settings.undoOptions & kUndoEveryChange) {
            if (splitIntoNewVersion(app, half) != 0) return 1;
        } else {
            std::memcpy(r.changeMap, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);
            r.flag = asPartlyWritten(r.flag);
        }
    } else {
        r.flag = asSelectionWritten(r.flag);
    }
    JournalRecord& current = app.records.jData[half];
    if (writeRecordHeader(jf, current, kRecordFullHeader) != 0) return 1;
    return writeHalfRangeIntoMain(app, halfPos, app.view.pageBuffer + half * kPageSize, from, to);
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
    loadPagePair(app, run.start & ~FilePos{kPageSize - 1});
    v.viewOffset = 0;
    startProgress(app, kTitleWriteHighlightedData);
    for (;;) {
        for (int half = 0; half < 2; ++half) run.result |= writeHalf(app, half, run);
        FilePos next = 0;
        if (!nextChangedPage(app, run.end, &next)) break;
        if (pollProgress(app)) break;
        loadPagePair(app, next);
        v.viewOffset = 0;
    }
    run.result |= finishEarlierContentRun(app, run.earlier);
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
