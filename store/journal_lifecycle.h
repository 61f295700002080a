#pragma once
// The Journal File from the opening of a Main File to its closing: finding or
// creating it by the naming rule (journal_naming.h), checking that an existing
// one belongs to the Main File and is current, and at closing deleting an
// empty one or asking whether it is kept for later use.
//
// A Main File never stays open with a Journal File that failed the checks:
// the file is recreated empty, replaced by one the user chooses, or dropped
// (noJournal: the Main File is open without a Journal File).
//
// The header lives in app.journal.header while the Journal File is open. The
// end of every command commits its live part (commitCommand), so the
// header on disk carries the Main File's last-write time (MainTime) as this
// program left it: the program's own writes into the Main File must be
// followed by noteMainFileWritten, so that only changes made by others make
// the next opening ask "Journal-File has been changed !".
#include <string>

#include "state/app_state.h"

namespace quorby {

// The call point of the Main File's opening, after the new Main File became
// current: uses up app.lifecycle.journalChoice. Automatic: chooses the
// directory (same-drive rules), composes the name and runs
// openAutomaticJournal. Chosen first: checkChosenJournal. Keep: the open
// Journal File stays. Result 0 with a Journal File, 1 without one.
int openJournalForMainFile(AppState& app);

// Creates or opens the Journal File `name` for the current Main File and
// checks it (identifier, MainName, MainTime), asking the user where it fails.
int openAutomaticJournal(AppState& app, const std::string& name);

// The Main File stays open without a Journal File: a fresh header in memory
// for the Main File, no name, journalEnd 1024.
void noJournal(AppState& app);

// For a Journal File that was opened first (a ".jnl" opened as Main File):
// reads its header and asks about a changed Main File. Result 0 or 1.
int checkChosenJournal(AppState& app);

// openMainFile's first step for a name ending in ".jnl": asks whether the
// Main File (or drive) that the Journal File names is to be opened, and opens
// it with this Journal File.
enum class JournalAsMainFile {
    Opened,        // the named Main File is open with this Journal File
    NothingOpened, // refused or failed; everything stays as it was
    OpenItself,    // the user wants the ".jnl" file as an ordinary Main File
};
JournalAsMainFile openThroughJournal(AppState& app, const std::string& jnlPath);

// The Main File's name stored in a Journal File names a drive when it has the
// drive-text form "  Drive  A: /dev/...": *devicePath gets the device.
bool driveTextDevice(const std::string& mainName, std::string* devicePath);

// Writes the whole header without closing the Journal File, after bringing
// MainTime, JnlEnd and the saved view fields up to date. 0, or 1 on failure.
int flushJournalHeader(AppState& app);

// The end of a command: the header with the Main File's new last-write time
// and without the writing mark (kJnlMainFileWriting) reaches the disk.
int endCommandInJournal(AppState& app);

// The call point of the Main File's closing, before its handle is closed: an
// empty Journal File is deleted without a question; otherwise the header is
// written and the user is asked whether the Journal File is kept.
int closeJournal(AppState& app);

// The program wrote into the Main File: its new last-write time goes into
// app.main.mainTime and the header's MainTime, so that the commit at the end
// of the command records it.
void noteMainFileWritten(AppState& app);

// Asks for a Journal File by hand until a name passes the naming rule:
// `journalName` gets the composed name, `chosenPath` (if given) the name as
// chosen. Cancel gives 1.
int askJournalNameByHand(AppState& app, std::string* journalName, std::string* chosenPath = nullptr);

// ---- steps shared with the journal commands --------------------------------

// What the user decided about a Journal File whose Main File changed since
// the Journal File was last closed.
enum class ChangedMainFile { UseIt, RecreateIt, DeclineIt };
// The three questions; UseIt without a question when the times agree or the
// Main File is a drive.
ChangedMainFile askAboutChangedMainFile(AppState& app, const JournalHeader& header);

// "Invalid Journal-File. Shall it be deleted?" after the name field. True for Yes.
bool askDeleteInvalidJournal(AppState& app, const std::string& jnlName);

// The message for a Journal File of an older format (0xABCDEF01..03).
void showOldVersionMessage(AppState& app, std::uint32_t magic);

// What the first 1024 bytes of a file say about it.
enum class HeaderKind { Short, ReadFailed, Current, Older, Unknown };
// Reads the header of the open file `handle` into `header` (and its raw live
// part into `live`, when given). A read failure is reported with `name`.
HeaderKind inspectJournalHeader(AppState& app, FileHandle handle, const std::string& name,
                                JournalHeader& header, std::uint8_t* live = nullptr);

// Recreates the bound Journal File `jf` empty for the current Main File, with
// its JnlEnd and MainTime committed. Result 1 when it could not be written;
// the caller closes the handle then.
int recreateJournalFor(AppState& app, JournalFile& jf);
// Binds `handle` to `jf` under `name`; failures are reported to the user.
void bindJournal(AppState& app, JournalFile& jf, FileHandle handle, const std::string& name);

// Makes `jf` the Journal File in use: its length measured, a command cut
// short by a killed program taken back (journal_recovery.h), MainTime set to
// the Main File's, the caption marked with "*" when it holds records, the
// name shown in the bottom line. The Journal File in use before is closed
// (plainly: it is not deleted). Result 1 (and `jf` closed, noJournal) when the
// length cannot be found.
int adoptJournal(AppState& app, JournalFile& jf);

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

// The header fields that are written at closing: MainTime from the Main File,
// JnlEnd and the saved view fields.
void updateHeaderForWriting(AppState& app);

}  // namespace quorby
