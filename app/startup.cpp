#include "app/startup.h"

#include <cstdlib>
#include <unistd.h>

#include "app/menu_greying.h"
#include "core/tables.h"
#include "navigate/page_moves.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"
#include "filemenu/last_opened_files.h"
#include "document/shown_state.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"
#include "view/status_cells.h"
#include "view/view_font.h"

namespace quorby {

namespace {

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

constexpr const char* kWelcomeText =
    "Quorby 2.5.3  -  HEX-Editor for big Files and Drives\n\n"
    "Changes are kept in a Journal-File and reach the File only when you write them.\n\n"
    "Show this Message at the next Start ?";

void applySavedModes(AppState& app) {
    SettingsRecord& s = app.settings;
    s.accessMode = (s.accessMode & ~1u) | ((s.accessMode >> 1) & 1u);
    if (s.accessMode & 1u) {
        showDirectAccess(app);
    } else {
        showJournalAccess(app);
    }
    s.writeAccess = (s.writeAccess & ~1u) | ((s.writeAccess >> 1) & 1u);
    if (s.scrolling & 1u) {
        app.shell.modeFlags |= kModeArrowsMoveView;
    } else {
        app.shell.modeFlags &= ~kModeArrowsMoveView;
    }
    unlockMainFile(app);
    setScrollResolution(app, s.resolution);
}

void askWelcome(AppState& app) {
    if (!(app.settings.messageSwitches & kMsgInfoAtStart)) return;
    MessageBoxDescription box;
    box.caption = "WELCOME TO QUORBY";
    box.text = kWelcomeText;
    box.buttons = MsgButtons::YesNo;
    if (app.platform->messageBox(box) == MsgAnswer::No) app.settings.messageSwitches &= ~kMsgInfoAtStart;
}

}  // namespace

std::string resolveProgramDirectory(const std::string& homeOption) {
    if (!homeOption.empty()) return withSlash(homeOption);
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return withSlash(config) + "quorby/";
    const char* home = std::getenv("HOME");
    return withSlash(home && *home ? home : "/tmp") + ".config/quorby/";
}

void startApplication(AppState& app, const StartOptions& options) {
    tables();
    app.shell.programDirectory = resolveProgramDirectory(options.homeDirectory);
    // A start goes on with what it has: the settings' defaults, the old font or
    // an empty window remain when a step below fails, and each failure is told
    // to the user by the step itself or by the one that needs it.
    (void)makeDirectoryPath(app, app.shell.programDirectory);
    if (chdir(app.shell.programDirectory.c_str()) != 0) {
        // Without it the settings file cannot be opened; loadSettings reports that.
    }
    app.shell.helpFilePath = QUORBY_MANUAL_PATH;
    if (!app.files->exists(app.shell.helpFilePath)) app.shell.helpFilePath = QUORBY_SOURCE_MANUAL_PATH;

    findDefaultJournalDirectories(app);
    setSettingsDefaults(app.settings, app.shell.defaultFixedJournalDir, app.shell.defaultAlternativeJournalDir);
    (void)loadSettings(app);
    greyMenusAtStart(app);
    buildLastFilesMenu(app);
    app.view.requestedWidth = int(app.settings.fontWidth);
    app.view.requestedHeight = int(app.settings.fontHeight);
    (void)createViewFont(app, app.view.requestedWidth, app.view.requestedHeight);
    prepareJournalDirectories(app);
    checkJournalDirectory(app);

    applySavedModes(app);
    enterPermanentMode(app, PermanentMode::Edit);
    updateScrollBar(app);
    drawHeaderAndBottomLine(app);
    drawPage(app);

    if (options.showWelcome) askWelcome(app);
    app.shell.caption = kProgramCaption;
    app.platform->setCaption(app.shell.caption);

    if (!options.fileToOpen.empty()) {
        // Opened as an entry of the list of last opened files is.
        app.main.openReadOnly = !(app.settings.writeAccess & 1u);
        app.settings.journalLocation &= 7u;
        (void)openMainFile(app, options.fileToOpen);
    }
    followShownState(app);
}

}  // namespace quorby
