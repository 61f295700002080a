#include "tests/view/view_fixture.h"
#include "view/page_render.h"
#include "view/status_cells.h"

namespace quorby::test {
namespace {

using StatusCellsTest = ViewTest;

TEST_F(StatusCellsTest, BottomLineCellsAndProtection) {
    showJournalAccess(app);
    EXPECT_EQ(platform.rowText(33, 56, 9), " Journal ");
    for (int c = 0; c < 88; ++c) EXPECT_EQ(colourAt(c, 33), kBottomLineColour) << c;
    showDirectAccess(app);
    EXPECT_NE(app.shell.accessFlags & kAccessDirect, 0u);
    EXPECT_EQ(platform.rowText(33, 0, 76), std::string(56, ' ') + " directly           ");

    // Lock on a read-only Main File changes nothing; Unlock keeps "Read Only".
    showReadOnly(app);
    const std::uint32_t readOnlyFlags = app.shell.accessFlags;
    lockMainFile(app);
    EXPECT_EQ(app.shell.accessFlags, readOnlyFlags);
    EXPECT_EQ(platform.rowText(33, 78, 9), "Read Only");
    unlockMainFile(app);
    EXPECT_EQ(platform.rowText(33, 78, 9), "Read Only");

    showWritable(app);
    EXPECT_EQ(platform.rowText(33, 78, 9), "         ");
    lockMainFile(app);
    EXPECT_EQ(app.shell.accessFlags & (kAccessNotLocked | kAccessWritable), std::uint32_t(kAccessWritable));
    EXPECT_EQ(platform.rowText(33, 78, 9), "  locked ");
    unlockMainFile(app);
    EXPECT_NE(app.shell.accessFlags & kAccessNotLocked, 0u);
    EXPECT_EQ(platform.rowText(33, 78, 9), "         ");
}

TEST_F(StatusCellsTest, PermanentAndTemporaryModes) {
    loadPattern(0, 1024);
    setInfoCell(app, kInfoFound, kSelectionColour);
    app.shell.modeFlags = kModeDrive;
    app.shell.accessFlags |= kAccessBit0;
    enterPermanentMode(app, PermanentMode::Edit);
    EXPECT_EQ(platform.rowText(0, 71), "    Edit Mode    ");
    EXPECT_EQ(colourAt(87, 0), 0xCCCCFFu);
    EXPECT_EQ(app.shell.modeFlags & kModeDrive, 0u);
    EXPECT_EQ(app.shell.accessFlags & kAccessBit0, 0u);
    EXPECT_EQ(platform.rowText(0, 0, 21), std::string(21, ' '));  // header's left part cleared
    EXPECT_EQ(colourAt(22, 1), kCursorActiveColour);               // cursor drawn again

    enterPermanentMode(app, PermanentMode::Disk);
    EXPECT_EQ(platform.rowText(0, 71), "    Disk Mode    ");
    EXPECT_EQ(colourAt(75, 0), 0xDDFFFFu);
    EXPECT_NE(app.shell.modeFlags & kModeDrive, 0u);

    enterPermanentMode(app, PermanentMode::Compare);
    enterTemporaryMode(app, TemporaryMode::AutoScroll);
    EXPECT_EQ(platform.rowText(0, 71), "    Auto Scroll  ");
    EXPECT_EQ(colourAt(75, 0), 0xDDCCFFu);
    enterTemporaryMode(app, TemporaryMode::VideoPlay);
    EXPECT_EQ(platform.rowText(0, 71), "    Video Play   ");
    restorePermanentMode(app);
    EXPECT_EQ(platform.rowText(0, 71), "   Compare Mode  ");
    EXPECT_EQ(colourAt(75, 0), 0xFF88FFu);

    // A repaint draws every cell with its current text.
    showResolutionLock(app, 8);
    platform.clear();
    drawHeaderAndBottomLine(app);
    EXPECT_EQ(platform.rowText(0, 71), "   Compare Mode  ");
    EXPECT_EQ(platform.rowText(33, 67, 9), "Page lock");
}

TEST_F(StatusCellsTest, ActivityMarkCyclesEveryThirtySecondCall) {
    enterTemporaryMode(app, TemporaryMode::ScanAvi);
    std::string marks;
    for (int call = 1; call <= 32 * 8; ++call) {
        platform.cells[0][71] = '?';
        tickActivityMark(app);
        if (call % 32 != 0) {
            ASSERT_EQ(platform.cells[0][71], '?') << call;
        } else {
            marks += platform.cells[0][71];
            EXPECT_EQ(colourAt(71, 0), 0xFF88FFu);
        }
    }
    EXPECT_EQ(marks, "\xE0\xE1\xE2\xE3\xE4\xE5\xE0\xE1");
}

}  // namespace
}  // namespace quorby::test
