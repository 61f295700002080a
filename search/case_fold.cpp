#include "search/case_fold.h"

#include "core/tables.h"

namespace quorby {

const std::uint8_t* caseFoldTable() { return tables().upperCase; }

int bytesFoldingTo(std::uint8_t folded, std::uint8_t out[2]) {
    out[0] = out[1] = folded;
    // Among the 256 bytes at most one other folds to `folded`; the table
    // decides, so the two stay in step.
    for (int b = 0; b < 256; ++b) {
        if (b != folded && foldByte(std::uint8_t(b)) == folded) {
            out[1] = std::uint8_t(b);
            return 2;
        }
    }
    return 1;
}

}  // namespace quorby
