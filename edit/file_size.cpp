#include "edit/file_size.h"

#include <cstring>

#include "journal/command_commit.h"
#include "journal/journal_file.h"
#include "navigate/page_moves.h"
#include "state/error_report.h"
#include "edit/free_space.h"
#include "document/journal_lifecycle.h"
#include "document/main_file.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

// The size, the last byte and the last-write time as the file has them now.
void takeSizeAgain(AppState& app) {
    FilePos size = app.main.fileSize;
    if (app.files->size(app.main.mainHandle, &size) != 0) reportError(app, "Error !", app.main.mainName);
    app.main.fileSize = size;
    app.main.lastBytePos = size == 0 ? 0 : size - 1;
    app.files->lastWriteTime(app.main.mainHandle, &app.main.mainTime);
}

bool refusedToWrite(AppState& app) {
    if ((app.shell.accessFlags & kAccessWritable) != 0) return false;
    if (declinedQuestion(app, kMsgWriteProtect, "Re-open in Read-Write-Mode ?",
                 "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?"))
        return true;
    return reopenReadWrite(app) != 0;
}

// Every version of the page whose record in the address chain is at
// `chainPtr` (older ones along PJnl, newer ones along NJnl) holds `anz`
// bytes: bytes beyond are dropped, bytes added are zeros, as the Main File
// has them. So no version, shown again by an undo or written back by a
// restore, brings bytes from beyond an end the file once had. The chain's
// own record is the end of the address chain when the file ends in it.
int fitVersion(JournalFile& jf, FilePos ptr, std::uint32_t anz, bool chainEnd, FilePos* older, FilePos* newer) {
    JournalRecord r;
    if (readRecord(jf, ptr, r) != 0) return 1;
    *older = r.pJnl;
    *newer = r.nJnl;
    if (r.anz > anz) {
        std::memset(r.data + anz, 0, r.anz - anz);
        for (std::uint32_t k = anz; k < r.anz; ++k) r.changeMap[k / 8] &= std::uint8_t(~(1u << (k % 8)));
    } else {
        std::memset(r.data + r.anz, 0, anz - r.anz);
    }
    r.anz = anz;
    if (chainEnd) r.nextPtr = kEmptyPtr;
    return writeRecord(jf, r);
}

int fitEveryVersion(JournalFile& jf, FilePos chainPtr, std::uint32_t anz) {
    const bool chainEnd = anz < std::uint32_t(kPageSize);
    FilePos older = kEmptyPtr, newer = kEmptyPtr, next = kEmptyPtr;
    int result = fitVersion(jf, chainPtr, anz, chainEnd, &older, &newer);
    for (FilePos ptr = older; !isEmptyPtr(ptr) && result == 0; ptr = next) {
        FilePos ignored;
        result = fitVersion(jf, ptr, anz, false, &next, &ignored);
    }
    for (FilePos ptr = newer; !isEmptyPtr(ptr) && result == 0; ptr = next) {
        FilePos ignored;
        result = fitVersion(jf, ptr, anz, false, &ignored, &next);
    }
    return result;
}

// The journal forgets the pages at and beyond `newSize`: they leave the
// address chain, and the undo order (which might step onto them) is
// emptied when there were any. The page that holds the new end counts only
// the bytes before it.
int cutJournalAt(JournalFile& jf, FilePos newSize) {
    JournalRecord last;
    if (isEmptyPtr(jf.header.lastPtr)) return 0;
    if (readRecordHeader(jf, jf.header.lastPtr, kRecordLinks, last) != 0) return 1;
    if (last.mainAdr >= newSize) {
        if (cutAddressChain(jf, newSize) != 0) return 1;
        jf.header.undo = kEmptyPtr;
        jf.header.firstUndo = kEmptyPtr;
    }
    FilePos endPtr = kEmptyPtr;
    JournalRecord end;
    if (findPredecessor(jf, newSize, &endPtr, &end) != 0) return 1;
    if (isEmptyPtr(endPtr) || end.mainAdr + kPageSize <= newSize) return 0;
    return fitEveryVersion(jf, endPtr, std::uint32_t(newSize - end.mainAdr));
}

// The page that held the old end counts the added bytes as its own (zeros,
// as the Main File has them), so that they show and take changes.
int extendEndRecord(JournalFile& jf, FilePos oldSize, FilePos newSize) {
    FilePos endPtr = kEmptyPtr;
    JournalRecord end;
    if (findPredecessor(jf, oldSize, &endPtr, &end) != 0) return 1;
    if (isEmptyPtr(endPtr) || end.mainAdr + end.anz != oldSize || end.anz >= std::uint32_t(kPageSize)) return 0;
    const FilePos count = newSize - end.mainAdr;
    return fitEveryVersion(jf, endPtr, count < FilePos(kPageSize) ? std::uint32_t(count) : std::uint32_t(kPageSize));
}

int decreaseMainFile(AppState& app, FilePos newSize) {
    if (declinedQuestion(app, kMsgEnlargeDecrease, "DECREASE ?", "Shall this File really be decreased ?")) return 1;
    if (refusedToWrite(app)) return 1;
    if (pageIsDirty(app) && storePage(app) != 0) return 1;
    // The cut is a write into the Main File like any other: its length is
    // kept in the rollback file first, and the command's commit takes the
    // journal's cut pages and the new last-write time together.
    if (journalIsOpen(app) && beginMainFileCut(app.journal, app.main.mainHandle) != 0) return 1;
    int result = app.files->setSize(app.main.mainHandle, newSize);
    if (result != 0) reportError(app, "Error !", app.main.mainName);
    takeSizeAgain(app);
    // The journal keeps the pages of a file that did not get shorter.
    if (app.main.fileSize != newSize) result = 1;
    else if (journalIsOpen(app)) {
        result |= cutJournalAt(app.journal, newSize);
        noteMainFileWritten(app);
        result |= commitCommand(app.journal);
        forgetCursorRecords(app);
    }
    const FilePos lastPage = pageStart(app.main.lastBytePos);
    const FilePos cursor = app.view.cursorPos();
    // The size has changed whatever the view can show; a page that cannot be read is reported.
    if (app.view.pagePos > lastPage) {
        (void)showWithCursorAt(app, lastPage);
    } else {
        (void)loadPagePair(app, app.view.pagePos);
        if (cursor > app.main.lastBytePos) (void)showWithCursorAt(app, app.main.lastBytePos);
    }
    redrawView(app);
    return result;
}

}  // namespace

int resizeMainFile(AppState& app, FilePos newSize) {
    if (app.main.mainHandle == kNoFile || (app.shell.modeFlags & kModeDrive) != 0) return 1;
    if (newSize == app.main.fileSize) return 0;
    if (newSize < app.main.fileSize) return decreaseMainFile(app, newSize);
    const FilePos oldSize = app.main.fileSize;
    if (pageIsDirty(app) && storePage(app) != 0) return 1;
    if (enlargeMainFile(app, newSize) != 0) return 1;
    if (app.settings.resizeOptions & 1u) {
        app.view.selectionStart = oldSize;
        app.view.selectionEnd = newSize;
        app.view.selectionActive = kSelectionExists;
    }
    (void)loadPagePair(app, app.view.pagePos);  // reported; the file has its new size
    redrawView(app);
    return 0;
}

int enlargeMainFile(AppState& app, FilePos newSize) {
    if (app.main.mainHandle == kNoFile || (app.shell.modeFlags & kModeDrive) != 0) return 1;
    if (newSize <= app.main.fileSize) return 1;
    if (declinedQuestion(app, kMsgEnlargeDecrease, "ENLARGE ?", "Shall this File really be enlarged ?")) return 1;
    if (refusedToWrite(app)) return 1;
    if (requireFreeSpace(app, app.main.mainName, newSize - app.main.fileSize) != 0) return 1;
    const FilePos oldSize = app.main.fileSize;
    // As a cut: the length before is kept first, so that a program killed
    // before the command's commit finds the file as it was.
    if (journalIsOpen(app) && beginMainFileCut(app.journal, app.main.mainHandle) != 0) return 1;
    const int failed = app.files->setSize(app.main.mainHandle, newSize);
    if (failed != 0) reportError(app, "Error !", app.main.mainName);
    takeSizeAgain(app);
    if (failed != 0 || app.main.fileSize != newSize) return 1;
    forgetCursorRecords(app);
    if (!journalIsOpen(app)) return 0;
    int result = extendEndRecord(app.journal, oldSize, newSize);
    noteMainFileWritten(app);
    return result | commitCommand(app.journal);
}

}  // namespace quorby
