#pragma once
// Transfers and relinking on an open Journal File (layout: journal_format.h).
//
// Every operation returns 0 for done and 1 for failure. A failed transfer is
// passed to the Journal File's failure reporter at once ("Error reading " /
// "Error writing " with its name, see journal_errors.h); an operation of
// several transfers goes on with the ones that do not depend on the failed
// one and returns 1 at the end.
//
// The relinking operations keep the file in step with the copies they are
// given: each writes every record whose fields it changes, with the partial
// header writes of the format (24 bytes for the address links, 64 bytes for
// all links, anz and Flag). Header fields change in memory only; the command
// loop brings them to disk with commitCommand (journal/command_commit.h) once
// per command.
#include <cstdint>
#include <string>

#include "journal/journal_format.h"
#include "journal/rollback_state.h"
#include "platform/file_io.h"

namespace quorby {

struct JournalFile;
using JournalFailureReporter = void (*)(void* context, const JournalFile& jf, bool writing);

struct JournalFile {
    FileIo* files = nullptr;
    FileHandle handle = kNoFile;
    std::string name;
    // In-memory length: where the next record is appended. Always 1024 + 640 k.
    FilePos journalEnd = 0;
    JournalHeader header;
    // The header's live part (its first 128 bytes) as last read or written,
    // so that commitCommand writes it only when something changed.
    std::uint8_t committedLive[kHeaderLiveSize] = {};
    // Make the records durable before the header points at them, and the
    // header durable before the command ends.
    bool syncOnCommit = true;
    // Room on the drive set aside at a time for appended records to wait in
    // memory (journal/rollback_file.h, R6).
    FilePos appendRoom = FilePos(1) << 20;
    JournalFailureReporter reportFailure = nullptr;
    void* reportContext = nullptr;
    // Counts every write, cut and new attachment, so that readers that keep
    // record bytes (the search's overlay) know when to read them again.
    std::uint64_t changeCount = 0;
    // In-place writes wait here until their pre-images are kept
    // (journal/rollback_file.h).
    RollbackState rollback;
};

// A Journal File is open while it has a handle.
inline bool journalOpen(const JournalFile& jf) { return jf.handle != kNoFile; }

// Binds an open file to `jf`; journalEnd stays 0 until measured or created.
void attachJournal(JournalFile& jf, FileIo& files, FileHandle handle, const std::string& name);

// journalEnd := the file's length, cut down to the last whole record: a tail
// of an append that was cut short is overwritten by the next append (nothing
// points into it, because a record is always written before it is linked).
// Returns 1 when the length cannot be read or is below 1024.
[[nodiscard]] int measureJournal(JournalFile& jf);

// --- Header ---------------------------------------------------------------

// Reads the 1024 header bytes at position 0 in one transfer. A short file
// fails (lastError "Reached End of File").
[[nodiscard]] int readJournalHeader(JournalFile& jf);
// Writes all 1024 header bytes in one transfer (closing, saving, recreating).
[[nodiscard]] int writeJournalHeader(JournalFile& jf);
// True when the header's live part differs from what was last written.
bool headerNeedsCommit(const JournalFile& jf);
// Writes [pos, pos + n) as every write does: in place below the committed
// length only through the held units (journal/rollback_file.h, R1).
[[nodiscard]] int writeJournalBytes(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n);
// Writes [pos, pos + n) to the file now, past the held units: for the commit,
// which orders its own writes.
[[nodiscard]] int writeJournalBytesNow(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n);
// Syncs the Journal File when it syncs on commit (syncOnCommit); a failure is reported.
[[nodiscard]] int syncJournal(JournalFile& jf);
// Bytes of the Journal File as the running command sees them (its held
// in-place writes laid over), for readers of whole spans; *done as readAt.
[[nodiscard]] int readJournalSpan(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done);
// Truncates the file to 0, writes a fresh header for `mainName` and sets
// journalEnd to 1024. A name longer than 255 characters is refused before
// anything is written.
[[nodiscard]] int recreateJournal(JournalFile& jf, const std::string& mainName);

// --- Records --------------------------------------------------------------

// The first `length` bytes (24, 64 or 128) of the record header at `ptr` into
// `r`; the other fields of `r` keep their values; r.jAdr := ptr.
[[nodiscard]] int readRecordHeader(JournalFile& jf, FilePos ptr, std::uint32_t length, JournalRecord& r);
// The same without refusing damaged fields (a MainAdr inside a page, anz
// above 512), for `--journal-dump`, which reports them.
[[nodiscard]] int readRecordHeaderAsStored(JournalFile& jf, FilePos ptr, std::uint32_t length, JournalRecord& r);
// The version walk: the 104 bytes from PUndo to the end of ChangeMap, so that
// `r` keeps MainAdr, PrevPtr and NextPtr; r.jAdr := ptr.
[[nodiscard]] int readVersionWalk(JournalFile& jf, FilePos ptr, JournalRecord& r);
// The 512 data bytes of the record at `ptr`.
[[nodiscard]] int readRecordData(JournalFile& jf, FilePos ptr, std::uint8_t out[kRecordDataSize]);
// The whole record (header and data) in one transfer; r.jAdr := ptr.
[[nodiscard]] int readRecord(JournalFile& jf, FilePos ptr, JournalRecord& r);
// Writes the first `length` bytes (24, 64 or 128) of r's header at r.jAdr.
[[nodiscard]] int writeRecordHeader(JournalFile& jf, const JournalRecord& r, std::uint32_t length);
// Takes the links of the record at copy.jAdr as they are stored now, so that
// a header written from `copy` never puts back links changed meanwhile.
[[nodiscard]] int refreshStoredLinks(JournalFile& jf, JournalRecord& copy);
// Rewrites the whole record (header and data) in place at r.jAdr.
[[nodiscard]] int writeRecord(JournalFile& jf, const JournalRecord& r);
// Rewrites the `count` whole records from `first` on in place: `bytes` as
// they are to be, `seen` as the command sees them now (readJournalSpan), so
// that keeping their earlier bytes reads nothing again.
[[nodiscard]] int rewriteRecords(JournalFile& jf, FilePos first, const std::uint8_t* bytes, const std::uint8_t* seen,
                                 std::uint32_t count);
// Writes `r` as a new record at journalEnd in one 640-byte transfer; on
// success r.jAdr := the old journalEnd and journalEnd grows by 640. A failed
// write leaves journalEnd and r.jAdr (empty) as they were: the record must
// not be linked.
[[nodiscard]] int appendRecord(JournalFile& jf, JournalRecord& r);
// Appends `count` records in one transfer, as appendRecord does each.
[[nodiscard]] int appendRecords(JournalFile& jf, JournalRecord* const* records, int count);

// --- Relinking ------------------------------------------------------------

enum class VersionScope {
    NewestOnly,   // only the record the address link points at
    AllVersions,  // that record and every older and newer version of its page
};

// Makes r's address neighbours point at r: the record at r.prevPtr gets
// NextPtr = r.jAdr, the one at r.nextPtr gets PrevPtr = r.jAdr (24-byte
// writes; with AllVersions on every version of the neighbouring page). An
// empty r.prevPtr makes r the header's First, an empty r.nextPtr its LastPtr.
// A neighbour whose MainAdr is not below (above) r.mainAdr is refused before
// anything is written, so a wrong neighbour never breaks the order.
[[nodiscard]] int linkAddressNeighbours(JournalFile& jf, const JournalRecord& r, VersionScope scope);

// Appends r as the newest entry of the undo order: r.PUndo := Undo, r.NUndo
// empty, r loses kFlagNotInUndoOrder; the former Undo entry gets NUndo = r;
// Undo := r, and FirstUndo := r when the order was empty. Writes r's and the
// former entry's first 64 bytes.
[[nodiscard]] int linkUndoEntry(JournalFile& jf, JournalRecord& r);

// A run of new records for pages one after the other, appended in a row
// with their links among themselves already set as linkAddressNeighbours
// (NewestOnly) and linkUndoEntry would set them one by one: each PrevPtr /
// NextPtr and PUndo / NUndo pointing at its neighbour in the run, first.PUndo
// = Undo, last.NUndo empty, none marked kFlagNotInUndoOrder. Links the run
// at its ends in one go: the address neighbour below `first` and the one
// above `last` point at them (or First / LastPtr become them), the former
// Undo entry gets NUndo = first (or FirstUndo := first), and Undo := last.
// Neighbours out of address order are refused before anything is written,
// as is a run whose first.PUndo is no longer Undo.
[[nodiscard]] int linkAppendedRun(JournalFile& jf, const JournalRecord& first, const JournalRecord& last);

// For a record that already is an entry of the undo order and is stored
// again in place: takes it out where it stands (its PUndo and NUndo
// neighbours are joined, 64-byte writes) and appends it as the newest entry
// with linkUndoEntry, so the order never meets the same entry twice and undo
// cannot loop. Nothing happens when it already is the Undo entry.
[[nodiscard]] int moveUndoEntryToNewest(JournalFile& jf, JournalRecord& r);

// Puts `newer` (already appended) into the version chain directly after
// `older`: newer.PJnl := older, newer.NJnl := older's former NJnl,
// older.NJnl := newer, and a version that followed `older` gets PJnl = newer.
// Each changed record's first 64 bytes are written. Both carry older's MainAdr.
[[nodiscard]] int linkNewerVersion(JournalFile& jf, JournalRecord& older, JournalRecord& newer);
// The mirror image: `added` goes directly before `newer` (towards older
// versions). With `newer` the oldest version this appends a new oldest one,
// as writing into the Main File does with the Main File's earlier content.
[[nodiscard]] int linkOlderVersion(JournalFile& jf, JournalRecord& newer, JournalRecord& added);

// A record for a page that had none: r.MainAdr, data, anz, Flag and the
// address neighbours r.prevPtr / r.nextPtr set by the caller. Appends it and
// links it into the address chain (newest versions of the neighbours) and
// the undo order. The record goes to disk first, complete and flagged
// kFlagNotInUndoOrder; its neighbours follow; its 64-byte rewrite without
// the flag comes last, so a sequence cut short leaves no pointer to a record
// that is not there.
[[nodiscard]] int appendNewPage(JournalFile& jf, JournalRecord& r);

// Walks down from LastPtr along PrevPtr, reading each record's first 64
// bytes, to the first record whose MainAdr is below `position`. *result is
// that record's pointer, or empty when none is (position at or below the
// lowest page). `found` (optional) receives its header.
[[nodiscard]] int findPredecessor(JournalFile& jf, FilePos position, FilePos* result, JournalRecord* found = nullptr);
// Cuts the address chain at `position` (the Main File became shorter): the
// predecessor becomes LastPtr and gets an empty NextPtr (24-byte write); with
// no predecessor First and LastPtr both become empty. A position above every
// record changes nothing.
[[nodiscard]] int cutAddressChain(JournalFile& jf, FilePos position);

// Walking the address chain from First along NextPtr, one 64-byte header per
// record. The walk stops as broken when a pointer is not a record of the file
// or MainAdr does not increase, so a damaged chain cannot loop.
enum class WalkState { Going, End, Broken, ReadFailed };
struct AddressWalk {
    FilePos next = kEmptyPtr;
    FilePos previousPtr = kEmptyPtr;
    FilePos previousAdr = 0;
    std::uint64_t steps = 0;
    WalkState state = WalkState::End;
};
void startAddressWalk(const JournalFile& jf, AddressWalk& walk);
// 0 with the next record in `out`; 1 when the walk is over (walk.state says why).
[[nodiscard]] int nextAddressRecord(JournalFile& jf, AddressWalk& walk, JournalRecord& out);

}  // namespace quorby
