#include "document/page_assembly.h"

#include <cstring>
#include <optional>

#include "journal/chain_segment.h"
#include "state/progress.h"
#include "document/main_file.h"
#include "document/store_page.h"
#include "document/shown_views.h"
#include "view/grid_layout.h"

namespace quorby {

namespace {

// A move of more than this many bytes forward, or of more than 1024
// backward, is a jump: the chain's ends may then be the nearer way in.
constexpr std::int32_t kLongestForwardMove = 1535;
constexpr std::int32_t kLongestBackwardMove = -1024;

void resetCursorRecords(PageRecords& r, FilePos pos) {
    r.jReadFlag = 0;
    r.jPrevPtr = kEmptyPtr;
    r.jPrevAdr = 0;
    r.jNextPtr = kEmptyPtr;
    r.jNextAdr = 0;
    r.recordsPos = pos;
    r.cursorRecordsValid = false;
}

// The cursor stays on the pair's bytes.
void keepCursorOnBytes(ViewState& v) {
    if (v.viewOffset + v.cursorOffset < v.pageLength) return;
    v.cursorOffset = v.pageLength > v.viewOffset + 1 ? v.pageLength - v.viewOffset - 1 : 0;
}

// The cursor records belong to the open Journal File and point into it.
bool cursorRecordsUsable(const AppState& app) {
    const PageRecords& r = app.records;
    if (!r.cursorRecordsValid || r.journalHandle != app.journal.handle || r.journalName != app.journal.name)
        return false;
    const FilePos end = app.journal.journalEnd;
    auto inside = [end](FilePos p) { return isEmptyPtr(p) || isRecordPointer(p, end); };
    return inside(r.jPrevPtr) && inside(r.jNextPtr) &&
           (!(r.jReadFlag & kFirstHalfHasRecord) || inside(r.jData[0].jAdr)) &&
           (!(r.jReadFlag & kSecondHalfHasRecord) || inside(r.jData[1].jAdr));
}

bool pairHoldsLastByte(const MainFileState& mainFile, FilePos pos) { return mainFile.lastBytePos < pos + 2 * kPageSize; }

void startNearerEnd(AppState& app, FilePos pos, ChainSegment& s) {
    if (pos <= app.main.fileSize / 2)
        segmentAtFirst(app.journal.header, s);
    else
        segmentAtLast(app.journal.header, s);
}

// Where the search for the pair's records begins: next to the cursor records
// for moves, at First for the file's begin, at LastPtr for its end.
void chooseStart(AppState& app, FilePos pos, ChainSegment& s) {
    const PageRecords& r = app.records;
    if (!cursorRecordsUsable(app)) return startNearerEnd(app, pos, s);
    const std::int32_t d = clampedDifference(pos, r.recordsPos);
    if (d == 0) {
        // The same pair again, typically after a change operation stored or
        // relinked records: found anew from the record below it, so a record
        // added for one of its pages is picked up.
        if (isEmptyPtr(r.jPrevPtr)) return segmentAtFirst(app.journal.header, s);
        if (segmentAtRecord(app.journal, r.jPrevPtr, pos, s) != 0) startNearerEnd(app, pos, s);
        return;
    }
    if (pos == 0 && d < kLongestBackwardMove) return segmentAtFirst(app.journal.header, s);
    if (pairHoldsLastByte(app.main, pos) && d > kLongestForwardMove) return segmentAtLast(app.journal.header, s);
    PairLocation known;
    known.pairPos = r.recordsPos;
    known.prevPtr = r.jPrevPtr;
    known.prevAdr = r.jPrevAdr;
    known.nextPtr = r.jNextPtr;
    known.nextAdr = r.jNextAdr;
    known.jReadFlag = r.jReadFlag;
    const FilePos pairRecordPtr[2] = {r.jData[0].jAdr, r.jData[1].jAdr};
    segmentAroundPair(known, pairRecordPtr, s);
}

void setHalfFromData(ViewState& v, int half, const JournalRecord& rec) {
    std::uint8_t* dest = v.pageBuffer + half * kPageSize;
    const std::uint32_t count = rec.anz < kPageSize ? rec.anz : kPageSize;
    std::memcpy(dest, rec.data, count);
    std::memset(dest + count, 0, kPageSize - count);
    (half == 0 ? v.firstPageCount : v.secondPageCount) = count;
    v.unreadableHalf[half] = false;
}

void setHalfMarks(ViewState& view, int half, const JournalRecord& rec) {
    std::uint8_t* marks = view.changedBits + half * kChangeMapSize;
    if (rec.flag & kFlagNoChangeMap)
        std::memset(marks, 0, kChangeMapSize);
    else
        std::memcpy(marks, rec.changeMap, kChangeMapSize);
    view.halfDirty[half] = false;
}

// One half from its record: the record's data, or with Flag bit 22 the Main
// File's bytes at its position. Returns 1 after a reported Main File failure.
int halfFromRecord(AppState& app, int half) {
    const JournalRecord& rec = app.records.jData[half];
    int result = 0;
    if (rec.flag & kFlagShowMainFile)
        result = half == 0 ? readFirstPage(app) : readSecondPage(app);
    else
        setHalfFromData(app.view, half, rec);
    setHalfMarks(app.view, half, rec);
    // A version over a sector known to be unreadable: its bytes that were
    // not typed stay unreadable ones.
    if (!(rec.flag & kFlagShowMainFile))
        app.view.unreadableHalf[half] = inRanges(app.main.unreadable.ranges, app.view.pagePos + FilePos(half) * kPageSize);
    return result;
}

// The first page is the file's last: the pair ends with it.
void endPairAtFirstPage(ViewState& v) {
    v.midPtr = kEmptyPtr;
    v.secondPageCount = 0;
    std::memset(v.pageBuffer + kPageSize, 0, kPageSize);
    std::memset(v.changedBits + kChangeMapSize, 0, kChangeMapSize);
    v.halfDirty[1] = false;
    v.unreadableHalf[1] = false;
    v.viewOffset = 0;
}

// Fills pageBuffer at `pos` from the record copies marked in jReadFlag and
// from the Main File.
int assembleContent(AppState& app, FilePos pos) {
    ViewState& v = app.view;
    const PageRecords& r = app.records;
    // Neither half changed: both come from the Main File in one read.
    if ((r.jReadFlag & (kFirstHalfHasRecord | kSecondHalfHasRecord)) == 0) {
        const int result = readPagePair(app, pos);
        keepCursorOnBytes(v);
        return result;
    }
    v.pagePos = pos;
    int result = (r.jReadFlag & kFirstHalfHasRecord) ? halfFromRecord(app, 0) : readFirstPage(app);
    if (v.firstPageCount < kPageSize) {
        endPairAtFirstPage(v);
        v.pageLength = v.firstPageCount;
    } else {
        v.midPtr = pos + kPageSize;
        result |= (r.jReadFlag & kSecondHalfHasRecord) ? halfFromRecord(app, 1) : readSecondPage(app);
        v.pageLength = v.firstPageCount + v.secondPageCount;
    }
    keepCursorOnBytes(v);
    return result;
}

// A long scan of the address chain shows the banner "SCAN JOURNAL-FILE" and
// listens for ESC; a command run meanwhile may close the files.
struct ScanWatch {
    AppState& app;
    FileHandle journalHandle;
    FileHandle mainHandle;
    FilePos target;                      // the page position the scan looks for
    std::optional<ProgressRange> range;  // from where the banner started to the target
};

int pollJournalScan(void* context, bool first, FilePos reached, bool* stop) {
    ScanWatch& w = *static_cast<ScanWatch*>(context);
    if (first) {
        startProgress(w.app, kTitleScanJournalFile);
        w.range.emplace(w.app, reached, w.target);
    }
    if (w.range) w.range->reached(reached);
    *stop = pollProgress(w.app);
    return w.app.journal.handle != w.journalHandle || w.app.main.mainHandle != w.mainHandle ? 1 : 0;
}

int assembleFrom(AppState& app, FilePos pos, ChainSegment& s) {
    PageRecords& r = app.records;
    // A failure of the Journal File leaves everything as it was, so that no
    // change can be stored against cursor records that are half moved.
    const PageRecords recordsBefore = r;
    const ViewState viewBefore = app.view;
    const FileHandle mainHandle = app.main.mainHandle;
    const FileHandle journalHandle = app.journal.handle;
    r.assembling = true;
    PairLocation location;
    ScanWatch watch{app, journalHandle, mainHandle, pos, std::nullopt};
    const ScanPoll poll{pollJournalScan, &watch};
    const int located = locatePair(app.journal, s, pos, app.main.fileSize, r.jData, poll, location);
    r.assembling = false;
    if (located != 0) {
        if (app.main.mainHandle == mainHandle && app.journal.handle == journalHandle) {
            r = recordsBefore;
            app.view = viewBefore;
        } else {
            // A command run during the scan closed the files.
            resetCursorRecords(r, app.view.pagePos);
        }
        r.assembling = false;
        return 1;
    }
    r.jPrevPtr = location.prevPtr;
    r.jPrevAdr = location.prevAdr;
    r.jNextPtr = location.nextPtr;
    r.jNextAdr = location.nextAdr;
    r.jReadFlag = location.jReadFlag;
    r.recordsPos = location.pairPos;
    r.requestedPos = location.pairPos;
    r.cursorRecordsValid = true;
    r.journalHandle = app.journal.handle;
    r.journalName = app.journal.name;
    return assembleContent(app, location.pairPos);
}

// What every assembly does first. Returns 1 when an assembly is running
// already (input dispatched during a long scan).
int prepareForLoad(AppState& app) {
    PageRecords& r = app.records;
    if (r.assembling) return 1;
    if (r.reviewState != 0) leaveVersionReview(app);
    if (r.unchangedFileShown) leaveUnchangedFile(app);
    // A declined store drops the typed bytes; one that failed has told the
    // user, and the pair stays shown with them rather than losing them.
    if (pageIsDirty(app) && storePage(app) != 0 && pageIsDirty(app)) return 1;
    return 0;
}

}  // namespace

bool journalIsOpen(const AppState& app) { return app.journal.files != nullptr && app.journal.handle != kNoFile; }

void forgetCursorRecords(AppState& app) { app.records.cursorRecordsValid = false; }

bool cursorRecordsCurrent(const AppState& app) {
    return journalIsOpen(app) && cursorRecordsUsable(app) && app.records.recordsPos == app.view.pagePos;
}

int loadPagePair(AppState& app, FilePos pos) {
    // A first hex digit waits for its second on the bytes shown now; a page
    // loaded anew drops it.
    app.shell.modeFlags &= ~std::uint32_t(kModeSecondDigit);
    if (prepareForLoad(app) != 0) return 1;
    pos = pageStart(pos);
    PageRecords& r = app.records;
    r.requestedPos = pos;
    if (app.main.mainHandle == kNoFile || !journalIsOpen(app)) {
        resetCursorRecords(r, pos);
        const int result = readPagePair(app, pos);
        keepCursorOnBytes(app.view);
        return result;
    }
    ChainSegment s;
    chooseStart(app, pos, s);
    return assembleFrom(app, pos, s);
}

int restoreViewFromJournal(AppState& app) {
    if (app.main.mainHandle == kNoFile || !journalIsOpen(app)) return loadPagePair(app, 0);
    if (prepareForLoad(app) != 0) return 1;
    const JournalHeader& h = app.journal.header;
    FilePos pos = pageStart(h.savedAnfPtr);
    if (pos > pageStart(app.main.lastBytePos)) pos = 0;  // the Main File became shorter
    app.records.requestedPos = pos;

    // The saved JPrevPtr is only a hint: it is used when it still is a
    // record of the chain below the pair.
    ChainSegment s;
    if (isEmptyPtr(h.savedJPrevPtr))
        segmentAtFirst(h, s);
    else if (segmentAtRecord(app.journal, h.savedJPrevPtr, pos, s) != 0)
        startNearerEnd(app, pos, s);
    const int result = assembleFrom(app, pos, s);

    ViewState& v = app.view;
    std::uint32_t offset = h.savedViewOffset;
    if (offset >= kPageSize || offset >= v.pageLength || v.pagePos != pos) offset = 0;
    if (app.nav.offsetMultiple > 1) offset -= offset % app.nav.offsetMultiple;
    v.viewOffset = offset;
    v.headerShift = offset % kBytesPerRow;
    keepCursorOnBytes(v);
    return result;
}

void saveViewToJournalHeader(AppState& app) {
    JournalHeader& h = app.journal.header;
    const PageRecords& r = app.records;
    h.savedViewOffset = app.view.viewOffset;
    h.savedAnfPtr = app.view.pagePos;
    FilePos firstRecord = (r.jReadFlag & kFirstHalfHasRecord) ? r.jData[0].jAdr : kEmptyPtr;
    // During a review the first page's copy may show an older version.
    if (r.reviewState != 0 && r.reviewSaved.half == 0) firstRecord = r.reviewSaved.jAdr;
    const bool valid = cursorRecordsCurrent(app);
    h.savedJAdr = valid ? firstRecord : kEmptyPtr;
    h.savedJPrevPtr = valid ? r.jPrevPtr : kEmptyPtr;
    h.savedJNextPtr = valid ? r.jNextPtr : kEmptyPtr;
}

}  // namespace quorby
