#include "edit/copy_with_changes.h"

#include "state/work_buffer_access.h"
#include <cerrno>
#include <cstring>

#include "edit/unreadable_report.h"
#include "journal/journal_overlay.h"
#include "salvage/sector_reads.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {


// What a command run from the poll between two blocks may change under the
// copy: another Main File, or the address chain (stores, undo, redo, another
// Journal File).
struct Watched {
    FileHandle mainHandle = kNoFile;
    FileHandle journalHandle = kNoFile;
    FilePos journalEnd = 0, first = 0, lastPtr = 0, undo = 0;
};

Watched watch(const AppState& app) {
    const JournalHeader& h = app.journal.header;
    return {app.main.mainHandle, app.journal.handle, app.journal.journalEnd, h.first, h.lastPtr, h.undo};
}

bool sameChain(const Watched& a, const Watched& b) {
    return a.journalHandle == b.journalHandle && a.journalEnd == b.journalEnd && a.first == b.first &&
           a.lastPtr == b.lastPtr && a.undo == b.undo;
}

FilePos chainStart(const JournalFile& journal) {
    return journal.handle == kNoFile ? kEmptyPtr : journal.header.first;
}

// Notes whether the overlay's walk reported a failed read, passing the
// report on to the program's reporter.
struct FailureNote {
    JournalFailureReporter inner = nullptr;
    void* innerContext = nullptr;
    bool reported = false;
};

void noteFailure(void* context, const JournalFile& jf, bool writing) {
    auto* note = static_cast<FailureNote*>(context);
    note->reported = true;
    if (note->inner) note->inner(note->innerContext, jf, writing);
}

// Lays the journal's current versions over the block. Result 1 when the rest
// of the copy cannot be assembled; the failure has been reported.
int overlayChanges(AppState& app, FilePos& chainPos, FilePos blockStart, std::uint8_t* block, std::uint32_t count) {
    if (isEmptyPtr(chainPos) || count == 0) return 0;
    JournalFile& jf = app.journal;
    FailureNote note{jf.reportFailure, jf.reportContext, false};
    jf.reportFailure = noteFailure;
    jf.reportContext = &note;
    const int result = overlayJournalChanges(jf, journalOverlayWindow(app), chainPos, true, blockStart, block, count);
    jf.reportFailure = note.inner;
    jf.reportContext = note.innerContext;
    if (result != 0 && !note.reported) {
        // The chain broke its order or pointed outside the file.
        jf.files->setLastError({13, EINVAL});
        reportError(app, kErrorReading, jf.name);
    }
    return result;
}

// The Main File's bytes of the block: every readable sector; unreadable ones
// become zeros and go into `unreadable` (as far as they lie in [from, to)).
// A file that ends early gives fewer bytes.
std::uint32_t readMainBlock(AppState& app, FilePos pos, std::uint8_t* block, std::uint32_t want, FilePos from,
                            FilePos to, ByteRanges& unreadable) {
    std::uint32_t done = 0;
    ReadGaps gaps;
    if (salvageRead(*app.files, app.main.mainHandle, app.main.unreadable, pos, block, want, &done, &gaps) != 0) {
        // Not a matter of single sectors: reported, and the rest as zeros.
        reportError(app, kErrorReading, app.main.mainName);
        if (done > want) done = want;
        std::memset(block + done, 0, want - done);
        return want;
    }
    for (int i = 0; i < gaps.count; ++i) {
        const FilePos gapFrom = pos + gaps.offset[i], gapTo = gapFrom + gaps.length[i];
        (void)addRange(unreadable, gapFrom > from ? gapFrom : from, gapTo < to ? gapTo : to);
    }
    return done < want ? done : want;
}

// The poll between two blocks. The platform is asked once per block; the
// banner keeps the pace of one poll per 1024 bytes copied, so a copy of less
// than 257 such steps never shows it. Returns true when the user stops.
bool pollBetweenBlocks(AppState& app, std::uint32_t steps, FilePos reached) {
    if (app.platform->pollPendingInput() && askInterrupt(app)) return true;
    if (countProgressSteps(app, steps)) {
        showScrollPosition(app, reached);
        refreshBanner(app);
    }
    return false;
}

struct RunningCopy {
    explicit RunningCopy(EditState& edit) : edit_(edit) { edit_.contentCopyRunning = true; }
    ~RunningCopy() { edit_.contentCopyRunning = false; }
    EditState& edit_;
};

}  // namespace

bool contentCopyRunning(const AppState& app) { return app.edit.contentCopyRunning; }

ShownBytes shownPageBytes(const AppState& app) {
    const ViewState& v = app.view;
    const std::uint32_t left = v.pageLength > v.viewOffset ? v.pageLength - v.viewOffset : 0;
    return {v.pageBuffer + v.viewOffset, left < kPageSize ? left : std::uint32_t(kPageSize)};
}

SelectedRange selectedRange(const AppState& app) {
    const FilePos size = app.main.fileSize;
    const FilePos from = app.view.selectionStart;
    const FilePos to = app.view.selectionEnd < size ? app.view.selectionEnd : size;
    return from < to ? SelectedRange{from, to} : SelectedRange{0, 0};
}

int copyWithChanges(AppState& app, FilePos from, FilePos to, CopyTarget& target, const char* title) {
    if (app.edit.contentCopyRunning || app.main.mainHandle == kNoFile) return 1;
    RunningCopy running(app.edit);
    if (title) startProgress(app, title);
    std::uint8_t* block = copyBlockBuffer(app);
    FilePos chainPos = chainStart(app.journal);
    Watched watched = watch(app);
    ProgressRange range(app, from, to);
    // Reads start on a page boundary (drives are read in whole sectors); the
    // bytes before `from` in the first block are not written.
    for (FilePos pos = pageStart(from); pos < to;) {
        const std::uint32_t want = to - pos < kCopyBlockSize ? std::uint32_t(to - pos) : kCopyBlockSize;
        const std::uint32_t got = readMainBlock(app, pos, block, want, from, to, target.unreadable);
        if (overlayChanges(app, chainPos, pos, block, got) != 0) return 1;
        const std::uint32_t skip = pos < from ? std::uint32_t(from - pos) : 0;
        if (got > skip && writeToTarget(app, target, block + skip, got - skip) != 0) return 1;
        if (got < want) return 1;  // the Main File became shorter meanwhile
        pos += got;
        if (pos >= to) break;
        range.reached(pos);
        if (title && pollBetweenBlocks(app, (got - skip + kCopyStepBytes - 1) / kCopyStepBytes, pos)) return 1;
        const Watched now = watch(app);
        if (now.mainHandle != watched.mainHandle) return 1;
        if (!sameChain(now, watched)) chainPos = chainStart(app.journal);
        watched = now;
    }
    return 0;
}

int copyContentToTarget(AppState& app, FilePos from, FilePos to, CopyTarget& target, const char* title) {
    if (checkFreeSpace(app, target.name, to - from) != 0) {
        closeTarget(app, target);
        return 1;
    }
    const FilePos shownPage = app.view.pagePos;
    // Declined typed changes are dropped by the store; the copy goes on
    // without them, as the view then shows the page.
    if (storeTypedChangesFirst(app) != 0) {
        closeTarget(app, target);
        return 1;
    }
    const int result = copyWithChanges(app, from, to, target, title);
    closeTarget(app, target);
    reportUnreadableCopy(app, app.main.mainName, target.unreadable, target.name);
    const int reloaded = loadPagePair(app, shownPage);
    updateScrollBar(app);
    drawPage(app);
    return result != 0 || reloaded != 0 ? 1 : 0;
}

}  // namespace quorby
