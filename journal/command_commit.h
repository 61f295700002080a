#pragma once
// A command's commit: the one way a command changes committed bytes of the
// Journal File or the Main File so that a crash takes the command back whole
// (the rules R1-R7 are in journal/rollback_file.h).
//
// The steps, in the order a command takes them:
//   begin        a command starts from CommitStep::Committed; its first
//                change of committed bytes is held in memory (Changing).
//   keep         the Main File bytes it will overwrite are kept as pre-images
//                (keepMainFileBytes, or keepMainFileBytesInRecords when
//                records it appended hold them), or noted as needing none
//                (passMainFileBytes); waiting pre-images become durable with
//                the held journal units they protect (writeHeldChanges).
//   write        a Main File write or cut begins only through
//                beginMainFileWrite / beginMainFileCut, which make the
//                pre-images durable first (PreImagesDurable, MainFileWritten);
//                versions that show bytes the Main File holds durably are
//                marked through markVersionsShowingMainFile (R5).
//   commit       commitCommand writes the held units and the header's live
//                part, syncs both files and marks the rollback file empty
//                (Committed again).
// checkCommitProtocol checks the invariants that hold between any two steps,
// also after one that failed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "journal/journal_file.h"
#include "journal/written_marks.h"

namespace quorby {

CommitStep commitStep(const JournalFile& jf);
// True when the Journal File keeps pre-images (it has a rollback file and is open).
bool keepsPreImages(const JournalFile& jf);

// --- keep -------------------------------------------------------------------

// `bytes` (just read) are the Main File's [pos, pos + n) before the command
// overwrites them.
[[nodiscard]] int keepMainFileBytes(JournalFile& jf, FileHandle main, FilePos pos, const std::uint8_t* bytes, std::uint32_t n);
// The Main File's [pos, pos + pages * 512) before the command overwrites it
// is the data of the whole-page records from `firstRecord` on, one per page,
// which the command appended or has just rewritten in place (still held):
// the records are made durable and kept as its pre-image, without a second
// copy of their bytes. Nothing may write over their data before the commit.
[[nodiscard]] int keepMainFileBytesInRecords(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t pages,
                                             FilePos firstRecord);
// The records the command appended from `from` on go to the drive now, on
// their way while the caller makes more; keepMainFileBytesInRecords then
// finds them there.
[[nodiscard]] int sendAppendedRecordsAhead(JournalFile& jf, FilePos from);
// The Main File's [pos, pos + n) will be overwritten without a pre-image
// (Save File without undo, a direct paste without undo): only the Main
// File's length is kept.
[[nodiscard]] int passMainFileBytes(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);
// Makes the waiting pre-images durable, then writes the held journal units.
// The records the command appended wait on in memory (R6): links still to
// be set in them go out with them, once.
[[nodiscard]] int writeHeldChanges(JournalFile& jf);
// Writes the held changes out now when `units` more in-place writes would
// pass the held units' limit, so that those stay held together.
[[nodiscard]] int makeRoomForHeldUnits(JournalFile& jf, std::size_t units);

// --- write ------------------------------------------------------------------

// Before the Main File's [pos, pos + n) is written: its pre-image is kept
// (read now unless kept already) and every waiting pre-image is durable.
// 1: the write must not happen.
[[nodiscard]] int beginMainFileWrite(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n);
// Before the Main File is made shorter: its length is kept and durable.
// 1: the cut must not happen.
[[nodiscard]] int beginMainFileCut(JournalFile& jf, FileHandle main);
// Marks versions as showing the Main File, whose bytes they stand for the
// Main File now holds: the Main File is synced first (R5). *mainSyncFailed
// tells a failed sync (nothing marked) from a failed mark.
[[nodiscard]] int markVersionsShowingMainFile(JournalFile& jf, FileHandle main, std::vector<FlagMark>& marks,
                                bool* mainSyncFailed);

// --- commit -----------------------------------------------------------------

// The end of a command, or a point within a long one from which a crash
// goes on: when the header's live part (Undo, First, LastPtr, FirstUndo,
// JnlFlags, MainTime, ...) changed, JnlEnd takes journalEnd. Without a
// rollback file, or for a command that only appended records (R7), the
// records are synced before the header's first 128 bytes, the header after.
// Otherwise the held units go out after their pre-images, the Journal File
// and a written Main File are synced and the rollback file is marked empty.
// Does nothing when nothing changed or no Journal File is open.
[[nodiscard]] int commitCommand(JournalFile& jf);

// --- invariants -------------------------------------------------------------

// 0 when the protocol's invariants hold (see command_commit.cpp); else 1 and
// *broken (when given) names the first that does not.
[[nodiscard]] int checkCommitProtocol(const JournalFile& jf, const char** broken = nullptr);

}  // namespace quorby
