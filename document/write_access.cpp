// The Main File made ready for the program's writes: checked against other
// programs' changes, re-opened with write access. The storing and exchange
// paths call these in the middle of an operation, so the questions of write
// access are asked here.
#include "document/main_file.h"

#include "document/main_file_steps.h"
#include "state/error_report.h"

namespace quorby {

namespace {

constexpr const char* kWritingDirectlyCaption = "               *** ! ! ! ! ! ! ! ! ! ! ***";
constexpr const char* kWritingDirectlyText =
    "WARNING !\nWriting to the Drive directly\ncan cause complete Loss of Data !\nPlease Check any Write-Action !";

// "Writing directly": asked before a drive is opened with write access.
// Result 1 when the user declined.
int confirmWritingDirectly(AppState& app) {
    if ((app.settings.messageSwitches & kMsgWritingDirectly) == 0) return 0;
    int answer = askQuestion(app, kWritingDirectlyCaption, kWritingDirectlyText);
    if ((answer & kAnswerYes) == 0) return 1;
    // Switched off only together with Yes: a No must not silence the warning
    // for the next, perhaps intended, write access.
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgWritingDirectly);
    return 0;
}

}  // namespace

int openDeviceHandle(AppState& app, const std::string& name, const std::string& devicePath, bool writable,
                     FileHandle* handle) {
    if (writable && confirmWritingDirectly(app) != 0) return 1;
    if (app.files->open(devicePath, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly, handle) != 0)
        return reportOpenFailure(app, name, writable);
    return 0;
}

int changeDriveAccess(AppState& app, bool writable) {
    bool isWritable = (app.shell.accessFlags & kAccessWritable) != 0;
    if (writable != isWritable) {
        FileHandle handle = kNoFile;
        if (openDeviceHandle(app, app.main.mainName, app.main.devicePath, writable, &handle) != 0) return 1;
        app.files->close(app.main.mainHandle);
        app.main.mainHandle = handle;
        app.files->lastWriteTime(handle, &app.main.mainTime);
    }
    showMainFileAccess(app, writable);
    return 0;
}

int reopenReadWrite(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    app.main.openReadOnly = false;
    app.lifecycle.journalChoice = kJournalChoiceKeepReopen;
    // The same file under the same name: only the handle changes.
    int result = app.main.mainKind == MainKind::File ? reopenInPlace(app, app.main.mainName)
                                                     : changeDriveAccess(app, true);
    if (result != 0 || (app.shell.accessFlags & kAccessWritable) == 0) return 1;
    return 0;
}

int reopenReadOnly(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    if ((app.shell.accessFlags & kAccessWritable) == 0) return 0;
    app.main.openReadOnly = true;
    return app.main.mainKind == MainKind::File ? reopenInPlace(app, app.main.mainName) : changeDriveAccess(app, false);
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
    // The time known is that of this program's last write (writeMainBytes):
    // any other means another program wrote since.
    std::uint64_t time = 0;
    if (app.files->lastWriteTime(app.main.mainHandle, &time) != 0) return 0;
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
