#pragma once
// What the Journal File's lifecycle remembers between the opening of a Main
// File and its closing, beside the open Journal File itself (app.journal).
#include <string>

#include "platform/file_io.h"

namespace quorby {

// How the next opening of a Main File finds its Journal File; set by whoever
// opens the Main File and used up by that opening.
enum JournalChoice : int {
    kJournalChoiceAutomatic = 0,   // find or create it by the naming rule
    kJournalChoiceChosenFirst = 2, // a ".jnl" file was opened and names the Main File
    kJournalChoiceKeepDrive = 4,   // confirming a drive: keep the open Journal File
    kJournalChoiceKeepReopen = 5,  // the same Main File again with write access
};

struct JournalLifecycleState {
    int journalChoice = kJournalChoiceAutomatic;
    // The Journal File opened first for kJournalChoiceChosenFirst, waiting for
    // its Main File to be opened.
    FileHandle chosenHandle = kNoFile;
    std::string chosenName;
    // Journal location bits switched off for this run only (their directory
    // could not be created); the settings file keeps them.
    std::uint32_t locationOffThisRun = 0;
};

}  // namespace quorby
