#include "app/shell_commands.h"

#include <unistd.h>

#include "compare/compare_commands.h"
#include "core/tables.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"
#include "view/page_render.h"

namespace quorby {

namespace {

// The Journal File's size before a journal is open: its header alone.
constexpr std::uint32_t kEmptyJournalSize = 1024;

}  // namespace

void exitSequence(AppState& app) {
    if (app.shell.destroyed) return;
    app.shell.destroyed = true;
    // The program ends whatever fails here; each step has told the user of its failure.
    (void)closeMainFile(app);
    closeCompareFile(app);
    (void)saveSettings(app);
    if (!app.shell.programDirectory.empty()) {
        if (chdir(app.shell.programDirectory.c_str()) != 0) {
            // The directory vanished while the program ran; nothing depends on it any more.
        }
    }
    removeEmptyJournalDirectories(app);
    app.platform->quit(0);
}

void quitCommand(AppState& app) {
    // Pending page changes are stored by closeMainFile before its questions.
    exitSequence(app);
}

void helpCommand(AppState& app) {
    if (app.shell.helpUnavailable) return;
    if (app.files->exists(app.shell.helpFilePath)) {
        app.platform->openHelp(app.shell.helpFilePath);
    } else {
        app.shell.helpUnavailable = true;
    }
}

void infoCommand(AppState& app) {
    DialogDescription info;
    info.title = "Info";
    info.controls = {
        {10, ControlKind::Label, "Quorby", "", false, true, 0, 0, 0},
        {11, ControlKind::Label, "Version 2.5.3", "", false, true, 0, 0, 1},
        {12, ControlKind::Label, "Date: 02.12.2008", "", false, true, 0, 0, 2},
        {1, ControlKind::Button, "OK", "", false, true, 0, 0, 3},
        {2, ControlKind::Button, "Cancel", "", false, true, 0, 1, 3},
    };
    app.platform->runDialog(info);
}

void diagnosticCommand(AppState& app) {
    char text[21];
    const std::uint32_t journalSize =
        app.journal.handle == kNoFile ? kEmptyJournalSize : std::uint32_t(app.journal.journalEnd);
    std::uint64_t both = (std::uint64_t(std::uint32_t(app.view.pagePos)) << 32) | journalSize;
    formatPositionText(both, text);
    text[20] = ' ';
    setInfoCell(app, text, app.view.charBackground);
}

}  // namespace quorby
