#include "edit/paste_bytes.h"

#include <cstring>

#include "edit/file_size.h"
#include "edit/journal_growth_check.h"
#include "edit/paste_direct_run.h"
#include "edit/paste_read_ahead.h"
#include "edit/switches_off.h"
#include "navigate/page_moves.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
#include "document/store_page.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

constexpr const char* kEnlargeCaption = "Too much Amount of Data !";

bool declinedEnlarging(AppState& app, FilePos missing, EnlargeAsk ask) {
    if ((app.settings.messageSwitches & kMsgPasteEnlarge) == 0) return false;
    const std::string text = enlargeQuestionText(missing);
    if (ask == EnlargeAsk::MessageBox) {
        MessageBoxDescription box;
        box.caption = kEnlargeCaption;
        box.text = text;
        box.buttons = MsgButtons::YesNo;
        box.icon = MsgIcon::Question;
        return app.platform->messageBox(box) != MsgAnswer::Yes;
    }
    return declinedQuestion(app, kMsgPasteEnlarge, kEnlargeCaption, text);
}

// The pasted bytes [at, at + count) of pageBuffer are changes of the halves
// they lie in, as if typed.
void markPasted(AppState& app, std::uint32_t at, std::uint32_t count) {
    // Whole bytes of the change map at once: a paste marks every byte of
    // thousands of pages.
    const std::uint32_t end = at + count;
    std::uint32_t k = at;
    for (; k < end && (k & 7) != 0; ++k) app.view.setChanged(k);
    if (end - k >= 8) {
        std::memset(app.view.changedBits + (k >> 3), 0xFF, (end - k) >> 3);
        k += (end - k) & ~7u;
    }
    for (; k < end; ++k) app.view.setChanged(k);
    if (at < std::uint32_t(kPageSize)) markHalfChanged(app, 0);
    if (at + count > std::uint32_t(kPageSize)) markHalfChanged(app, 1);
}

// While it lives, the first failed transfer of the Journal File is reported
// and the ones after it are not: once a store met a full or failing drive,
// the other half of its pair and the closing of the history entry meet the
// same drive, and one message says it.
class FirstJournalFailureOnly {
public:
    explicit FirstJournalFailureOnly(JournalFile& jf)
        : jf_(jf), report_(jf.reportFailure), context_(jf.reportContext) {
        jf.reportFailure = &FirstJournalFailureOnly::once;
        jf.reportContext = this;
    }
    ~FirstJournalFailureOnly() {
        jf_.reportFailure = report_;
        jf_.reportContext = context_;
    }
    FirstJournalFailureOnly(const FirstJournalFailureOnly&) = delete;
    FirstJournalFailureOnly& operator=(const FirstJournalFailureOnly&) = delete;

private:
    static void once(void* self, const JournalFile& jf, bool writing) {
        auto& me = *static_cast<FirstJournalFailureOnly*>(self);
        if (me.reported_ || me.report_ == nullptr) return;
        me.reported_ = true;
        me.report_(me.context_, jf, writing);
    }
    JournalFile& jf_;
    JournalFailureReporter report_;
    void* context_;
    bool reported_ = false;
};

// The pairs from the one holding `start` on, each loaded, filled from the
// source and stored into one entry of the history; last pair first when
// `backwards`.
int pasteFromCursor(AppState& app, const PasteSource& source, FilePos start, FilePos n, bool backwards) {
    const FilePos first = pageStart(start);
    const FilePos end = start + n;
    const FilePos pairs = (end - first + kPagePairSize - 1) / kPagePairSize;
    FirstJournalFailureOnly oneMessage(app.journal);
    DirectPasteRun quickWay(app, source, start, end);
    const bool journalAccess = (app.shell.accessFlags & kAccessDirect) == 0;
    PasteReadAhead ahead(app, source, start, end, journalAccess && !backwards);
    beginStoreGroup(app);
    ProgressRange range(app, backwards ? end : start, backwards ? start : end);
    int result = 0;
    for (FilePos i = 0; i < pairs && result == 0; ++i) {
        const FilePos pairPos = first + (backwards ? pairs - 1 - i : i) * kPagePairSize;
        range.reached(backwards ? pairPos + kPagePairSize : pairPos);
        if (i > 0 && pollProgress(app)) {
            result = 1;
            break;
        }
        bool failed = false;
        const FilePos written = backwards ? 0 : quickWay.write(pairPos, pairs - i, &failed);
        if (failed) {
            result = 1;
            break;
        }
        if (written > 0) {
            i += written - 1;
            continue;
        }
        ahead.aheadOfPair(pairPos);
        if (loadPagePair(app, pairPos) != 0) {
            result = 1;
            break;
        }
        quickWay.notePairLoaded();
        ViewState& v = app.view;
        const FilePos from = start > v.pagePos ? start : v.pagePos;
        const FilePos to = end < v.pagePos + v.pageLength ? end : v.pagePos + v.pageLength;
        if (v.pagePos != pairPos || to <= from) {
            result = 1;   // the pair does not hold it: the file is shorter than expected
            break;
        }
        const std::uint32_t at = std::uint32_t(from - v.pagePos);
        const std::uint32_t take = std::uint32_t(to - from);
        if (ahead.readSource(from - start, v.pageBuffer + at, take) != 0) {
            result = 1;
            break;
        }
        markPasted(app, at, take);
        result = storePage(app);
    }
    dropPageChanges(app);
    // Closing the group changes no page: the overview stays as the stores left it.
    const bool overviewCurrent = journalChangesCurrent(app);
    result |= endStoreGroup(app);
    noteWalkStillCurrent(app, overviewCurrent);
    return result;
}

}  // namespace

int readPasteSource(AppState& app, const PasteSource& source, FilePos offset, std::uint8_t* out, std::uint32_t count) {
    if (source.fill >= 0) {
        std::memset(out, source.fill, count);
        return 0;
    }
    if (source.bytes != nullptr) {
        std::memcpy(out, source.bytes + offset, count);
        return 0;
    }
    std::uint32_t done = 0;
    if (source.unreadable != nullptr && source.skipped != nullptr) {
        ReadGaps gaps;
        const FilePos pos = source.fileStart + offset;
        const int failed = salvageRead(*app.files, source.file, *source.unreadable, pos, out, count, &done, &gaps);
        addGapsAt(*source.skipped, pos, gaps);
        if (failed == 0 && done == count) return 0;
        if (failed == 0) app.files->setLastError({kCodeReachedEndOfFile, 0});
        reportError(app, kErrorReading, source.name);
        return 1;
    }
    if (app.files->readAt(source.file, source.fileStart + offset, out, count, &done) != 0 || done != count) {
        reportError(app, kErrorReading, source.name);
        return 1;
    }
    return 0;
}

std::string enlargeQuestionText(FilePos missing) {
    return "For this Action the file is for\n" + std::to_string(missing) + "  Bytes too small !\nSHALL THE FILE BE ENLARGED ?";
}

int pasteBytes(AppState& app, const PasteSource& source, FilePos start, FilePos n, const char* title,
               EnlargeAsk ask) {
    if (app.main.mainHandle == kNoFile || n == 0) return 1;
    if (pageIsDirty(app) && storePage(app) != 0) return 1;
    BulkChangeAccess access(app);
    if (access.check(n) != 0) return 1;
    ViewState& v = app.view;
    if (start + n > app.main.fileSize) {
        if (declinedEnlarging(app, start + n - app.main.fileSize, ask)) return 1;
        SwitchesOff quiet(app, kMsgEnlargeDecrease | kMsgWriteProtect);
        if (enlargeMainFile(app, start + n, false) != 0) return 1;
    }
    const FilePos pagePos = v.pagePos;
    const std::uint32_t viewOffset = v.viewOffset;
    const std::uint32_t cursorOffset = v.cursorOffset;
    int result = loadPagePair(app, pageStart(start));   // as long as the file is now
    if (result == 0) {
        startProgress(app, title);
        // A paste over thousands of pages asks nothing page by page.
        SwitchesOff quiet(app, kMsgSavePage);
        // A source that is the Main File itself is read before its bytes are
        // overwritten (a direct write changes them at once): its copy runs from
        // the end, as it always lies at or after the source.
        const bool backwards = source.file != kNoFile && source.file == app.main.mainHandle;
        result = pasteFromCursor(app, source, start, n, backwards);
    }
    (void)loadPagePair(app, pagePos);  // reported; what was pasted stands
    v.viewOffset = viewOffset;
    v.cursorOffset = cursorOffset;
    redrawView(app);
    return result;
}

}  // namespace quorby
