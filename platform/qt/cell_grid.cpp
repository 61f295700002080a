#include "platform/qt/cell_grid.h"

namespace quorby {

CellGrid::CellGrid() {
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            bytes[r][c] = ' ';
            backgrounds[r][c] = 0xFFFFFF;
        }
}

bool CellGrid::write(int column, int row, const char* text, int count, Colour background) {
    if (row < 0 || row >= kGridRows || text == nullptr || count <= 0) return false;
    int first = column < 0 ? -column : 0;
    bool touched = false;
    for (int i = first; i < count && column + i < kGridColumns; ++i) {
        bytes[row][column + i] = std::uint8_t(text[i]);
        backgrounds[row][column + i] = background;
        touched = true;
    }
    return touched;
}

}  // namespace quorby
