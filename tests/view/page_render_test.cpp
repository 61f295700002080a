#include <cstring>
#include "tests/view/view_fixture.h"
#include "view/page_render.h"

namespace quorby::test {
namespace {

using PageRenderTest = ViewTest;
const std::string kBlankArea(67, ' ');

TEST_F(PageRenderTest, FiveByteFileAndEmptyView) {
    const std::uint8_t bytes[5] = {'H', 'e', 'l', 'l', 0x00};
    std::memcpy(app.view.pageBuffer, bytes, 5);
    app.view.pageLength = 5;
    app.main.fileSize = 5;
    drawPage(app);
    EXPECT_EQ(platform.rowText(0, 21, 50), " 00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F ");
    EXPECT_EQ(colourAt(70, 0), kAddressColour);
    EXPECT_EQ(platform.rowText(1), " 0000 0000 0000 0000 " + expectedBytes(bytes, 5));  // NUL drawn as code 0
    EXPECT_EQ(hexColour(1, 0), kCursorActiveColour);
    EXPECT_EQ(charColour(1, 0), kCursorOtherColour);
    EXPECT_EQ(hexColour(1, 5), kHexBackground);
    EXPECT_EQ(charColour(1, 5), kCharBackground);
    for (int row = 2; row <= 32; ++row) {
        EXPECT_EQ(platform.rowText(row), expectedAddress(FilePos(row - 1) * 16) + kBlankArea) << row;
        EXPECT_EQ(colourAt(70, row), kHexBackground);
        EXPECT_EQ(colourAt(71, row), kCharBackground);
    }

    // No page loaded: no cursor cells.
    app.view.pageLength = 0;
    drawPage(app);
    EXPECT_EQ(platform.rowText(1, 21), kBlankArea);
    EXPECT_EQ(colourAt(22, 1), kHexBackground);
    EXPECT_EQ(colourAt(72, 1), kCharBackground);
}

TEST_F(PageRenderTest, ShownBytesFollowViewOffsetHeaderShiftAndPartialRows) {
    loadPattern(0x1000, 1024, 496);  // rows show pageBuffer 496 .. 1007
    drawPage(app);
    for (int r = 0; r < 32; ++r) {
        EXPECT_EQ(platform.rowText(r + 1), expectedAddress(0x1000 + 496 + 16 * r) +
                                               expectedBytes(app.view.pageBuffer + 496 + 16 * r, 16)) << r;
    }

    loadPattern(0, 1024, 3);
    app.view.headerShift = 3;
    drawPage(app);
    EXPECT_EQ(platform.rowText(0, 21, 50), " 03 04 05 06 07 08 09 0A  0B 0C 0D 0E 0F 00 01 02 ");
    for (int r = 0; r < 32; ++r) {
        EXPECT_EQ(platform.rowText(r + 1), expectedAddress(3 + 16 * r) +
                                               expectedBytes(app.view.pageBuffer + 3 + 16 * r, 16)) << r;
    }
    app.view.headerShift = 15;
    drawPage(app);
    EXPECT_EQ(platform.rowText(0, 21, 50), " 0F 00 01 02 03 04 05 06  07 08 09 0A 0B 0C 0D 0E ");

    loadPattern(512, 700, 400);  // 300 bytes: 18 full rows and 12 bytes
    drawPage(app);
    EXPECT_EQ(platform.rowText(19, 21), expectedBytes(app.view.pageBuffer + 400 + 18 * 16, 12));
    EXPECT_EQ(platform.rowText(20, 21), kBlankArea);
    // A view offset past the valid bytes shows none and reads none.
    app.view.pageLength = 100;
    app.view.viewOffset = 256;
    drawPage(app);
    EXPECT_EQ(platform.rowText(1, 21), kBlankArea);
}

TEST_F(PageRenderTest, AddressesCarryThroughAllDigits) {
    loadPattern(0x100000000ull, 1024);
    drawPage(app);
    EXPECT_EQ(platform.rowText(1, 0, 21), " 0000 0001 0000 0000 ");
    EXPECT_EQ(platform.rowText(2, 0, 21), " 0000 0001 0000 0010 ");

    for (FilePos page : {0xFFFFFE00ull, 0x0FFFFFFFFFFFFE00ull}) {
        loadPattern(page, 1024, 256);
        drawPage(app);
        for (int r = 0; r < 32; ++r) EXPECT_EQ(platform.rowText(r + 1, 0, 21), expectedAddress(page + 256 + 16 * r));
    }
}

TEST_F(PageRenderTest, SelectionBoundsColourTheRightBytes) {
    loadPattern(0, 1024);
    app.view.cursorOffset = 300;
    select(32 + 5, 64 + 10);  // mid row 3 to mid row 5
    drawPage(app);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(hexColour(2, i), kHexBackground) << i;
        EXPECT_EQ(hexColour(3, i), i >= 5 ? kSelectionColour : kHexBackground) << i;
        EXPECT_EQ(charColour(3, i), i >= 5 ? kSelectionColour : kCharBackground) << i;
        EXPECT_EQ(charColour(4, i), kSelectionColour) << i;
        EXPECT_EQ(hexColour(5, i), i < 10 ? kSelectionColour : kHexBackground) << i;
        EXPECT_EQ(hexColour(6, i), kHexBackground) << i;
    }
    // Leading blank, group gap and trailing blanks follow the neighbouring bytes.
    EXPECT_EQ(colourAt(21, 3), kHexBackground);
    EXPECT_EQ(colourAt(46, 3), kSelectionColour);
    EXPECT_EQ(colourAt(71, 3), kCharBackground);
    EXPECT_EQ(colourAt(21, 4), kSelectionColour);
    EXPECT_EQ(colourAt(52, 5), kSelectionColour);  // after byte 9
    EXPECT_EQ(colourAt(55, 5), kHexBackground);    // after byte 10

    // Far before to far after the view (distances beyond 32 bits): all rows.
    loadPattern(0x1000000000ull, 1024, 256);
    app.view.cursorOffset = 511;
    select(0, 0x100000000000ull);
    drawPage(app);
    for (int row = 1; row <= 32; ++row) {
        for (int c = 21; c < 88; ++c) {
            if (row == 32 && (c == 68 || c == 69 || c == 87)) continue;  // cursor
            ASSERT_EQ(colourAt(c, row), kSelectionColour) << row << "," << c;
        }
    }
    // Ending exactly at the first shown byte, or beginning after the last: none.
    for (auto [start, end] : {std::pair{0ull, 0x1000000100ull}, std::pair{0x1000000300ull, 0x1000000400ull}}) {
        select(start, end);
        drawPage(app);
        for (int row = 1; row <= 32; ++row) {
            for (int c = 21; c < 88; ++c) ASSERT_NE(colourAt(c, row), kSelectionColour) << row << "," << c;
        }
    }
}

TEST_F(PageRenderTest, ChangedBytesAndStoredBackgrounds) {
    loadPattern(0, 1024);
    app.view.cursorOffset = 500;
    app.view.setChanged(20);   // row 2, wholly selected
    app.view.setChanged(36);   // row 3, selected; the selection ends in this row
    app.view.setChanged(40);   // row 3, after the selection end
    app.view.setChanged(100);  // row 7, no selection
    select(16, 32 + 6);
    drawPage(app);
    EXPECT_EQ(hexColour(2, 4), kChangedSelectedColour);  // a bookmarked byte in the selection
    EXPECT_EQ(charColour(2, 4), kChangedSelectedColour);
    EXPECT_EQ(colourAt(71, 2), kCharBackground);         // drawn cell by cell
    EXPECT_EQ(hexColour(3, 4), kChangedSelectedColour);
    EXPECT_EQ(hexColour(3, 8), 0xBBDDFFu);               // derived from 0xEEFFEE
    EXPECT_EQ(charColour(3, 8), 0xAADDFFu);              // derived from 0xFFFFFF
    EXPECT_EQ(hexColour(3, 9), kHexBackground);
    EXPECT_EQ(hexColour(7, 4), kChangedColour);
    EXPECT_EQ(charColour(7, 4), kChangedColour);
    EXPECT_EQ(hexColour(7, 5), kHexBackground);

    // Bits count by buffer index; the stored backgrounds are taken at each draw.
    loadPattern(0, 1024, 512);
    app.view.selectionActive = 0;
    std::memset(app.view.changedBits, 0, sizeof app.view.changedBits);
    app.view.setChanged(512 + 33);
    app.view.storedHexBackground = 0xEEEEEE;
    app.view.storedCharBackground = 0xFFEEFF;
    drawPage(app);
    EXPECT_EQ(hexColour(3, 1), kChangedColour);
    EXPECT_EQ(hexColour(3, 0), 0xEEEEEEu);
    EXPECT_EQ(charColour(3, 0), 0xFFEEFFu);
}

TEST_F(PageRenderTest, CursorEraseAnchorAndInfoCell) {
    loadPattern(0, 1024);
    app.view.cursorOffset = 17;  // row 2, byte 1
    drawPage(app);
    EXPECT_EQ(colourAt(25, 2), kCursorActiveColour);
    EXPECT_EQ(colourAt(26, 2), kCursorActiveColour);
    EXPECT_EQ(colourAt(27, 2), kHexBackground);
    EXPECT_EQ(charColour(2, 1), kCursorOtherColour);

    app.view.cursorInChars = true;
    app.view.cursorOffset = 496 + 9;  // last row, right of the group gap
    drawCursor(app);
    EXPECT_EQ(colourAt(50, 32), kCursorOtherColour);
    EXPECT_EQ(colourAt(51, 32), kCursorOtherColour);
    EXPECT_EQ(charColour(32, 9), kCursorActiveColour);

    app.view.setChanged(496 + 9);
    select(496, 512);
    app.shell.modeFlags |= kModeSecondDigit | kModeDrive;
    eraseCursor(app);
    EXPECT_EQ(app.shell.modeFlags, std::uint32_t(kModeDrive));
    EXPECT_EQ(colourAt(50, 32), kChangedSelectedColour);
    EXPECT_EQ(charColour(32, 9), kChangedSelectedColour);
    EXPECT_EQ(platform.rowText(32, 21), expectedBytes(app.view.pageBuffer + 496, 16));

    drawAnchor(app, 40);
    EXPECT_EQ(colourAt(47, 3), kSelectionColour);
    EXPECT_EQ(charColour(3, 8), kSelectionColour);
    const int calls = platform.drawCalls;
    drawAnchor(app, 512);
    EXPECT_EQ(platform.drawCalls, calls);

    setInfoCell(app, kInfoNotFound, kSelectionColour);
    EXPECT_EQ(platform.rowText(0, 0, 21), "----- NOT FOUND -----");
    EXPECT_EQ(colourAt(20, 0), kSelectionColour);
    setInfoCell(app, "Offs", kNegativeOffsetColour);
    EXPECT_EQ(platform.rowText(0, 0, 21), "Offs                 ");
    drawHeaderAndBottomLine(app);
    EXPECT_EQ(platform.rowText(0, 0, 21), std::string(21, ' '));
    EXPECT_EQ(colourAt(10, 0), kAddressColour);
}

}  // namespace
}  // namespace quorby::test
