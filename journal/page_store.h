#pragma once
// Storing a page half, in the journal's own terms: the operations a store
// chooses among, each keeping the links and the record states of
// journal/record_states.h (H1-H8) itself. The caller decides what to store
// (a new page, a new version, the newest one again, an exchange) and hands
// over the content; it never reads or rewrites a record's links.
//
// A record's content is data, ChangeMap and anz; group marks (H1) are the
// caller's, given in the record's Flag. Every operation returns 0 when done
// and 1 when a transfer failed (reported by the journal's failure reporter).
#include <cstdint>

#include "journal/journal_file.h"

namespace quorby {

// --- versions of a half -----------------------------------------------------

// Appends `added` (its content and group marks set) as the newest version of
// the page whose newest version is `present` (links and Flag as stored are
// read first; it becomes an older version). `added` takes the page's address
// links, stands after `present` in the version chain and its address
// neighbours, and is the newest undo entry. `present` is left as stored
// with its new Flag; on success `added` holds the new record.
[[nodiscard]] int appendHalfVersion(JournalFile& jf, JournalRecord& present, JournalRecord& added);

// Rewrites `newest`, the page's newest version, in place with the content
// and group marks it carries: its links are taken as stored, it gets the
// Flag of a version stored in place and becomes the newest undo entry (moved
// there when it already is an entry, so the order never meets it twice).
[[nodiscard]] int overwriteNewestInPlace(JournalFile& jf, JournalRecord& newest);

// The version `r` shows the Main File from now on (its bytes were written
// there without undo): its header as stored, with that Flag, is written.
[[nodiscard]] int markShowingMainFile(JournalFile& jf, JournalRecord& r);

// --- exchanges (H3) ---------------------------------------------------------

// Appends the exchange `x` (made by the caller, flagged not in the undo
// order): a program cut short before linkExchangeRecord leaves nothing that
// points at it. With `present`, x takes the page's address links as stored.
// Result 1 when it could not be written; then the Main File must not change.
[[nodiscard]] int appendExchangeRecord(JournalFile& jf, JournalRecord& x, JournalRecord* present);

// After the Main File got its new bytes: `x` becomes the newest version of
// `present` (or the page's first record), stands in the address chain and is
// the newest undo entry. present->nJnl follows.
[[nodiscard]] int linkExchangeRecord(JournalFile& jf, JournalRecord& x, JournalRecord* present);

// The data of the oldest exchange in effect among the versions from
// `chainRecord` down: the half's original content (H6). False when the half
// has none, or (*failed = 1) when the versions could not be read.
bool oldestExchangeData(JournalFile& jf, const JournalRecord& chainRecord, std::uint8_t out[kRecordDataSize],
                        int* failed);

// --- the undo order ---------------------------------------------------------

// The record at `last`, the newest of a command's group (H1), ends the group:
// it loses the redo mark.
[[nodiscard]] int endHistoryGroupAt(JournalFile& jf, FilePos last);

// True when `r` (links as stored) is an entry of the live undo order: its
// older neighbour points back at it (or it is FirstUndo) and its newer
// neighbour, if any, points back at it. A record whose redo entries were
// dropped by a later change is not.
bool isLinkedUndoEntry(JournalFile& jf, const JournalRecord& r);

// Makes `r` the newest entry (Undo): moved there when it is linked, appended
// afresh when it is not; when it is Undo already only the redo entries are
// dropped. Writes the links of every record it changes (64 bytes each).
[[nodiscard]] int makeNewestUndoEntry(JournalFile& jf, JournalRecord& r);

}  // namespace quorby
