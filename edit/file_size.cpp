#include "edit/file_size.h"

#include "journal/command_commit.h"
#include "journal/length_fit.h"
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

int enlargeMainFile(AppState& app, FilePos newSize, bool commitNow) {
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
    return commitNow ? result | commitCommand(app.journal) : result;
}

}  // namespace quorby
