#pragma once
// One run of the program over files that outlive it: its own window system
// and state, the settings of a first start with the Journal File beside the
// Main File, no question switched off, and the user's safe answers (No,
// Cancel). Tests that cut a run short reopen the same files with a new one.
#include <cstdint>
#include <string>

#include "edit/enter_char.h"
#include "journal/journal_file.h"
#include "navigate/page_moves.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "document/journal_lifecycle.h"
#include "filemenu/open_close.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby::testing {

struct ProgramOnFiles {
    FakePlatform platform;
    AppState app;
    std::string mainPath;

    ProgramOnFiles(MemoryFileIo& io, std::string mainFile, std::uint32_t undoOptions) : mainPath(std::move(mainFile)) {
        // Yes to "Another Try ?" with every file dialog cancelled would ask for ever.
        platform.yesNoDefault = MsgAnswer::No;
        platform.okCancelDefault = MsgAnswer::Cancel;
        app.platform = &platform;
        app.files = &io;
        app.journal.files = &io;
        setSettingsDefaults(app.settings, "/j/", "/k/");
        app.settings.journalLocation = 0;
        app.settings.messageSwitches = 0;
        app.settings.undoOptions = undoOptions;
        app.main.openReadOnly = false;
    }
    int open() { return openMainFile(app, mainPath); }
    void endCommand() { (void)endCommandInJournal(app); }
    // Types the byte at `pos` in the hex column and stores the page with Enter.
    void type(FilePos pos, std::uint8_t value) {
        (void)showWithCursorAt(app, pos);
        app.view.cursorInChars = false;
        const char* digits = "0123456789abcdef";
        enterChar(app, digits[value >> 4]);
        enterChar(app, digits[value & 15]);
        endCommand();
        enterChar(app, kCharEnter);
        endCommand();
    }
    void run(void (*command)(AppState&)) {
        command(app);
        endCommand();
    }
};

}  // namespace quorby::testing
