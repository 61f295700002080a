#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "platform/qt/glyph_map.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

using test::RecordingInput;

TEST(Grid, CellsAreDrawnInTheirBackgroundColour) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    int w = 0, h = 0;
    ASSERT_EQ(platform.createFont(9, 17, &w, &h), 0);
    EXPECT_EQ(w, 9);
    EXPECT_EQ(h, 17);
    platform.fitWindowToGrid(w, h);
    GridWidget* grid = platform.window().grid();
    EXPECT_EQ(grid->size(), QSize(88 * 9, 34 * 17));

    // 0xBBGGRR: blue in the high byte.
    platform.drawCells(10, 5, "   ", 3, 0x123456);
    platform.drawCells(0, 0, "  ", 2, 0x0000FF);
    platform.drawCells(86, 33, "    ", 4, 0xFF0000);   // two cells fall off the right edge
    QImage image = grid->grab().toImage();
    EXPECT_EQ(image.pixelColor(10 * 9 + 4, 5 * 17 + 8), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(image.pixelColor(12 * 9 + 8, 5 * 17 + 16), QColor(0x56, 0x34, 0x12));
    EXPECT_NE(image.pixelColor(13 * 9 + 1, 5 * 17 + 8), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0xFF, 0, 0));
    EXPECT_EQ(image.pixelColor(87 * 9 + 4, 33 * 17 + 8), QColor(0, 0, 0xFF));

    const CellGrid& cells = grid->cells();
    EXPECT_EQ(cells.backgrounds[33][87], 0xFF0000u);
    platform.drawCells(-2, 1, "abcd", 4, 0x111111);    // starts left of the grid
    platform.drawCells(0, 34, "x", 1, 0x222222);       // below the grid: dropped
    EXPECT_EQ(cells.bytes[1][0], 'c');
    EXPECT_EQ(cells.bytes[1][1], 'd');
    EXPECT_EQ(cells.backgrounds[1][2], 0xFFFFFFu);

    // A glyph is drawn in black on the cell's colour.
    platform.drawCells(30, 10, "M", 1, 0xFFFFFF);
    image = grid->grab().toImage();
    int dark = 0;
    for (int y = 10 * 17; y < 11 * 17; ++y)
        for (int x = 30 * 9; x < 31 * 9; ++x)
            if (image.pixelColor(x, y).lightness() < 100) ++dark;
    EXPECT_GT(dark, 5);
}

TEST(Grid, BytesShowAsWindows1252WithVisibleControlCodes) {
    EXPECT_EQ(glyphForByte('A'), u'A');
    EXPECT_EQ(glyphForByte(0x80), u'\u20AC');
    EXPECT_EQ(glyphForByte(0x9F), u'\u0178');
    EXPECT_EQ(glyphForByte(0xE4), u'\u00E4');
    EXPECT_EQ(glyphForByte(0xFF), u'\u00FF');
    EXPECT_EQ(glyphForByte(0x00), u'\u25E6');
    EXPECT_EQ(glyphForByte(0x1F), u'\u25E6');
    EXPECT_EQ(glyphForByte(0x7F), u'\u25E6');
    EXPECT_EQ(glyphForByte(0xAD), u'\u2010');
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(glyphForByte(std::uint8_t(undefined)), u'\u25AF');

    // Typed characters come back to the same bytes.
    for (int byte = 0x20; byte < 0x100; ++byte) {
        if (byte == 0x7F || byte == 0xAD || glyphForByte(std::uint8_t(byte)) == u'\u25AF') continue;
        EXPECT_EQ(byteForCharacter(QChar(glyphForByte(std::uint8_t(byte)))), byte) << byte;
    }
    EXPECT_EQ(byteForCharacter(QChar(u'\u4E2D')), -1);
    EXPECT_EQ(byteForCharacter(QChar(u'\u00AD')), 0xAD);
}

TEST(Grid, LogicTextsAreUtf8OrFallBackToWindows1252) {
    EXPECT_EQ(fromLogicText("au\xC3\x9F" "erhalb"), QString::fromUtf8("außerhalb"));
    EXPECT_EQ(fromLogicText("/tmp/\xE4\x80.bin\n"), QString::fromUtf8("/tmp/ä€.bin\n"));
    EXPECT_EQ(toLogicText(QString::fromUtf8("Grüße")), "Gr\xC3\xBC\xC3\x9F" "e");
}

}  // namespace
}  // namespace quorby
