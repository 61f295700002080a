#pragma once
// The pre-images of the Main File's bytes a command overwrites, kept in the
// rollback log (journal/rollback_log.h) before the write (R1 of
// journal/rollback_file.h), and the Main File's length, kept once per
// command, so that bytes written beyond the end are cut off again and the
// opening knows that the Main File's new last-write time is the program's own.
#include <cstdint>

#include "journal/journal_file.h"

namespace quorby {

// Keeps `bytes` as the pre-image of the Main File's [pos, pos + n), for a
// caller that has just read them.
[[nodiscard]] int keepMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, const std::uint8_t* bytes, std::uint32_t n);
// The Main File's [pos, pos + pages * 512) as it was is the data of the
// whole-page records from `firstRecord` on, one per page, which the running
// command appended, or rewrote with their own pre-images kept (an exchange
// taken back or brought back): they are made durable in the Journal File,
// and an entry naming them keeps them as the pre-image (made durable as well).
[[nodiscard]] int keepMainPreImageInRecords(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t pages,
                                            FilePos firstRecord);
// Main File bytes that need no pre-image (R1): the journal goes on showing
// them until the commit, or a direct paste writes them. The Main File's
// length is still kept once per command. 1: it could not be read.
[[nodiscard]] int skipMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);
// Before writing [pos, pos + n) of the Main File: keeps the pre-image (read
// now, unless kept since the last commit) and makes the waiting entries
// durable. 1: the write must not happen.
[[nodiscard]] int prepareMainWrite(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);
// Before the Main File is made shorter: its length is kept and made durable.
// The bytes cut off keep no pre-image (they may be the whole file): a crash
// after the cut leaves the file short, and the opening knows the change of
// its last-write time is the program's own. 1: the cut must not happen.
[[nodiscard]] int prepareMainCut(JournalFile& jf, FileHandle main);

}  // namespace quorby
