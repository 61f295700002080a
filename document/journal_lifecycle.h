#pragma once
// The Journal File of the open Main File as operations: binding, checking,
// recreating and adopting it, going on without one, writing its header and
// closing it. Where the user must decide, an operation returns what is to be
// asked and the File menu (filemenu/journal_opening.h) asks; nothing here
// shows a question.
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

// The Main File stays open without a Journal File: a fresh header in memory
// for the Main File, no name, journalEnd 1024.
void noJournal(AppState& app);

// What the first 1024 bytes of a file say about it.
enum class HeaderKind { Short, ReadFailed, Current, Older, Unknown };
// Reads the header of the open file `handle` into `header` (and its raw live
// part into `live`, when given). A read failure is reported with `name`.
HeaderKind inspectJournalHeader(AppState& app, FileHandle handle, const std::string& name,
                                JournalHeader& header, std::uint8_t* live = nullptr);

// Recreates the bound Journal File `jf` empty for the current Main File, with
// its JnlEnd and MainTime committed. Result 1 when it could not be written;
// the caller closes the handle then.
[[nodiscard]] int recreateJournalFor(AppState& app, JournalFile& jf);
// Binds `handle` to `jf` under `name`; failures are reported to the user.
void bindJournal(AppState& app, JournalFile& jf, FileHandle handle, const std::string& name);

// What adopting a Journal File came to.
enum class Adoption {
    Adopted,  // `jf` is the Journal File in use
    Failed,   // reported; `jf` is closed and the Main File has no Journal File
    // Its links or fields do not hold: nothing is closed yet; the caller asks
    // whether it is emptied (recreateJournalFor, then adopted again) or
    // closes it and goes on with noJournal.
    Invalid,
};
// Makes `jf` the Journal File in use: its length measured, a command cut
// short by a killed program taken back (journal_recovery.h), the whole file
// checked, MainTime set to the Main File's, the caption marked with "*" when
// it holds records, the name shown in the bottom line. The Journal File in
// use before is closed (plainly: it is not deleted).
Adoption adoptJournalFile(AppState& app, JournalFile& jf);

// The Main File's name stored in a Journal File names a drive when it has the
// drive-text form "  Drive  A: /dev/...": *devicePath gets the device.
bool driveTextDevice(const std::string& mainName, std::string* devicePath);

// The header fields that are written at closing: MainTime from the Main File,
// JnlEnd and the saved view fields.
void updateHeaderForWriting(AppState& app);

// Writes the whole header without closing the Journal File, after bringing
// MainTime, JnlEnd and the saved view fields up to date. 0, or 1 on failure.
[[nodiscard]] int flushJournalHeader(AppState& app);

// The end of a command: the header with the Main File's new last-write time
// and without the writing mark (kJnlMainFileWriting) reaches the disk.
[[nodiscard]] int endCommandInJournal(AppState& app);

// The program wrote into the Main File: the last-write time of its own last
// write (app.main.mainTime, taken by each write) goes into the header's
// MainTime, so that the commit at the end of the command records it and a
// write by another program in between is still seen at the next opening.
void noteMainFileWritten(AppState& app);

// What closing the Journal File leaves to the caller.
enum class JournalClosing {
    NoneOpen,  // no Journal File was open
    Deleted,   // it held no records and is deleted
    // It holds records: its header is written and it is closed; whether it is
    // kept for later use is the caller's question. `*result` is 1 when the
    // header could not be written (the rollback file stays for the next opening).
    Closed,
};
// The call point of the Main File's closing, before its handle is closed.
// `*name` gets the Journal File's name.
JournalClosing closeJournal(AppState& app, std::string* name, int* result);

}  // namespace quorby
