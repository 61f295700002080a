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

}  // namespace quorby
