#pragma once
// The rollback file: how a command that overwrites bytes in place is taken
// back whole when the program dies in the middle of it.
//
// Most commands rewrite bytes that an earlier command committed: record
// links and flags (storing, undo, redo), record data (storing over the newest
// version, exchanges), the journal header, and Main File bytes (writes,
// exchanges, restore). Beside the Journal File lies its rollback file, named
// like it with "-rollback" appended. Before committed bytes are overwritten,
// their earlier content (the pre-image) goes into the rollback file; the end
// of the command (the commit) makes both files durable and then marks the
// rollback file empty. A program that opens a Journal File whose rollback file
// holds entries writes every pre-image back, newest first, so every place
// gets the bytes it had at the last commit, and removes the rollback file.
//
// FILE (little-endian, field by field)
//    0  u32  magic         0x4B425251; 0 once the command is committed
//    4  u32  format        1
//    8  u64  JnlEnd        the Journal File's committed length
//   16  u64  cycle         counts the commands since the Journal File was opened
//   24       entries, one after the other:
//     0  u32  entry magic   0x59524E45
//     4  u32  target        1 Journal File, 2 Main File, 3 Main File length
//     8  u64  position      of the bytes; for target 3 the Main File's length
//    16  u32  n             data bytes, at most kRollbackMaxData (0 for target 3)
//    20  u32  check         of the cycle, bytes 0..19 and the data (rollback_file.cpp)
//    24  n    data          the pre-image
//  24+n  u32  28 + n        the entry's length, to walk the entries from the end
// An entry that fails its magic, check or length ends the list: a crash cut
// its write short, so the write it was to protect never began, or it is left
// from an earlier, longer command and belongs to another cycle.
//
// RULES (every writer keeps them)
//   R1. A write below the Journal File's committed length, or into the Main
//       File, reaches its file only after the pre-image of its bytes is in
//       the rollback file (synced first when the journal syncs). Journal
//       writes are held in memory, whole header or record units, until then.
//       A unit's pre-image covers its bytes from the first to the last one
//       the command changed; the unit is written whole, its other bytes as
//       they were. Two kinds of Main File bytes need no pre-image: those
//       whose versions go on showing them until the commit (Save File
//       without undo), and those of a paste or fill in direct access without
//       undo, which has nothing to go back to (a crash leaves such a paste
//       part done, each byte old or new, as ESC would). The Main File's
//       length is kept for them all the same: an entry for the Main File
//       tells the opening that the change of its last-write time is the
//       program's own.
//   R2. The rollback file's magic is cleared only after the Journal File and
//       the Main File are synced; clearing it is the commit.
//   R3. Writing the pre-images back gives the files of the last commit; doing
//       it twice does no harm. Records appended since are cut off afterwards
//       (journal/journal_recovery.h).
//   R4. Memory stays bounded: held units are written out (after their
//       pre-images) whenever more than kRollbackHeldLimit of them wait; the
//       units kept from reads are dropped beyond kCleanUnitLimit.
//   R5. A version's Flag may be rewritten without a pre-image when its old
//       and its new state show the same bytes, which the Main File holds
//       durably (journal/written_marks.h): a crash leaves either state.
//   R6. Appended records may wait among the held units (they need no
//       pre-image: R3 cuts them off) only where room for them is set aside
//       on the drive first, so a full drive is still met by the append.
//   R7. A command that only appends records, links them to the last
//       committed record through links of it that were empty, and changes
//       the header, needs no rollback file: its records and that link go out
//       and are synced first, then the header, one sector, commits it. Until
//       then the opening cuts the records off and sets every link of the
//       last committed record that points at or past the committed length
//       back to empty (journal/journal_recovery.h). A link cut short points
//       there as well: its high bytes are still those of the empty link.
#include <cstdint>
#include <string>
#include <vector>

#include "journal/journal_file.h"

namespace quorby {

inline constexpr std::uint32_t kRollbackMagic = 0x4B425251u;
inline constexpr std::uint32_t kRollbackEntryMagic = 0x59524E45u;
inline constexpr std::uint32_t kRollbackFormat = 1;
inline constexpr std::uint32_t kRollbackHeaderSize = 24;
inline constexpr std::uint32_t kRollbackEntryHead = 24;
inline constexpr std::uint32_t kRollbackMaxData = 4096;
inline constexpr std::size_t kRollbackHeldLimit = 4096;
inline constexpr std::size_t kCleanUnitLimit = 4096;
// A rollback file longer than this is cut back at the commit.
inline constexpr FilePos kRollbackKeptLength = FilePos(64) << 20;

enum class RollbackTarget : std::uint32_t { JournalFile = 1, MainFile = 2, MainFileLength = 3 };

std::string rollbackNameFor(const std::string& journalName);

// Gives `jf` a rollback file beside it; from now on it counts as committed
// up to its current journalEnd.
void useRollbackFile(JournalFile& jf);
bool usesRollbackFile(const JournalFile& jf);
// True when the running command changed anything the commit must settle.
bool rollbackCycleOpen(const JournalFile& jf);

// --- Journal File writes (journal_file.cpp) ---------------------------------

// Takes a write into records already in the file into the held units. Below
// the committed length the first write of a unit keeps its earlier bytes for
// the pre-image; above
// it (records this command appended) none is needed. May write out held
// units (R4).
int holdInPlaceWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepPreImage);
// Appends whole records at journalEnd (which the caller then moves on) as
// held units, written out with the other held units, when room for them is
// set aside on the drive (R6). *held false: the caller writes them. 1: the
// held units could not be written out to make room (reported).
int holdAppendedRecords(JournalFile& jf, const std::uint8_t* bytes, std::uint32_t n, bool* held);
// Where the Journal File's bytes on disk end: before the appended records
// still held, or at journalEnd.
FilePos journalDiskEnd(const JournalFile& jf);
// Lays the held units over bytes just read from [pos, pos + n).
void overlayHeldUnits(const JournalFile& jf, FilePos pos, void* buf, std::uint32_t n);
// Reads [pos, pos + n) when it lies in one unit: from a held or kept unit,
// else with its neighbours from disk, which are then kept. False when the
// range is not for the units or could not be read: read it directly.
bool readThroughUnits(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n);
// A write that went straight to the file (at or above the committed length,
// or a Flag mark): kept units take its bytes; with `keepNewUnits` the whole
// units it wrote are kept too.
void noteDirectWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepNewUnits = true);
// The file was cut or emptied: nothing kept of it holds any more.
void forgetCachedUnits(JournalFile& jf);
// A write failed on its way: what is on disk is not known any more.
void forgetCleanUnits(JournalFile& jf);
// Writes the waiting entries (and syncs them), then the held units.
int writeHeldUnits(JournalFile& jf);
// True when the running command changed nothing committed but empty links
// of the last committed record, set to records it appended (R7).
bool commitNeedsNoPreImages(const JournalFile& jf);
// Writes the held units of such a command; the header is the caller's.
int writeHeldUnitsWithoutPreImages(JournalFile& jf);
// After the Journal File and the Main File are synced: marks the rollback file empty.
int endRollbackCycle(JournalFile& jf);
// The Journal File is about to be emptied: nothing of the running command is kept.
int abandonRollbackCycle(JournalFile& jf);
// Closes the rollback file; `remove` deletes it (the Journal File is closed).
void closeRollbackFile(JournalFile& jf, bool remove);

// --- Main File writes -------------------------------------------------------

// Keeps `bytes` as the pre-image of the Main File's [pos, pos + n), for a
// caller that has just read them.
int keepMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, const std::uint8_t* bytes, std::uint32_t n);
// Main File bytes that need no pre-image (R1): the journal goes on showing
// them until the commit, or a direct paste writes them. The Main File's
// length is still kept once per command. 1: it could not be read.
int skipMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);
// Before writing [pos, pos + n) of the Main File: keeps the pre-image (read
// now, unless kept since the last commit) and makes the waiting entries
// durable. 1: the write must not happen.
int prepareMainWrite(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);

// --- Opening ----------------------------------------------------------------

struct RollbackFound {
    std::uint64_t entries = 0;
    std::uint64_t mainEntries = 0;  // Main File bytes or length to put back
};
// Reads the rollback file `name` (0 with nothing found when it is missing or
// empty). 1 when it cannot be read.
int inspectRollbackFile(FileIo& files, const std::string& name, RollbackFound* found);
// Writes every pre-image back, newest first, syncs the files and removes the
// rollback file. `main` may be kNoFile when nothing was found for it.
int replayRollbackFile(FileIo& files, const std::string& name, FileHandle journal, FileHandle main);

}  // namespace quorby
