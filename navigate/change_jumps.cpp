#include "navigate/change_jumps.h"

#include "navigate/page_moves.h"
#include "document/page_assembly.h"
#include "document/store_page.h"

namespace quorby {

namespace {


// Pending edits stored, and the cursor records belonging to the shown pair.
bool readyToJump(AppState& app) {
    if (app.main.mainHandle == kNoFile || !journalIsOpen(app)) return false;
    if (storeTypedChangesFirst(app) != 0) return false;
    if (!cursorRecordsCurrent(app)) {
        const std::uint32_t viewOffset = app.view.viewOffset;
        if (loadPagePair(app, app.view.pagePos) != 0) return false;
        if (viewOffset < app.view.pageLength) app.view.viewOffset = viewOffset;
    }
    return true;
}

void jumpToPage(AppState& app, FilePos page) {
    // A record beyond the file's end (the file became shorter) is no place to go.
    if (page > app.main.lastBytePos) return;
    if (loadPagePair(app, page) != 0) return;
    ViewState& v = app.view;
    v.viewOffset = 0;
    v.headerShift = 0;
    limitCursorToFile(app);
    redrawView(app);
}

}  // namespace

void nextChange(AppState& app) {
    if (!readyToJump(app)) return;
    const PageRecords& r = app.records;
    if (app.view.viewOffset < kPageSize && (r.jReadFlag & kSecondHalfHasRecord) && app.view.secondPageCount > 0) {
        pageDownCommand(app);
        return;
    }
    if (isEmptyPtr(r.jNextPtr)) return;
    jumpToPage(app, r.jNextAdr);
}

void previousChange(AppState& app) {
    if (!readyToJump(app)) return;
    const PageRecords& r = app.records;
    if (app.view.viewOffset >= kPageSize && (r.jReadFlag & kFirstHalfHasRecord)) {
        pageUpCommand(app);
        return;
    }
    if (isEmptyPtr(r.jPrevPtr)) return;
    jumpToPage(app, r.jPrevAdr);
}

}  // namespace quorby
