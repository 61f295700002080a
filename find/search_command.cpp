#include "find/search_command.h"

#include <cstring>

#include "core/tables.h"
#include "find/match_highlight.h"
#include "journal/journal_overlay.h"
#include "search/search_pass.h"
#include "state/error_report.h"
#include "state/overview_marks.h"
#include "state/progress.h"
#include "state/work_buffer_access.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {
namespace {


FilePos viewTop(const ViewState& view) { return view.pagePos + view.viewOffset; }


bool readFailed(void* context) {
    AppState& app = *static_cast<AppState*>(context);
    return reportError(app, kErrorReading, app.main.mainName) != 0;  // Cancel stops
}

struct Between {
    AppState* app;
    SearchState* state;
    std::uint32_t serial;
    std::uint64_t journalChanges;  // the Journal File's change count at the last block
    ProgressRange* range;
    bool escape = false;
    bool superseded = false;
};

void showProgress(AppState& app, FilePos position) {
    char line[22];
    formatPositionText(position, line);
    line[20] = ' ';
    line[21] = 0;
    setInfoCell(app, line, kSearchProgressColour);
    const std::uint32_t shift = app.nav.scrollShift;
    std::int64_t thumb = std::int64_t((position & ~FilePos(15)) >> shift);
    if (thumb > app.nav.scrollMaximum) thumb = app.nav.scrollMaximum;
    app.platform->setScrollBar(app.nav.scrollMaximum, std::int32_t(thumb));
}

// Between two blocks: one pending input event is dispatched; a typed ESC
// stops the search, and so does a find request that started its own.
bool betweenBlocks(void* context) {
    Between& b = *static_cast<Between*>(context);
    AppState& app = *b.app;
    if (!app.platform) return false;
    if (app.platform->pollPendingInput() || b.state->stopRequested) {
        b.escape = true;
        return true;
    }
    if (b.state->requestSerial != b.serial) {
        b.superseded = true;
        return true;
    }
    // A command dispatched in between changed the Journal File (or put
    // another one in its place): its records are read afresh.
    if (app.journal.changeCount != b.journalChanges) {
        b.journalChanges = app.journal.changeCount;
        takeNewWindowToken(*b.state);
    }
    showProgress(app, b.state->startPos);
    b.range->reached(b.state->startPos);
    return false;
}

void returnToSavedPage(AppState& app, const SearchState& state) {
    // A page that cannot be read again is reported; the view shows what it can.
    if (app.view.pagePos != state.savedPagePos) (void)loadPagePair(app, state.savedPagePos);
    if (!app.platform) return;
    drawPage(app);
    updateScrollBar(app);
}

void showMatch(AppState& app, const SearchState& state) {
    const FilePos page = pageStart(state.foundPos);
    (void)loadPagePair(app, page);
    ViewState& v = app.view;
    if (v.pagePos == page) {  // else the load was stopped elsewhere: the view stays as it came
        v.viewOffset = 0;
        v.cursorOffset = std::uint32_t(state.foundPos - page);
        v.headerShift = 0;
    }
    if (!app.platform) return;
    drawPage(app);
    updateScrollBar(app);
    setInfoCell(app, kInfoFound, kSelectionColour);
    drawMatchHighlight(app, state.foundPos, state.patternLength);
}

}  // namespace

const char* findDialogTitle(bool hexMode) { return hexMode ? kFindHexTitle : kFindTextTitle; }

std::uint32_t requestPattern(const SearchState& state, const SearchRequest& request, std::uint8_t* out) {
    if (state.searchMode & kSearchHexMode) return parseHexPattern(request.findText, kFindTextCapacity, out);
    return copyTextPattern(request.findText, kFindTextCapacity, !request.matchCase, out);
}

void startPositionsFromView(AppState& app, SearchState& state, const SearchRequest& request, bool forward) {
    const FilePos cursor = app.view.cursorPos();
    if (request.fromCursor)
        startPositionsAt(state, cursor, app.main.fileSize, forward);
    else
        startPositionsFromTop(state, viewTop(app.view), app.main.fileSize, forward);
    state.cursorAfterSearch = cursor;
}

void openSearch(AppState& app, SearchState& state, SearchRequest& request, bool hexMode) {
    state.searchMode = kSearchDialogOpen | (hexMode ? kSearchHexMode : 0u);
    request.hideMatchCase = hexMode;
    request.findNext = false;
    request.dialogClosing = false;
    state.lastDirectionDown = request.directionDown;
    startPositionsFromView(app, state, request, request.directionDown);
}

void closeSearch(SearchState& state) { state.searchMode &= ~kSearchDialogOpen; }

void setOverlayPositions(AppState& app, SearchState& state, bool forward) {
    state.overlayJournal = journalIsOpen(app) && !app.records.unchangedFileShown;
    state.forwardChainPos = kEmptyPtr;
    state.backwardChainPos = kEmptyPtr;
    state.chainFromEnd = false;
    if (!state.overlayJournal) return;

    const PageRecords& r = app.records;
    const FilePos pagePos = app.view.pagePos;
    // The copies describe the address chain only while they belong to the
    // shown pair and no version review has put another version into them.
    const bool copiesUsable = cursorRecordsCurrent(app) && r.reviewState == 0;
    if (copiesUsable) {
        const bool first = r.jReadFlag & kFirstHalfHasRecord;
        const bool second = r.jReadFlag & kSecondHalfHasRecord;
        if (first && second) {
            state.forwardChainPos = state.backwardChainPos = forward ? r.jData[0].jAdr : r.jData[1].jAdr;
        } else if (first) {
            state.forwardChainPos = state.backwardChainPos = r.jData[0].jAdr;
        } else if (second) {
            state.forwardChainPos = state.backwardChainPos = r.jData[1].jAdr;
        } else {
            state.forwardChainPos = r.jNextPtr;
            state.backwardChainPos = r.jPrevPtr;
        }
    }
    // Taken from the view, the forward walk serves blocks from pagePos on and
    // the backward walk blocks that end within the pair; a search that goes
    // on elsewhere (the view was moved since) enters the chain at its end.
    const JournalHeader& h = app.journal.header;
    const FilePos blockEnd = state.blockPos < app.main.fileSize ? state.blockPos : app.main.fileSize;
    if (forward && (!copiesUsable || state.blockPos < pagePos)) state.forwardChainPos = h.first;
    if (!forward && (!copiesUsable || blockEnd > pagePos + kPagePairSize)) state.backwardChainPos = h.lastPtr;
}

namespace {

SearchResult searchFromKeptPositions(AppState& app, SearchState& state, const SearchRequest& request,
                                     FilePos* matchPos) {
    const std::uint32_t serial = ++state.requestSerial;
    state.stopRequested = false;
    clearRanges(state.skipped);
    const bool forward = request.directionDown;
    if (request.fromCursor && app.view.cursorPos() != state.cursorAfterSearch) {
        // The user put the cursor elsewhere since the last search: it starts there.
        startPositionsFromView(app, state, request, forward);
        state.searchMode &= ~std::uint32_t(kSearchLastFound);
    } else if (forward != state.lastDirectionDown) {
        if (state.searchMode & kSearchLastFound) {
            continueFromLastMatch(state, forward);
        } else {
            startPositionsFromView(app, state, request, forward);
        }
    }
    state.lastDirectionDown = forward;
    if (!request.findNext || (state.searchMode & kSearchAtEnd)) return SearchResult::NotRun;
    if (app.main.mainHandle == kNoFile || app.files == nullptr) return SearchResult::NotRun;

    state.patternLength = requestPattern(state, request, state.pattern);
    const bool foldCase = !(state.searchMode & kSearchHexMode) && !request.matchCase;
    prepareStatePattern(state, foldCase);
    // The overview strip marks the matches of one search: another pattern
    // starts them anew.
    const std::string matchesOf = std::string(reinterpret_cast<const char*>(state.pattern), state.patternLength) +
                                  (foldCase ? "\x01" : "\x00");
    if (app.overview.matchesPattern != matchesOf) {
        clearFound(app, kOverviewMatch);
        app.overview.matchesPattern = matchesOf;
    }
    if (state.patternLength == 0) {
        // Nothing was searched: the positions stay, and a corrected text
        // can be searched with the next Find Next.
        if (app.platform) setInfoCell(app, kInfoNotFound, kSelectionColour);
        return SearchResult::NotFound;
    }

    // The search sees what the view shows: typed changes go to the journal first.
    if (storeTypedChangesFirst(app) != 0) return SearchResult::Interrupted;
    state.savedPagePos = app.view.pagePos;
    setOverlayPositions(app, state, forward);

    SearchSource source;
    source.files = app.files;
    source.handle = app.main.mainHandle;
    source.fileSize = app.main.fileSize;
    source.journal = &app.journal;
    source.journalWindow = &journalOverlayWindow(app);
    source.unreadable = &app.main.unreadable;
    source.skipped = &state.skipped;
    source.readFailed = readFailed;
    source.context = &app;
    // The Journal File may have changed since the last search.
    takeNewWindowToken(state);
    // Forward to the end of the file, backward down to its start.
    ProgressRange range(app, state.startPos, forward ? app.main.fileSize : 0);
    Between between{&app, &state, serial, app.journal.changeCount, &range};
    const PassResult result = searchPasses(state, source, forward, blockBuffer(app), betweenBlocks, &between);

    if (between.superseded) return SearchResult::Superseded;
    if (app.platform) setInfoCell(app, "", kAddressColour);
    switch (result) {
        case PassResult::Found:
            markFound(app, state.foundPos, kOverviewMatch);
            showMatch(app, state);
            showUnreadableSkipped(app, state.skipped.count);
            if (matchPos) *matchPos = state.foundPos;
            return SearchResult::Found;
        case PassResult::AtEnd:
            returnToSavedPage(app, state);
            if (app.platform) setInfoCell(app, kInfoNotFound, kSelectionColour);
            showUnreadableSkipped(app, state.skipped.count);
            return SearchResult::NotFound;
        case PassResult::More:
        case PassResult::Stopped:
            break;
    }
    returnToSavedPage(app, state);
    return SearchResult::Interrupted;
}

}  // namespace

SearchResult runSearch(AppState& app, SearchState& state, const SearchRequest& request, FilePos* matchPos) {
    const SearchResult result = searchFromKeptPositions(app, state, request, matchPos);
    // Where the search left the cursor: "from cursor" starts anew only
    // when the user moves it.
    state.cursorAfterSearch = app.view.cursorPos();
    return result;
}

}  // namespace quorby
