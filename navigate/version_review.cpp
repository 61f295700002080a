#include "navigate/version_review.h"

#include <cstring>

#include "journal/version_steps.h"
#include "document/main_file.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "view/page_render.h"

namespace quorby {

namespace {

constexpr std::uint32_t kHalfBit[2] = {kFirstHalfHasRecord, kSecondHalfHasRecord};

int concernedHalf(const AppState& app) {
    const int half = app.view.viewOffset >= kPageSize ? 1 : 0;
    return (app.records.jReadFlag & kHalfBit[half]) ? half : -1;
}

void clearMarks(ViewState& view, int half) {
    std::memset(view.changedBits + half * kChangeMapSize, 0, kChangeMapSize);
}

void mapMarks(AppState& app, int half) {
    std::memcpy(app.view.changedBits + half * kChangeMapSize, app.records.jData[half].changeMap, kChangeMapSize);
}

void setMarks(AppState& app, int half, bool clear) {
    if (clear)
        clearMarks(app.view, half);
    else
        mapMarks(app, half);
}

// The copy's data with its count into the half.
void showCopyData(AppState& app, int half) {
    ViewState& v = app.view;
    const JournalRecord& c = app.records.jData[half];
    const std::uint32_t count = c.anz < kPageSize ? c.anz : kPageSize;
    std::memcpy(v.pageBuffer + half * kPageSize, c.data, count);
    std::memset(v.pageBuffer + half * kPageSize + count, 0, kPageSize - count);
    v.unreadableHalf[half] = false;
    (half == 0 ? v.firstPageCount : v.secondPageCount) = count;
    v.pageLength = v.firstPageCount + (v.firstPageCount == kPageSize ? v.secondPageCount : 0);
}

// Moves the copy to another version of its page: everything from PUndo on
// and the data come from that version (read whole in one transfer); MainAdr,
// PrevPtr and NextPtr stay those of the page's record in the chain.
int walkTo(AppState& app, int half, FilePos ptr) {
    JournalRecord version;
    if (readRecord(app.journal, ptr, version) != 0) return 1;
    JournalRecord& c = app.records.jData[half];
    version.mainAdr = c.mainAdr;
    version.prevPtr = c.prevPtr;
    version.nextPtr = c.nextPtr;
    c = version;
    return 0;
}

void applyStep(AppState& app, int half, const VersionDecision& d) {
    JournalRecord& c = app.records.jData[half];
    bool clear = false;
    switch (d.step) {
    case VersionStep::Nothing:
        return;
    case VersionStep::Clear:
    case VersionStep::Map:
        c.flag = d.flag;
        setMarks(app, half, d.step == VersionStep::Clear);
        return;
    case VersionStep::ReloadRecord:
        if (readRecord(app.journal, c.jAdr, c) != 0) return;
        showCopyData(app, half);
        mapMarks(app, half);
        c.flag = afterReload(c.flag);
        return;
    case VersionStep::WalkNewer:
    case VersionStep::WalkOlder: {
        const bool newer = d.step == VersionStep::WalkNewer;
        if (walkTo(app, half, newer ? c.nJnl : c.pJnl) != 0) return;
        setMarks(app, half, (c.flag & kFlagNoChangeMap) != 0);
        showCopyData(app, half);
        const std::uint32_t before = c.flag;
        c.flag = newer ? afterNewerWalk(before, &clear) : afterOlderWalk(before, &clear);
        if (c.flag != before) setMarks(app, half, clear);
        return;
    }
    case VersionStep::MainFileContent:
        c.flag = d.flag;
        // The content before all versions: the Main File's bytes there.
        // A Main File page that cannot be read is reported and shown as far as it was read.
        if (half == 0)
            (void)readFirstPage(app);
        else
            (void)readSecondPage(app);
        clearMarks(app.view, half);
        return;
    }
}

void saveReviewStart(AppState& app, int half) {
    PageRecords& r = app.records;
    r.reviewSaved.jAdr = r.jData[half].jAdr;
    r.reviewSaved.pagePos = app.view.pagePos;
    r.reviewSaved.jReadFlag = r.jReadFlag;
    r.reviewSaved.viewOffset = app.view.viewOffset;
    r.reviewSaved.half = half;
    r.reviewSaved.hexBackground = app.view.storedHexBackground;
    r.reviewSaved.charBackground = app.view.storedCharBackground;
}

void runStep(AppState& app, bool newer) {
    if (app.main.mainHandle == kNoFile || !journalIsOpen(app)) return;
    PageRecords& r = app.records;
    // Bytes typed on the pair become its newest version before an older one
    // is shown, as at every other change of the shown bytes.
    if (r.reviewState == 0 && storeTypedChangesFirst(app) != 0) return;
    const int half = concernedHalf(app);
    if (half < 0) return;
    const JournalRecord& c = r.jData[half];
    const VersionDecision d = newer ? decidePreviewStep(c.flag, !isEmptyPtr(c.nJnl))
                                    : decideReviewStep(c.flag, half, !isEmptyPtr(c.pJnl));
    if (d.step == VersionStep::Nothing) return;

    ViewState& v = app.view;
    if (half == 0 && v.viewOffset != 0) {
        // The page is shown from its first row; the cursor stays on its byte
        // as far as the 512 shown bytes reach.
        const std::uint32_t cursor = v.cursorOffset + v.viewOffset;
        v.cursorOffset = cursor < kPageSize ? cursor : kPageSize - 1;
        v.viewOffset = 0;
        v.headerShift = 0;
    }
    if (r.reviewState == 0) saveReviewStart(app, half);
    applyStep(app, half, d);

    if (newer)
        r.reviewState = half == 0 ? kPreviewFirstPage : kPreviewSecondPage;
    else
        r.reviewState = half == 0 ? kReviewFirstPage : kReviewSecondPage;
    v.storedHexBackground = kReviewHexBackground;
    v.storedCharBackground = kReviewCharBackground;
    app.platform->setCaption(kReviewCaption);
    drawPage(app);
}

}  // namespace

void reviewOlderVersion(AppState& app) { runStep(app, false); }

void previewNewerVersion(AppState& app) { runStep(app, true); }


void endVersionReview(AppState& app) {
    if (app.records.reviewState == 0) return;
    const ReviewSaved saved = app.records.reviewSaved;
    leaveVersionReview(app);
    (void)loadPagePair(app, saved.pagePos);  // reported; the view shows what it can
    ViewState& v = app.view;
    if (v.pagePos == saved.pagePos && saved.viewOffset < v.pageLength) {
        v.viewOffset = saved.viewOffset;
        v.headerShift = saved.viewOffset % 16;
    }
    if (v.viewOffset + v.cursorOffset >= v.pageLength)
        v.cursorOffset = v.pageLength > v.viewOffset ? v.pageLength - v.viewOffset - 1 : 0;
    drawPage(app);
}

bool handlePreviewCommands(AppState& app, int code) {
    switch (code) {
    case kCmdPageVersionReview:
    case kCmdPageVersionReviewKey:
        reviewOlderVersion(app);
        return true;
    case kCmdPageVersionPreview:
    case kCmdPageVersionPreviewKey:
        previewNewerVersion(app);
        return true;
    case kCmdUndoPreview:
    case kCmdUndoPreviewKey:
    case kCmdRedoPreview:
    case kCmdRedoPreviewKey:
        return true;
    default:
        endVersionReview(app);
        return false;
    }
}

}  // namespace quorby
