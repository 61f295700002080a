#include "document/cut_command.h"

#include "document/journal_lifecycle.h"
#include "journal/command_commit.h"
#include "journal/length_fit.h"
#include "journal/rollback_file.h"
#include "state/error_report.h"

namespace quorby {

int putBackCutCommand(AppState& app, FileHandle journal, const std::string& journalName, FilePos* shortenedTo) {
    const std::string name = rollbackNameFor(journalName);
    RollbackFound found;
    if (inspectRollbackFile(*app.files, name, &found) != 0) {
        reportError(app, kErrorReading, name);
        return 1;
    }
    if (found.entries == 0) return replayRollbackFile(*app.files, name, journal, kNoFile) == 0 ? 0 : 1;
    // The Main File's own handle may be read-only; the bytes go back through one that writes.
    const std::string& mainPath = app.main.mainKind == MainKind::File ? app.main.mainName : app.main.devicePath;
    FileHandle main = kNoFile;
    if (found.mainEntries > 0 && app.files->open(mainPath, OpenMode::ReadWrite, &main) != 0) {
        reportError(app, kErrorWriting, app.main.mainName);
        return 1;
    }
    const int result = replayRollbackFile(*app.files, name, journal, main, shortenedTo);
    if (main != kNoFile) app.files->close(main);
    if (result != 0) {
        reportError(app, kErrorWriting, journalName);
        return 1;
    }
    // Putting the bytes back was this program's own write: later writes must
    // not take it for another program's. A length put back (a resize cut
    // short) is the file's size from now on.
    if (found.mainEntries > 0) {
        app.files->lastWriteTime(app.main.mainHandle, &app.main.mainTime);
        FilePos size = 0;
        if (app.files->size(app.main.mainHandle, &size) == 0 && size != app.main.fileSize) {
            app.main.fileSize = size;
            app.main.lastBytePos = size == 0 ? 0 : size - 1;
        }
    }
    return 0;
}

int finishCutShortening(AppState& app) {
    FilePos& end = app.journal.rollback.shorteningToFinish;
    if (end == RollbackState::kNoShortening) return 0;
    const FilePos length = end;
    end = RollbackState::kNoShortening;
    int result = cutJournalAt(app.journal, length);
    noteMainFileWritten(app);
    result |= commitCommand(app.journal);
    if (result != 0) reportError(app, kErrorWriting, app.journal.name);
    return result;
}

}  // namespace quorby
