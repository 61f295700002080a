#include "edit/write_steps.h"

#include <cstring>

#include "state/error_report.h"
#include "state/progress.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "view/shown_range.h"

namespace quorby {

bool declinedQuestion(AppState& app, std::uint32_t messageSwitch, const char* caption, const std::string& text) {
    if ((app.settings.messageSwitches & messageSwitch) == 0) return false;
    const int answer = askQuestion(app, caption, text);
    if ((answer & kAnswerYes) == 0) return true;
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~messageSwitch;
    return false;
}

int reopenForWriting(AppState& app) {
    if (ensureWritable(app) == 0) return 0;
    app.edit.pageRefused = true;
    return 1;
}


bool bannerRefreshedNow(const AppState& app) { return app.progress.pollCounter == kPollInterval; }

int runOnShownBytes(AppState& app, int (*operation)(AppState&)) {
    ViewState& v = app.view;
    const FilePos savedStart = v.selectionStart, savedEnd = v.selectionEnd;
    const std::uint32_t savedActive = v.selectionActive, savedViewOffset = v.viewOffset;
    const FilePos pagePos = v.pagePos;
    const FilePos first = firstShownPos(app);
    v.selectionStart = first;
    v.selectionEnd = first + shownByteCount(app);
    v.selectionActive |= kSelectionExists;
    const int result = operation(app);
    v.selectionStart = savedStart;
    v.selectionEnd = savedEnd;
    v.selectionActive = savedActive;
    (void)loadPagePair(app, pagePos);  // reported; the view shows what it can
    v.viewOffset = savedViewOffset;
    return result;
}

bool halfHasRecord(const AppState& app, int half) {
    return (app.records.jReadFlag & (half == 0 ? kFirstHalfHasRecord : kSecondHalfHasRecord)) != 0;
}

std::uint32_t halfCountOf(const AppState& app, int half) {
    return half == 0 ? app.view.firstPageCount : app.view.secondPageCount;
}

bool selectedPartOfHalf(const AppState& app, int half, FilePos start, FilePos end, std::uint32_t* from,
                        std::uint32_t* to) {
    const FilePos halfPos = app.view.pagePos + FilePos(half) * kPageSize;
    const FilePos halfEnd = halfPos + halfCountOf(app, half);
    const FilePos lo = start > halfPos ? start : halfPos;
    const FilePos hi = end < halfEnd ? end : halfEnd;
    if (lo >= hi) return false;
    *from = std::uint32_t(lo - halfPos);
    *to = std::uint32_t(hi - halfPos);
    return true;
}

bool nextChangedPage(const AppState& app, FilePos end, FilePos* next) {
    const PageRecords& rec = app.records;
    const FilePos pairEnd = app.view.pagePos + kPagePairSize;
    if (!cursorRecordsCurrent(app) || (!isEmptyPtr(rec.jNextPtr) && rec.jNextAdr < pairEnd)) {
        // Cursor records out of step: go on with the adjacent pair, which
        // finds them anew, rather than miss a changed page.
        *next = pairEnd;
        return pairEnd < end && pairEnd < app.main.fileSize;
    }
    if (isEmptyPtr(rec.jNextPtr) || rec.jNextAdr >= end) return false;
    *next = rec.jNextAdr;
    return true;
}

bool anyChangedIn(const AppState& app, int half, std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t i = from; i < to; ++i)
        if (app.view.changed(std::uint32_t(half) * kPageSize + i)) return true;
    return false;
}

void clearChangedIn(AppState& app, int half, std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t i = from; i < to; ++i) {
        const std::uint32_t k = std::uint32_t(half) * kPageSize + i;
        app.view.changedBits[k >> 3] &= std::uint8_t(~(1u << (k & 7)));
    }
}

void followPairLinks(AppState& app, int half) {
    const int other = 1 - half;
    if (!halfHasRecord(app, other)) return;
    if (half == 0)
        app.records.jData[1].prevPtr = app.records.jData[0].jAdr;
    else
        app.records.jData[0].nextPtr = app.records.jData[1].jAdr;
}

}  // namespace quorby
