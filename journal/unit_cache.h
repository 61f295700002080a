#pragma once
// The journal units of the running command: in-place writes held in memory
// until their pre-images are durable, the records it appended waiting in one
// run after them, and a read-ahead cache of units as they are on disk.
//
// A unit is the header (bytes 0..1023) or one record (640 bytes). Held units
// hold the bytes as the command left them and, below the committed length,
// their earlier bytes for the pre-image (journal/rollback_file.h, R1). Kept
// ("clean") runs of units are copies of the disk, so that reading a record
// again or keeping its pre-image costs no transfer; every write that reaches
// the disk updates them. Where a unit is held, its kept copy is older and is
// not used.
#include <cstddef>
#include <cstdint>

#include "journal/journal_file.h"

namespace quorby {

// R4: held units are written out (after their pre-images) beyond this many;
// at most kCleanRuns runs of at most kCleanRunUnits units are kept.
inline constexpr std::size_t kRollbackHeldLimit = 4096;
inline constexpr std::size_t kCleanRuns = 64;
inline constexpr std::size_t kCleanRunUnits = 65;

// The unit a journal position belongs to: the header, or one record.
struct JournalUnit {
    FilePos start;
    std::uint32_t size;
};
JournalUnit journalUnitOf(FilePos pos);

// Takes a write into records already in the file into the held units. Below
// the committed length the first write of a unit keeps its earlier bytes for
// the pre-image; above it (records this command appended) none is needed.
// `seen`, when given, holds the whole units of [pos, pos + n) as the command
// sees them now: a unit neither held nor kept takes its earlier bytes from
// there instead of a read. May write out held units (R4).
[[nodiscard]] int holdInPlaceWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepPreImage,
                                   const std::uint8_t* seen = nullptr);
// Appends whole records at journalEnd (which the caller then moves on) to
// the run of held appends, written out with the held units, or alone once
// the run would pass kRollbackHeldLimit records (they need no pre-image),
// when room for them is set aside on the drive (R6). *held false: the
// caller writes them, after the held appends were written out. 1: the held
// appends could not be written out (reported).
[[nodiscard]] int holdAppendedRecords(JournalFile& jf, const std::uint8_t* bytes, std::uint32_t n, bool* held);
// Writes the held appends out now and starts the way to the drive of the
// records appended from `from` on, so that the sync that makes them durable
// finds them written (the caller makes the next records meanwhile).
[[nodiscard]] int sendAppendedRecords(JournalFile& jf, FilePos from);
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
// Whether the held appends go out with the held units or wait on (they
// need no pre-image, R6): records that links will still change go out once.
enum class HeldAppends { WriteOut, KeepWaiting };
// Writes the held units as they are, neighbours in one transfer, then the
// held appends unless they keep waiting; the kept copies take the bytes
// written. The held units' pre-images are the caller's (writeHeldUnits of
// journal/rollback_log.h writes them first).
[[nodiscard]] int writeHeldUnitsWithoutPreImages(JournalFile& jf, HeldAppends appends = HeldAppends::WriteOut);

}  // namespace quorby
