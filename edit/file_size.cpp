#include "edit/file_size.h"

#include "state/error_report.h"
#include "store/main_file.h"

namespace quorby {

namespace {

bool declined(AppState& app, std::uint32_t messageSwitch, const char* caption, const char* text) {
    if ((app.settings.messageSwitches & messageSwitch) == 0) return false;
    const int answer = askQuestion(app, caption, text);
    if ((answer & kAnswerYes) == 0) return true;
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~messageSwitch;
    return false;
}

// The size, the last byte and the last-write time as the file has them now.
void takeSizeAgain(AppState& app) {
    FilePos size = app.main.fileSize;
    if (app.files->size(app.main.mainHandle, &size) != 0) reportError(app, "Error !", app.main.mainName);
    app.main.fileSize = size;
    app.main.lastBytePos = size == 0 ? 0 : size - 1;
    app.files->lastWriteTime(app.main.mainHandle, &app.main.mainTime);
}

}  // namespace

int enlargeMainFile(AppState& app, FilePos newSize) {
    if (app.main.mainHandle == kNoFile || (app.shell.modeFlags & kModeDrive) != 0) return 1;
    if (newSize <= app.main.fileSize) return 1;
    if (declined(app, kMsgEnlargeDecrease, "ENLARGE ?", "Shall this File really be enlarged ?")) return 1;
    if ((app.shell.accessFlags & kAccessWritable) == 0) {
        if (declined(app, kMsgWriteProtect, "Re-open in Read-Write-Mode ?",
                     "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?"))
            return 1;
        if (reopenReadWrite(app) != 0) return 1;
    }
    if (requireFreeSpace(app, app.main.mainName, newSize - app.main.fileSize) != 0) return 1;
    const int failed = app.files->setSize(app.main.mainHandle, newSize);
    if (failed != 0) reportError(app, "Error !", app.main.mainName);
    takeSizeAgain(app);
    return failed != 0 || app.main.fileSize != newSize ? 1 : 0;
}

}  // namespace quorby
