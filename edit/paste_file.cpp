#include "edit/paste_file.h"

#include "edit/paste_bytes.h"
#include "edit/switches_off.h"
#include "edit/unreadable_report.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "state/settings_file.h"
#include "document/same_file.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

// The source file chosen in the dialog, open for reading; the Main File's
// own handle (not closed afterwards) when it names the Main File.
struct ChosenFile {
    PasteSource source;
    FilePos size = 0;
    bool own = false;
    UnreadableSectors unreadable;  // of a file other than the Main File
    ByteRanges skipped;
};

int chooseSource(AppState& app, ChosenFile& chosen) {
    FileDialogRequest request;
    request.title = kPasteFileCaption;
    request.filterName = "all Files";
    request.filterPattern = "*.*";
    request.presetName = pathFieldText(app.settings.lastPasteFile);
    const FileDialogResult answer = app.platform->fileDialog(request);
    if (!answer.accepted || answer.path.empty()) return 1;
    // A name too long for the settings is said so there; the paste goes on.
    (void)storePathField(app, app.settings.lastPasteFile, answer.path);
    chosen.source.name = answer.path;
    const std::string& mainPath = app.main.devicePath.empty() ? app.main.mainName : app.main.devicePath;
    if (sameFile(*app.files, answer.path, mainPath)) {
        chosen.own = true;
        chosen.source.file = app.main.mainHandle;
        chosen.source.unreadable = &app.main.unreadable;
        chosen.size = app.main.fileSize;
        return 0;
    }
    if (app.files->open(answer.path, OpenMode::ReadOnly, &chosen.source.file) != 0 ||
        app.files->size(chosen.source.file, &chosen.size) != 0) {
        reportError(app, kErrorReading, answer.path);
        if (chosen.source.file != kNoFile) app.files->close(chosen.source.file);
        return 1;
    }
    forgetUnreadable(chosen.unreadable, app.files->sectorSize(chosen.source.file));
    chosen.source.unreadable = &chosen.unreadable;
    return 0;
}

}  // namespace

int pasteFileAt(AppState& app, FilePos start, const char* title) {
    if (app.main.mainHandle == kNoFile) return 1;
    ChosenFile chosen;
    chosen.source.skipped = &chosen.skipped;
    if (chooseSource(app, chosen) != 0) return 1;
    const int result = chosen.size == 0 ? 0 : pasteBytes(app, chosen.source, start, chosen.size, title, EnlargeAsk::MessageBox);
    if (!chosen.own) app.files->close(chosen.source.file);
    // The map file lies beside the file that received the bytes.
    reportUnreadableCopy(app, chosen.source.name, chosen.skipped,
                         app.main.mainKind == MainKind::File ? app.main.mainName : std::string());
    return result;
}

int pasteFile(AppState& app) { return pasteFileAt(app, app.view.cursorPos(), kTitlePasteFile); }

int appendOtherFile(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    SwitchesOff quiet(app, kMsgEnlargeDecrease | kMsgWriteProtect | kMsgSaveFileQuestion | kMsgUnwrittenChanges |
                               kMsgSavePage | kMsgPasteEnlarge);
    const std::uint32_t undoOptions = app.settings.undoOptions;
    const bool wasDirect = (app.shell.accessFlags & kAccessDirect) != 0;
    app.settings.undoOptions = 0;
    if (!wasDirect) showDirectAccess(app);
    const int result = pasteFileAt(app, app.main.fileSize, kTitleAppendFile);
    app.settings.undoOptions = undoOptions;
    if (!wasDirect) showJournalAccess(app);
    return result;
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void pasteFileCommand(AppState& app) { (void)pasteFile(app); }
void appendOtherFileCommand(AppState& app) { (void)appendOtherFile(app); }

}  // namespace quorby
