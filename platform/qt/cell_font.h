#pragma once
// The view font: a fixed-pitch face fitted into a cell of a requested pixel
// size. The glyphs are stretched horizontally so that their advance is the
// cell width; the pixel size is the largest at which the ink of every glyph
// the grid shows fits the cell, so no accent, underscore or descender is cut
// by the neighbouring rows.
#include <QFont>

namespace quorby {

struct CellFont {
    QFont font;
    int cellWidth = 0;   // the cell pitch the grid is drawn with
    int rowHeight = 0;
    int baseline = 0;    // from the top of a cell
};

// The box around the ink of all glyphs of bytes 0x00..0xFF (the blank left
// out), in pixels from the glyph origin on the baseline: top is negative
// above the baseline; the bounds are inclusive.
struct GlyphInk {
    int top = 0;
    int bottom = -1;
    int left = 0;
    int right = -1;
};
GlyphInk measureGlyphInk(const QFont& font, int cellWidth, int cellHeight);

// Returns 0, or 1 when no font of that size can be made (the cell is too
// small for any glyph).
[[nodiscard]] int makeCellFont(int cellWidth, int cellHeight, CellFont* out);

}  // namespace quorby
