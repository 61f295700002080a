#pragma once
// Exchanges: the records that keep the Main File's bytes of a page half from
// before a write, so that undo, redo and "Restore Original File" can give
// them back (journal/record_states.h, H3 and H6).
#include "state/app_state.h"

namespace quorby {

// Group marks of the records of one command (HistoryGroup, H1).
// Gives `r` (not yet linked into the undo order) its group marks.
void joinHistoryGroup(HistoryGroup& group, JournalRecord& r);
// Notes `r` (now linked) as the group's newest record.
void noteInHistoryGroup(HistoryGroup& group, const JournalRecord& r);
// The end of the command: the group's last record loses the redo mark.
[[nodiscard]] int closeHistoryGroup(JournalFile& jf, HistoryGroup& group);

// A new exchange `x` holding `mainBytes`, the Main File's present `count`
// bytes of the half at `pos` (its address links from `present`, or prevPtr /
// nextPtr).
void makeExchange(FilePos pos, std::uint32_t count, const std::uint8_t* mainBytes, const JournalRecord* present,
                  JournalRecord& x);
// Reads the Main File's present `count` bytes of the half at `pos` into a
// new exchange `x` (its address links from `present`, or prevPtr / nextPtr).
// Result 1 when they could not be read: then the Main File must not change.
[[nodiscard]] int readExchange(AppState& app, FilePos pos, std::uint32_t count, const JournalRecord* present, FilePos prevPtr,
                 FilePos nextPtr, JournalRecord& x);
// Appends `x`, not yet linked anywhere
// (kFlagNotInUndoOrder): a program cut short before linkExchange leaves
// nothing that points to it. Result 1 when the record could not be written;
// then the Main File must not change.
[[nodiscard]] int appendExchange(AppState& app, JournalRecord& x);

// After the Main File got its new bytes: `x` becomes the newest version of
// `present` (or the page's first record), stands in the address chain and
// joins the undo order as the newest record of `group`.
[[nodiscard]] int linkExchange(AppState& app, JournalRecord& x, JournalRecord* present, HistoryGroup& group);

// Swaps x's data with the Main File's bytes of its half: x's data go into
// the Main File, then x's header (with the Flag the caller set) and the Main
// File's former bytes become the record. A read-only Main File is re-opened
// read-write first (with its question). Result 1 with nothing changed when
// the Main File could not be made writable, read or written.
// `mainFileChecked`: the caller has just checked the Main File and made it
// writable (ensureWritable) for a run of steps, so this one does not again.
[[nodiscard]] int exchangeWithMainFile(AppState& app, JournalRecord& x, bool mainFileChecked = false);

// The data of the oldest exchange in effect among the versions from
// `chainRecord` down: the half's original content (H6). False when the
// half has none.
bool originalContentOf(JournalFile& jf, const JournalRecord& chainRecord, std::uint8_t out[kRecordDataSize],
                       int* failed);

}  // namespace quorby
