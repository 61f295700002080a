#include "compare/find_differences.h"

#include "search/compare_scan.h"
#include "state/compare_sources.h"
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

constexpr std::uint32_t kWindowSize = 1024;  // the banner's pace counts windows of this size
static_assert(kCompareBlockSize <= kBlockBufferSize, "both blocks of the scan live in block-sized buffers");

struct SavedView {
    FilePos pagePos;
    std::uint32_t viewOffset;
    std::uint32_t cursorOffset;
};

void showView(AppState& app) {
    drawPage(app);
    updateScrollBar(app);
}

void returnToSavedView(AppState& app, const SavedView& saved) {
    // A page that cannot be read again is reported; the view shows what it can.
    if (app.view.pagePos != saved.pagePos) (void)loadPagePair(app, saved.pagePos);
    if (app.view.pagePos == saved.pagePos) {
        app.view.viewOffset = saved.viewOffset;
        app.view.cursorOffset = saved.cursorOffset;
    }
    showView(app);
}

void showPosition(AppState& app, FilePos pos) {
    const FilePos page = pageStart(pos);
    (void)loadPagePair(app, page);
    if (app.view.pagePos == page) {  // else a long journal walk was stopped elsewhere
        app.view.viewOffset = 0;
        app.view.cursorOffset = std::uint32_t(pos - page);
        app.view.headerShift = 0;
    }
    app.compare.marksPagePos = app.view.pagePos;
    showView(app);
}

// Whether a command dispatched between two blocks took a source away or
// changed the alignment: the scan's view of them is then out of date.
bool comparisonChanged(const AppState& app, const CompareScan& scan, CompareMode mode) {
    const CompareSession& c = app.compare;
    return app.main.mainHandle != scan.main.handle || app.main.fileSize != scan.main.size || c.mode != mode ||
           c.shift != scan.shift || (mode == CompareMode::OtherFile && c.handle != scan.other.handle);
}

}  // namespace

DifferenceResult findDifferences(AppState& app) {
    CompareSession& c = app.compare;
    c.lastResult = DifferenceResult::NotRun;
    if (c.mode == CompareMode::None || app.main.mainHandle == kNoFile || !app.platform) return c.lastResult;
    // The scan sees what the view shows: typed bytes go to the journal first.
    if (storeTypedChangesFirst(app) != 0) return c.lastResult;
    const CompareMode mode = c.mode;
    const SavedView saved{app.view.pagePos, app.view.viewOffset, app.view.cursorOffset};

    CompareScan scan;
    scan.main = mainCompareSource(app);
    scan.other = otherCompareSource(app);
    scan.shift = c.shift;
    scan.token = ++c.lastWindowToken;
    clearRanges(c.skipped);
    scan.skipped = &c.skipped;
    if (c.scanBlockSize != 0 && c.scanBlockSize <= kCompareBlockSize) scan.blockSize = c.scanBlockSize;
    startCompareScan(scan, app.view.pagePos + app.view.viewOffset + kPageSize);
    startProgress(app, kTitleFindDifferences);
    ProgressRange range(app, scan.nextPos, scan.endPos);
    std::uint8_t* mainBlock = blockBuffer(app);
    std::uint8_t* otherBlock = compareBlockBuffer(app);
    const std::uint64_t journalChanges = app.journal.changeCount;

    CompareOutcome outcome;
    bool stopped = false;
    for (;;) {
        std::uint32_t compared = 0;
        outcome = compareNextBlock(scan, mainBlock, otherBlock, &compared);
        if (outcome != CompareOutcome::More) break;
        range.reached(scan.nextPos);
        if (pollProgressSteps(app, (compared + kWindowSize - 1) / kWindowSize) ||
            comparisonChanged(app, scan, mode)) {
            stopped = true;
            break;
        }
        // A command in between changed the Journal File: its records are read afresh.
        if (app.journal.changeCount != journalChanges) scan.token = ++c.lastWindowToken;
    }

    setInfoCell(app, "", kAddressColour);
    if (stopped) {
        c.lastResult = DifferenceResult::Interrupted;
        if (app.main.mainHandle == scan.main.handle) returnToSavedView(app, saved);
        setInfoCell(app, kInfoNotFound, kSelectionColour);
        return c.lastResult;
    }
    switch (outcome) {
        case CompareOutcome::Difference:
            c.lastResult = DifferenceResult::Found;
            c.lastPos = scan.foundPos;
            markFound(app, scan.foundPos, kOverviewDifference);
            showPosition(app, scan.foundPos);
            break;
        case CompareOutcome::LengthsDiffer:
            c.lastResult = DifferenceResult::LengthsDiffer;
            c.lastPos = scan.foundPos;
            c.lastEndedMain = scan.mainEndsFirst;
            if (app.main.fileSize > 0)
                showPosition(app, scan.foundPos < app.main.fileSize ? scan.foundPos : app.main.fileSize - 1);
            setInfoCell(app, scan.mainEndsFirst ? kInfoMainEnds : kInfoOtherEnds, kSelectionColour);
            break;
        case CompareOutcome::MainReadFailed:
        case CompareOutcome::OtherReadFailed:
            c.lastResult = DifferenceResult::Failed;
            reportError(app, kErrorReading,
                        outcome == CompareOutcome::MainReadFailed ? app.main.mainName : otherSourceName(app));
            returnToSavedView(app, saved);
            break;
        case CompareOutcome::Equal:
        case CompareOutcome::More:
            c.lastResult = DifferenceResult::NotFound;
            returnToSavedView(app, saved);
            setInfoCell(app, kInfoNotFound, kSelectionColour);
            break;
    }
    showUnreadableSkipped(app, c.skipped.count);
    return c.lastResult;
}

void findDifferencesCommand(AppState& app) { findDifferences(app); }

}  // namespace quorby
