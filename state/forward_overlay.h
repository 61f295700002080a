#pragma once
// The Journal File's changes laid over reads of the Main File that mostly go
// forward (the AVI check reads chunk ids in file order, thousands of them).
// A walk of the address chain goes on from where the walk before stopped
// instead of from the chain's start, and a read that ends before the next
// changed page needs no walk at all. A read that goes back, a change of the
// Journal File or a damaged chain starts the walk from the chain's start, as
// every read did before.
#include <cstdint>

#include "core/file_pos.h"
#include "state/app_state.h"

namespace quorby {

struct ForwardOverlay {
    bool known = false;              // the fields below hold
    FilePos chain = kEmptyPtr;       // where the last walk stopped: the first record it may need
    FilePos from = 0;                // reads from here on may begin the walk at `chain`
    bool nextChangeKnown = false;
    FilePos nextChange = 0;          // the page of the record at `chain`
    std::uint64_t changeCount = 0;   // the Journal File's count of changes the walk saw
};

// Lays the changes over [pos, pos + n), read from the Main File into `block`.
void overlayForward(AppState& app, ForwardOverlay& o, FilePos pos, std::uint8_t* block, std::uint32_t n);

}  // namespace quorby
