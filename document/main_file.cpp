// The Main File's handle: access shown, name set, re-opened in place, and
// let go of at the end of closing.
#include "document/main_file.h"

#include <cstring>

#include "document/main_file_steps.h"
#include "document/shown_state.h"
#include "state/error_report.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

void resetViewAfterClosing(ViewState& v) {
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

ClosingQuestion closingQuestion(const AppState& app) {
    const JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return ClosingQuestion::None;
    if ((app.settings.messageSwitches & kMsgSaveFileOnExit) == 0) return ClosingQuestion::None;
    if ((jf.header.jnlFlags & kJnlUnwrittenChanges) == 0) return ClosingQuestion::None;
    return ClosingQuestion::WriteFile;
}

void releaseMainFile(AppState& app) {
    app.files->close(app.main.mainHandle);
    app.main.mainHandle = kNoFile;
    forgetUnreadable(app.main.unreadable, kDefaultSectorSize);
    app.main.mainKind = MainKind::None;
    app.main.mainName.clear();
    app.main.devicePath.clear();
    app.main.mainDriveLetter = 0;
    app.main.fileSize = 0;
    app.main.lastBytePos = 0;
    app.main.mainTime = 0;
    app.shell.modeFlags &= ~std::uint32_t(kModeDrive | kModeOldDiskService);
    app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
    resetViewAfterClosing(app.view);
    // Without a Main File the window carries the program's caption again.
    app.shell.caption = kProgramCaption;
}

}  // namespace quorby
