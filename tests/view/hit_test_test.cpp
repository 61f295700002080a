#include "tests/view/view_fixture.h"
#include "view/grid_layout.h"
#include "view/page_render.h"

namespace quorby::test {
namespace {

using HitTestTest = ViewTest;

// Pixel inside grid cell (column, row) at 8 x 16 pixels per cell.
int px(int column) { return column * 8 + 4; }
int py(int row) { return row * 16 + 8; }

TEST_F(HitTestTest, LayoutTablesMatchTheHexText) {
    const int firstDigit[16] = {1, 4, 7, 10, 13, 16, 19, 22, 26, 29, 32, 35, 38, 41, 44, 47};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(hexDigitOffset(i), firstDigit[i]) << i;
        EXPECT_EQ(columnTableEntry(firstDigit[i] + 1), 2 * i + 1) << i;
        EXPECT_EQ(columnTableEntry(72 - 21 + i), 2 * i) << i;
    }
    for (int column : {21, 24, 45, 46, 49, 70, 71, 88, 95}) EXPECT_EQ(columnTableEntry(column - 21), kNoByteCell) << column;
}

TEST_F(HitTestTest, ByteCellsGapsAndOutsideAreas) {
    loadPattern(0, 1024);
    HitResult hit;
    EXPECT_EQ(hitTest(app, px(23), py(1), &hit), 0);  // second digit -> its byte
    EXPECT_EQ(hitTest(app, px(47), py(2), &hit), 24);
    EXPECT_EQ(hit.rowTop, 32);
    EXPECT_EQ(hit.hexColumnX, 47 * 8);
    EXPECT_EQ(hit.charColumnX, 80 * 8);
    EXPECT_FALSE(app.view.cursorInChars);
    EXPECT_EQ(hitTest(app, px(87), py(32), &hit), 511);
    EXPECT_TRUE(app.view.cursorInChars);

    // Blanks between bytes and groups give no byte and leave the input column.
    for (int column : {21, 24, 45, 46, 70, 71}) {
        EXPECT_EQ(hitTest(app, px(column), py(5), &hit), kHitNoByte) << column;
        EXPECT_TRUE(app.view.cursorInChars) << column;
    }
    // Address column (to its last pixel), header row, bottom line.
    EXPECT_EQ(hitTest(app, 21 * 8 - 1, py(5), &hit), kHitOutside);
    EXPECT_EQ(hitTest(app, px(31), py(0), nullptr), kHitOutside);
    EXPECT_EQ(hitTest(app, px(31), py(33), nullptr), kHitOutside);
    EXPECT_EQ(hitTest(app, px(31), -5, nullptr), kHitOutside);

    app.view.cellWidth = 10;
    app.view.rowHeight = 20;
    EXPECT_EQ(hitTest(app, 47 * 10, 2 * 20, nullptr), 24);
    EXPECT_EQ(hitTest(app, 47 * 10 - 1, 2 * 20, nullptr), kHitNoByte);
}

TEST_F(HitTestTest, PositionsBeyondTheLastByteAreRefused) {
    loadPattern(0, 5);
    EXPECT_EQ(hitTest(app, px(21 + hexDigitOffset(4)), py(1), nullptr), 4);
    EXPECT_EQ(hitTest(app, px(21 + hexDigitOffset(5)), py(1), nullptr), kHitOutside);
    EXPECT_EQ(hitTest(app, px(72), py(2), nullptr), kHitOutside);
    EXPECT_FALSE(app.view.cursorInChars);  // a refused click changes no column

    loadPattern(1024, 8, 3);  // the distance counts from the page pair's start
    EXPECT_EQ(hitTest(app, px(21 + hexDigitOffset(4)), py(1), nullptr), 4);
    EXPECT_EQ(hitTest(app, px(21 + hexDigitOffset(5)), py(1), nullptr), kHitOutside);

    loadPattern(0, 0);
    EXPECT_EQ(hitTest(app, px(22), py(1), nullptr), kHitOutside);

    loadPattern(0x40000000000ull, 1024, 256);
    app.main.fileSize = 0x80000000000ull;
    EXPECT_EQ(hitTest(app, px(87), py(32), nullptr), 511);
}

}  // namespace
}  // namespace quorby::test
