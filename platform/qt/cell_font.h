#pragma once
// The view font: a fixed-pitch face fitted into a cell of a requested pixel
// size. The glyph height is the largest that fits the cell height; the
// glyphs are stretched horizontally so that their advance is the cell width.
#include <QFont>

namespace quorby {

struct CellFont {
    QFont font;
    int cellWidth = 0;   // the cell pitch the grid is drawn with
    int rowHeight = 0;
    int baseline = 0;    // from the top of a cell
};

// Returns 0, or 1 when no font of that size can be made (the cell is too
// small for any glyph).
int makeCellFont(int cellWidth, int cellHeight, CellFont* out);

}  // namespace quorby
