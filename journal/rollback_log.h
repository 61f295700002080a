#pragma once
// The rollback log: the file beside the Journal File that holds the
// pre-images of the running command's in-place writes (the rules are in
// journal/rollback_file.h), its cycle from the first entry to the commit
// that marks it empty, and its replay at the opening.
//
// FILE (little-endian, field by field)
//    0  u32  magic         0x4B425251; 0 once the command is committed
//    4  u32  format        1
//    8  u64  JnlEnd        the Journal File's committed length
//   16  u64  cycle         counts the commands since the Journal File was opened
//   24       entries, one after the other:
//     0  u32  entry magic   0x59524E45
//     4  u32  target        1 Journal File, 2 Main File, 3 Main File length,
//                           4 Main File in records
//     8  u64  position      of the bytes; for target 3 the Main File's length
//    16  u32  n             data bytes, at most kRollbackMaxData (0 for target 3,
//                           12 for target 4)
//    20  u32  check         of the cycle, bytes 0..19 and the data (rollback_log.cpp)
//    24  n    data          the pre-image; for target 4:
//                             0  u64  the Journal File position of a record
//                             8  u32  pages: that record and the ones after it
//                           hold, one whole page each, the pre-image of the
//                           Main File's pages from `position` on (appended by
//                           the command and durable before the entry, R1)
//  24+n  u32  28 + n        the entry's length, to walk the entries from the end
// An entry that fails its magic, check or length ends the list: a crash cut
// its write short, so the write it was to protect never began, or it is left
// from an earlier, longer command and belongs to another cycle, or the
// replay has done it and every newer one (a target 4 entry naming records
// below JnlEnd gets its magic cleared once the Main File holds their data
// and both files are synced: older entries may put them back to other bytes).
//
#include <cstdint>
#include <string>

#include "journal/journal_file.h"
#include "journal/unit_cache.h"

namespace quorby {

inline constexpr std::uint32_t kRollbackMagic = 0x4B425251u;
inline constexpr std::uint32_t kRollbackEntryMagic = 0x59524E45u;
inline constexpr std::uint32_t kRollbackFormat = 1;
inline constexpr std::uint32_t kRollbackHeaderSize = 24;
inline constexpr std::uint32_t kRollbackEntryHead = 24;
inline constexpr std::uint32_t kRollbackMaxData = 4096;
// A rollback file longer than this is cut back at the commit.
inline constexpr FilePos kRollbackKeptLength = FilePos(64) << 20;

enum class RollbackTarget : std::uint32_t { JournalFile = 1, MainFile = 2, MainFileLength = 3, MainFileInRecords = 4 };
inline constexpr std::uint32_t kRecordsEntryData = 12;

std::string rollbackNameFor(const std::string& journalName);

// Gives `jf` a rollback file beside it; from now on it counts as committed
// up to its current journalEnd.
void useRollbackFile(JournalFile& jf);
bool usesRollbackFile(const JournalFile& jf);
// True when the running command changed anything the commit must settle.
bool rollbackCycleOpen(const JournalFile& jf);

// Queues an entry (at most kRollbackMaxData bytes of `data`) to be written
// with the next writeRollbackEntries.
void queueRollbackEntry(RollbackState& rb, RollbackTarget target, FilePos pos, const std::uint8_t* data,
                        std::uint32_t n);
// Writes the waiting entries to the rollback file and syncs it.
[[nodiscard]] int writeRollbackEntries(JournalFile& jf);
// Writes the waiting entries and the pre-images of the held units (and syncs
// them), then the held units, and the held appends unless they keep waiting.
[[nodiscard]] int writeHeldUnits(JournalFile& jf, HeldAppends appends = HeldAppends::WriteOut);
// True when the running command changed nothing committed but empty links
// of the last committed record, set to records it appended (R7).
bool commitNeedsNoPreImages(const JournalFile& jf);
// After the Journal File and the Main File are synced: marks the rollback file empty.
[[nodiscard]] int endRollbackCycle(JournalFile& jf);
// The Journal File is about to be emptied: nothing of the running command is kept.
[[nodiscard]] int abandonRollbackCycle(JournalFile& jf);
// Closes the rollback file; `remove` deletes it (the Journal File is closed).
void closeRollbackFile(JournalFile& jf, bool remove);

// --- Opening ----------------------------------------------------------------

struct RollbackFound {
    std::uint64_t entries = 0;
    std::uint64_t mainEntries = 0;  // Main File bytes or length to put back
};
// Reads the rollback file `name` (0 with nothing found when it is missing or
// empty). 1 when it cannot be read.
[[nodiscard]] int inspectRollbackFile(FileIo& files, const std::string& name, RollbackFound* found);
// Writes every pre-image back, newest first, syncs the files and removes the
// rollback file. `main` may be kNoFile when nothing was found for it. A Main
// File longer than the length kept is cut back to it (an enlargement cut
// short); one already shorter got as far as a shortening's cut, whose bytes
// are gone: it keeps its length, given in *mainShortenedTo (else
// RollbackState::kNoShortening), and the journal is to forget the pages beyond it.
[[nodiscard]] int replayRollbackFile(FileIo& files, const std::string& name, FileHandle journal, FileHandle main,
                                     FilePos* mainShortenedTo = nullptr);

}  // namespace quorby
