#pragma once
// The edit path's own state: the pending first hex digit, the outcome of the
// last store, and the bookkeeping of undo and redo runs.
#include <cstdint>
#include "core/file_pos.h"

namespace quorby {

// Bits of undoOptions.
inline constexpr std::uint32_t kUndoKeepRestoreData = 1;  // keep the Main File's earlier content
inline constexpr std::uint32_t kUndoEveryChange = 2;      // every store appends a new version

// The records one command adds to the history form one entry: the first has
// no undo mark, each later one the undo mark, each one before another the
// redo mark. `last` is the group's newest record so far.
struct HistoryGroup {
    FilePos last = kEmptyPtr;
};

struct EditState {
    bool writeAllRunning = false;    // "Save &File" polls for input: a second one waits
    bool contentCopyRunning = false; // a copy of the content with changes is under way
    std::uint8_t firstNibble = 0;    // the digit typed first (pending: kModeSecondDigit)
    bool pageRefused = false;        // the last store was refused or dropped by the user
    bool continueFlag = false;       // the last undoOne / redoOne found a group mark
    // An undo or redo put another version of a page into the address chain:
    // the view's cursor records may name the version that left it.
    bool chainVersionSwapped = false;
    // Pages stored while a group is open form one entry of the history
    // (document/store_page.h).
    bool groupStores = false;
    HistoryGroup storeGroup;
    std::uint8_t fillValue = 0;      // the byte chosen in "Choose Char"
};

}  // namespace quorby
