// "&Open", opening a named file and closing the Main File: the dialogs and
// questions around the document's opening and closing steps.
#include "filemenu/open_close.h"

#include <cstring>

#include "document/journal_lifecycle.h"
#include "document/main_file.h"
#include "document/main_file_steps.h"
#include "document/page_assembly.h"
#include "document/same_file.h"
#include "document/store_page.h"
#include "edit/write_all.h"
#include "filemenu/journal_opening.h"
#include "filemenu/last_opened_files.h"
#include "journal/journal_name.h"
#include "resources/menus.h"
#include "state/error_report.h"
#include "view/status_cells.h"
#include "view/view_refresh.h"

namespace quorby {

namespace {

bool isCurrentMainFile(AppState& app, const std::string& name) {
    return app.main.mainHandle != kNoFile && app.main.mainKind == MainKind::File &&
           sameFile(*app.files, name, app.main.mainName);
}

}  // namespace

void finishOpening(AppState& app) {
    // The Journal File of the new Main File is found, checked or created.
    // Each step reports its own failure; the file stays open with what they gave.
    (void)openJournalForMainFile(app);
    // The pair, view offset and cursor records saved in the journal header.
    (void)restoreViewFromJournal(app);
    refreshView(app);
}

int chooseMainFile(AppState& app) {
    FileDialogRequest request;
    request.title = "Open File";
    request.filterName = "all Files";
    request.filterPattern = "*.*";
    request.presetName = lastOpenedPath(app, 0);
    request.showReadOnlyBox = true;
    request.readOnlyChecked = (app.settings.writeAccess & 1u) == 0;
    FileDialogResult chosen = app.platform->fileDialog(request);
    if (!chosen.accepted || chosen.path.empty()) return 1;
    app.main.openReadOnly = chosen.readOnly;
    app.lifecycle.journalChoice = kJournalChoiceAutomatic;
    app.settings.journalLocation &= 7u;
    return openMainFile(app, chosen.path);
}

int openMainFile(AppState& app, const std::string& nameGiven) {
    if (nameGiven.empty()) return 1;
    // One file, one name: the Journal File is named from the path without
    // symlinks, "." and "..", so every spelling finds the same journal.
    const std::string name = app.files->canonicalPath(nameGiven);
    // A ".jnl" name may open the Main File it belongs to, with it as Journal File.
    if (endsWithJnl(name)) {
        JournalAsMainFile how = openThroughJournal(app, name);
        if (how != JournalAsMainFile::OpenItself) return how == JournalAsMainFile::Opened ? 0 : 1;
    }
    if (isCurrentMainFile(app, name)) return reopenInPlace(app, name);

    bool writable = !app.main.openReadOnly;
    FileHandle handle = kNoFile;
    if (app.files->open(name, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly, &handle) != 0)
        return reportOpenFailure(app, nameGiven, writable);
    FilePos size = 0;
    if (takeOverMainHandle(app, handle, name, &size) != 0) return 1;
    app.main.mainKind = MainKind::File;
    app.main.devicePath.clear();
    setMainName(app, name);
    app.main.mainDriveLetter = name[0];
    app.shell.modeFlags &= ~std::uint32_t(kModeDrive | kModeOldDiskService);
    enterPermanentMode(app, PermanentMode::Edit);
    showMainFileAccess(app, writable);
    app.files->lastWriteTime(handle, &app.main.mainTime);
    app.main.fileSize = size;
    app.main.lastBytePos = size == 0 ? 0 : size - 1;
    if (app.view.viewOffset >= std::uint32_t(kPageSize)) app.view.viewOffset = 0;
    app.view.pagePos = 0;
    addToLastOpenedFiles(app, name);

    finishOpening(app);
    bool riff = app.view.pageLength >= 4 && std::memcmp(app.view.pageBuffer, "RIFF", 4) == 0;
    app.platform->setMenuEnabled(kMenuAvi, riff);
    return 0;
}

int takeOverMainHandle(AppState& app, FileHandle handle, const std::string& name, FilePos* size) {
    if (app.files->size(handle, size) != 0) {
        reportError(app, kErrorReading, name);
        app.files->close(handle);
        return 1;
    }
    (void)closeMainFile(app);  // its result 1 only says that none was open
    app.main.mainHandle = handle;
    forgetUnreadable(app.main.unreadable, app.files->sectorSize(handle));
    return 0;
}

int closeMainFile(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    // Store the pending changes of the shown pages (halfDirty), offer
    // unwritten journal changes for writing ("Write File?"), close the
    // Journal File.
    // The user closes: a store that fails or is declined has told him, and the closing goes on.
    (void)storePage(app);
    if (closingQuestion(app) == ClosingQuestion::WriteFile) offerWriteOnClose(app);
    (void)closeJournalAsking(app);
    releaseMainFile(app);
    enterPermanentMode(app, PermanentMode::Edit);
    showMainFileAccess(app, false);
    app.platform->setCaption(app.shell.caption);
    app.platform->setMenuEnabled(kMenuAvi, false);
    refreshView(app);
    return 0;
}

}  // namespace quorby
