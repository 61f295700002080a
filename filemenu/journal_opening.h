#pragma once
// The Journal File's opening and closing with their questions: finding or
// creating it by the naming rule (journal_naming.h), asking where an existing
// one fails the checks (identifier, MainName, MainTime), and at closing
// asking whether it is kept for later use. The operations they lead to are
// the document's (document/journal_lifecycle.h).
//
// A Main File never stays open with a Journal File that failed the checks:
// the file is recreated empty, replaced by one the user chooses, or dropped
// (noJournal: the Main File is open without a Journal File).
#include <string>

#include "state/app_state.h"

namespace quorby {

// The call point of the Main File's opening, after the new Main File became
// current: uses up app.lifecycle.journalChoice. Automatic: chooses the
// directory (same-drive rules), composes the name and runs
// openAutomaticJournal. Chosen first: checkChosenJournal. Keep: the open
// Journal File stays. Result 0 with a Journal File, 1 without one.
[[nodiscard]] int openJournalForMainFile(AppState& app);

// Creates or opens the Journal File `name` for the current Main File and
// checks it (identifier, MainName, MainTime), asking the user where it fails.
[[nodiscard]] int openAutomaticJournal(AppState& app, const std::string& name);

// For a Journal File that was opened first (a ".jnl" opened as Main File):
// reads its header and asks about a changed Main File. Result 0 or 1.
[[nodiscard]] int checkChosenJournal(AppState& app);

// openMainFile's first step for a name ending in ".jnl": asks whether the
// Main File (or drive) that the Journal File names is to be opened, and opens
// it with this Journal File.
enum class JournalAsMainFile {
    Opened,        // the named Main File is open with this Journal File
    NothingOpened, // refused or failed; everything stays as it was
    OpenItself,    // the user wants the ".jnl" file as an ordinary Main File
};
JournalAsMainFile openThroughJournal(AppState& app, const std::string& jnlPath);

// Asks for a Journal File by hand until a name passes the naming rule:
// `journalName` gets the composed name, `chosenPath` (if given) the name as
// chosen. Cancel gives 1.
[[nodiscard]] int askJournalNameByHand(AppState& app, std::string* journalName, std::string* chosenPath = nullptr);

// adoptJournalFile, and for a Journal File whose links or fields do not hold
// the question "Invalid Journal-File. Shall it be deleted?": Yes empties it
// and adopts it, No goes on without one. Result 0 when `jf` is in use.
[[nodiscard]] int adoptJournal(AppState& app, JournalFile& jf);

// The Journal File's part of closing the Main File: closeJournal, then for
// one that holds records the question "Save Journal-File ?" (message switch)
// and, on Yes, the move to the name the naming rule gives for keeping it; on
// No it is deleted. The working bits of the journal location are cleared.
[[nodiscard]] int closeJournalAsking(AppState& app);

// ---- steps shared with the journal commands --------------------------------

// What the user decided about a Journal File whose Main File changed since
// the Journal File was last closed.
enum class ChangedMainFile { UseIt, RecreateIt, DeclineIt };
// The three questions; UseIt without a question when the times agree or the
// Main File is a drive.
ChangedMainFile askAboutChangedMainFile(AppState& app, const JournalHeader& header);

// Takes the Journal File just opened for this instance alone. When another
// instance of the program holds it, says so ("Is always in Use !") and
// returns 1: the caller closes it and goes on without it.
[[nodiscard]] int holdJournalFile(AppState& app, FileHandle handle, const std::string& name);

// "Invalid Journal-File. Shall it be deleted?" after the name field. True for Yes.
bool askDeleteInvalidJournal(AppState& app, const std::string& jnlName);

// The message for a Journal File of an older format (0xABCDEF01..03).
void showOldVersionMessage(AppState& app, std::uint32_t magic);

// The file dialog for a Journal File (filter "JNL-Files", "*.jnl").
FileDialogResult askJournalFileName(AppState& app, const char* title, bool save, const std::string& preset);

// A name given by hand that is the Main File itself is refused with a
// message (a Journal File recreated there would destroy the Main File).
bool refuseMainFileAsJournal(AppState& app, const std::string& name);

inline constexpr const char* kDeleteJournalCaption = "Delete Journal-File ?";
inline constexpr const char* kDeleteJournalQuestion =
    "SHALL THE JOURNAL-FILE BE DELETED ?\nThus all unsaved Changes\nand all Undo-Informaton is\n"
    "D E L E T E D   I R R E V E R S I B L Y !";
inline constexpr const char* kNotValidJournalCaption = "Not a valid Journal-File !";

}  // namespace quorby
