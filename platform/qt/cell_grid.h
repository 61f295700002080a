#pragma once
// The window's 88 x 34 character cells as the logic last drew them: one byte
// and one background colour per cell. The grid widget paints from it.
#include <cstdint>

#include "platform/platform.h"

namespace quorby {

struct CellGrid {
    std::uint8_t bytes[kGridRows][kGridColumns];
    Colour backgrounds[kGridRows][kGridColumns];

    CellGrid();
    // Writes a run of characters; cells outside the grid are dropped.
    // Returns false when no cell was touched.
    bool write(int column, int row, const char* text, int count, Colour background);
};

}  // namespace quorby
