#pragma once
// The Flag values of the records the edit path writes. Bits with a meaning of
// their own are in store/journal_format.h; the values here are the state
// codes that undo and redo test.
#include <cstdint>

namespace quorby {

// A page version stored by typing: in the address chain (0x100000), in
// effect (0x100), not yet in the Main File (0x4), plus 0x1. Undo's test
// F & 0x301304 == 0x100104 and redo's F & 0x523105 == 0x500005 (after the
// undo added 0x400020) both rely on it, and so does the version review.
inline constexpr std::uint32_t kStateStoredVersion = 0x00100105;

// The bits a typed change clears and every new version keeps from the
// in-memory copy: the two group marks.
inline constexpr std::uint32_t kGroupMarks = 0x00040002;

// A record in the address chain that holds the Main File's content from
// before a direct write; the page itself shows the Main File (0x400000,
// 0x20). Undo exchanges the record's data with the Main File's bytes, redo
// exchanges them back.
inline constexpr std::uint32_t kStateSavedBeforeWrite = 0x00633A30;
// Marks such a record: after an exchange it stays in the address chain and
// keeps showing the Main File. A bit no other operation names.
inline constexpr std::uint32_t kFlagDirectSaved = 0x02000000;


// ---- writing into the Main File ----------------------------------------

// The Main File's content of a page from before its first write, kept as
// the page's oldest version: 0x80000, 0x200000, 0x30 (earlier content
// saved, no valid ChangeMap). Of the written version's bits it keeps those
// outside kEarlierContentDropped. Undo finds it by F & 0x81835 == 0x80030.
inline constexpr std::uint32_t kStateEarlierContent = 0x00280030;
inline constexpr std::uint32_t kEarlierContentDropped = 0x00128B85;
// Every version of a page whose earlier content is in the Journal File.
inline constexpr std::uint32_t kStateEarlierContentKnown = 0x00010010;
// Set on a version whose data an undo wrote back into the Main File.
inline constexpr std::uint32_t kFlagEarlierContentInMain = 0x00800000;

// A version written into the Main File ("reached the Main File": undo's
// test F & 0x331904 == 0x330904 takes the write back first).
inline constexpr std::uint32_t kStateWritten = 0x00A30820;
// The same for a half whose selected changes were all written.
inline constexpr std::uint32_t kStateSelectionWritten = 0x00230820;
// A version written with undo deactivated: nothing of the page's earlier
// content is kept, so the record becomes what an undone typed version is:
// in the address chain, not in effect, shown from the Main File (0x400000)
// without marks (0x20). The state codes 0x633A30 / 0x233A21 left bits
// 0x1000 and 0x200 behind that a later store in place keeps, and undo's
// test F & 0x301304 == 0x100104 then never took that store back.
inline constexpr std::uint32_t kStateWrittenNoUndo = 0x00400020;

// A half whose selection was written while changes outside it remain: with
// "Undo for all Changes" the old version keeps its Flag masked and marked,
// and a new version holds the remaining changes.
inline constexpr std::uint32_t kKeepSplitOld = 0x0FFEFF77;
inline constexpr std::uint32_t kStateSplitOld = 0x00010080;
inline constexpr std::uint32_t kKeepSplitNew = 0x0EDC7777;
inline constexpr std::uint32_t kStateSplitNew = 0x01238808;

// The same with "Undo for all Changes" off: the half keeps its record, its
// ChangeMap holds the remaining changes, and it is in the written state
// (as kStateSelectionWritten, but with a valid ChangeMap), so that undo
// takes the write back first. The state code 0x1B200 matched none of
// undo's tests: undo passed over the record and the Main File kept the
// written bytes.
inline constexpr std::uint32_t kKeepPartlyWritten = 0x0F7E4DFF;
inline constexpr std::uint32_t kStatePartlyWritten = 0x00230800;

// "Restore Original File": the chain record of every restored page shows
// the Main File again, without changed marks. (0x1200 beside 0x400000
// would hide an earlier-content record that sits in the chain from undo's
// test F & 0x81835 == 0x80030, and a version stored over such a record in
// place from undo's test F & 0x301304 == 0x100104.)
inline constexpr std::uint32_t kStateRestored = 0x00400020;

}  // namespace quorby
