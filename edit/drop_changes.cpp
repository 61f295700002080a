#include "edit/drop_changes.h"

#include <cstring>

#include "edit/changed_pairs_walk.h"
#include "journal/record_states.h"
#include "navigate/page_moves.h"
#include "state/progress.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "edit/write_all.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

struct DropRun {
    FilePos start = 0, end = 0;
    bool firstHalfDone = false;
    int result = 0;
};

// The selected bytes of a half that has a record take the Main File's
// content; the half is marked dirty when a changed byte was among them.
void dropHalf(AppState& app, int half, DropRun& run) {
    std::uint32_t from = 0, to = 0;
    if (!halfHasRecord(app, half) || !selectedPartOfHalf(app, half, run.start, run.end, &from, &to)) return;
    const FilePos halfPos = app.view.pagePos + FilePos(half) * kPageSize;
    std::uint8_t present[kRecordDataSize];
    std::uint32_t got = 0;
    if (readMainBytes(app, halfPos + from, present, to - from, &got) != 0 || got != to - from) {
        run.result = 1;
        return;
    }
    // Only bytes that differ from the Main File are changes to drop.
    if (std::memcmp(present, app.view.pageBuffer + half * kPageSize + from, to - from) == 0) return;
    for (std::uint32_t i = from; i < to; ++i) app.view.pageBuffer[half * kPageSize + i] = present[i - from];
    clearChangedIn(app, half, from, to);
    // The stored halves of one run form one undo group.
    JournalRecord& r = app.records.jData[half];
    r.flag = withoutGroupMarks(r.flag);
    if (run.firstHalfDone) r.flag = withUndoGroup(r.flag);
    run.firstHalfDone = true;
    app.view.halfDirty[half] = true;
}

// The redo mark of every dropped half but the last: set on the stored
// record once the next dropped half is known.
int markRedoGroup(JournalFile& journal, FilePos previous) {
    if (isEmptyPtr(previous)) return 0;
    JournalRecord r;
    if (readRecordHeader(journal, previous, kRecordLinks, r) != 0) return 1;
    r.flag = withRedoGroup(r.flag);
    return writeRecordHeader(journal, r, kRecordLinks);
}

}  // namespace

int dropSelection(AppState& app) {
    if (app.main.mainHandle == kNoFile || app.journal.handle == kNoFile) return 1;
    ViewState& v = app.view;
    if (v.selectionActive == 0 || v.selectionEnd <= v.selectionStart) return 1;
    startProgress(app, kTitleDropHighlightedChanges);
    DropRun run;
    run.start = v.selectionStart;
    run.end = v.selectionEnd;
    FilePos lastStored = kEmptyPtr;
    run.result |= walkChangedPairs(app, run.start, run.end, [&] {
        for (int half = 0; half < 2; ++half) {
            dropHalf(app, half, run);
            if (!v.halfDirty[half]) continue;
            if (storeHalf(app, half) != 0) run.result = 1;
            run.result |= markRedoGroup(app.journal, lastStored);
            lastStored = app.records.jData[half].jAdr;
        }
    });
    showPairAfterWriting(app);
    return run.result;
}

int dropPage(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    const int result = runOnShownBytes(app, dropSelection);
    showPairAfterWriting(app);
    return result;
}

}  // namespace quorby
