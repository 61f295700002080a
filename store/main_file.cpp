// Opening, re-opening and closing the Main File.
#include "store/main_file.h"

#include <cstring>

#include "resources/menus.h"
#include "state/error_report.h"
#include "store/journal_lifecycle.h"
#include "store/journal_naming.h"
#include "store/main_file_steps.h"
#include "store/same_file.h"
#include "store/shown_state.h"
#include "store/page_assembly.h"
#include "store/store_page.h"
#include "store/write_all.h"
#include "view/status_cells.h"
#include "view/view_refresh.h"

namespace quorby {

namespace {

bool isCurrentMainFile(AppState& app, const std::string& name) {
    return app.main.mainHandle != kNoFile && app.main.mainKind == MainKind::File &&
           sameFile(*app.files, name, app.main.mainName);
}

// The current file again with the requested access: the new handle replaces
// the old one only once it is open, so a refusal leaves the file as it was.
int reopenInPlace(AppState& app, const std::string& name) {
    bool writable = !app.main.openReadOnly;
    FileHandle handle = kNoFile;
    if (app.files->open(name, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly, &handle) != 0)
        return reportOpenFailure(app, name, writable);
    app.files->close(app.main.mainHandle);
    app.main.mainHandle = handle;
    showMainFileAccess(app, writable);
    app.files->lastWriteTime(handle, &app.main.mainTime);
    return 0;
}

void resetViewAfterClosing(AppState& app) {
    ViewState& v = app.view;
    std::memset(v.pageBuffer, 0, sizeof v.pageBuffer);
    std::memset(v.changedBits, 0, sizeof v.changedBits);
    v.halfDirty[0] = v.halfDirty[1] = false;
    v.pagePos = 0;
    v.pageLength = 0;
    v.firstPageCount = v.secondPageCount = 0;
    v.midPtr = kEmptyPtr;
    v.viewOffset = 0;
    v.cursorOffset = 0;
    v.selectionStart = v.selectionEnd = 0;
    v.selectionActive = 0;
}

}  // namespace

void showMainFileAccess(AppState& app, bool writable) {
    if (writable) {
        app.shell.accessFlags |= kAccessWritable;
        showWritable(app);
    } else {
        app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
        showReadOnly(app);
    }
}

int reportOpenFailure(AppState& app, const std::string& name, bool writing) {
    // "Error writing " only when it was the write access that was refused
    // (access denied, write protected); a missing file is a reading matter.
    constexpr std::uint32_t kAccessDenied = 5, kWriteProtected = 19;
    std::uint32_t code = app.files->lastError().code;
    bool writeRefused = writing && (code == kAccessDenied || code == kWriteProtected);
    reportError(app, writeRefused ? kErrorWriting : kErrorReading, name);
    return 1;
}

void setMainName(AppState& app, const std::string& name) {
    app.main.mainName = name;
    showMainFileCaption(app);
}

void finishOpening(AppState& app) {
    // The Journal File of the new Main File is found, checked or created.
    openJournalForMainFile(app);
    // The pair, view offset and cursor records saved in the journal header.
    restoreViewFromJournal(app);
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
    if (app.files->size(handle, &size) != 0) {
        reportError(app, kErrorReading, name);
        app.files->close(handle);
        return 1;
    }

    closeMainFile(app);
    app.main.mainHandle = handle;
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

int closeMainFile(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    // Store the pending changes of the shown pages (halfDirty), offer
    // unwritten journal changes for writing ("Write File?"), close the
    // Journal File.
    storePage(app);
    offerWriteOnClose(app);
    closeJournal(app);
    app.files->close(app.main.mainHandle);
    app.main.mainHandle = kNoFile;
    app.main.mainKind = MainKind::None;
    app.main.mainName.clear();
    app.main.devicePath.clear();
    app.main.mainDriveLetter = 0;
    app.main.fileSize = 0;
    app.main.lastBytePos = 0;
    app.main.mainTime = 0;
    app.shell.modeFlags &= ~std::uint32_t(kModeDrive | kModeOldDiskService);
    enterPermanentMode(app, PermanentMode::Edit);
    showMainFileAccess(app, false);
    resetViewAfterClosing(app);
    // Without a Main File the window carries the program's caption again.
    app.shell.caption = kProgramCaption;
    app.platform->setCaption(app.shell.caption);
    app.platform->setMenuEnabled(kMenuAvi, false);
    refreshView(app);
    return 0;
}

int reopenReadWrite(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    app.main.openReadOnly = false;
    app.lifecycle.journalChoice = kJournalChoiceKeepReopen;
    int result = app.main.mainKind == MainKind::File
                     ? openMainFile(app, app.main.mainName)
                     : changeDriveAccess(app, true);
    if (result != 0 || (app.shell.accessFlags & kAccessWritable) == 0) return 1;
    return 0;
}

int checkMainFileBeforeWriting(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    if (app.main.mainKind != MainKind::File) return 0;
    FileIdentity open, named;
    if (app.files->handleIdentity(app.main.mainHandle, &open) == 0 &&
        (app.files->fileIdentity(app.main.mainName, &named) != 0 || !(open == named))) {
        showMessageBox(app, "The Main File has been deleted or replaced since it was opened !\n\nNothing is written into it.",
                       "Main File gone !", MsgButtons::Ok, MsgIcon::Information);
        return 1;
    }
    FilePos size = 0;
    if (app.files->size(app.main.mainHandle, &size) == 0 && size < app.main.fileSize) {
        showMessageBox(app, "The Main File has been shortened by another program !\n\nNothing is written into it.",
                       "Main File changed !", MsgButtons::Ok, MsgIcon::Information);
        return 1;
    }
    std::uint64_t time = 0;
    // While a command writes into the Main File, the new time is its own.
    const bool writing = app.journal.handle != kNoFile && (app.journal.header.jnlFlags & kJnlMainFileWriting) != 0;
    if (app.files->lastWriteTime(app.main.mainHandle, &time) != 0) return 0;
    if (writing) app.main.mainTime = time;
    if (time != app.main.mainTime) {
        const MsgAnswer answer = showMessageBox(
            app, "Another program has changed the Main File since it was read !\n\nOverwrite its Changes with the Bytes of this Editor ?",
            "Main File changed !", MsgButtons::YesNo, MsgIcon::Question, true);
        if (answer != MsgAnswer::Yes) return 1;
        app.main.mainTime = time;
    }
    return 0;
}

int ensureWritable(AppState& app) {
    if (checkMainFileBeforeWriting(app) != 0) return 1;
    if (app.shell.accessFlags & kAccessWritable) return 0;
    if (app.main.mainHandle == kNoFile) return 1;
    if (app.settings.messageSwitches & kMsgWriteProtect) {
        int answer = askQuestion(app, "Re-open in Read-Write-Mode ?",
                                 "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?");
        if ((answer & kAnswerYes) == 0) return 1;
        if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgWriteProtect);
    }
    return reopenReadWrite(app);
}

}  // namespace quorby
