#include <gtest/gtest.h>

#include "core/command_codes.h"
#include "navigate/cursor_moves.h"
#include "navigate/selection.h"
#include "state/app_state.h"
#include "tests/navigate/nav_fixture.h"

namespace quorby::test {
namespace {

TEST(CursorMoves, StopsAtTheFileEndsAndScrollsByTheStepAtTheGridEdges) {
    NavApp t(64 * 1024);
    // Left and Up at the file's first byte move nothing and report it.
    EXPECT_EQ(cursorLeft(t.app), 1);
    EXPECT_EQ(cursorUp(t.app), 1);
    EXPECT_EQ(t.cursor(), 0u);

    // Left at the first shown byte of a later view: up by one step, cursor on
    // the byte before.
    EXPECT_EQ(showFromPosition(t.app, 4096), 0);
    t.app.view.cursorOffset = 0;
    EXPECT_EQ(cursorLeft(t.app), 0);
    EXPECT_EQ(t.first(), 4096u - 16);
    EXPECT_EQ(t.app.view.cursorOffset, 15u);
    EXPECT_EQ(t.cursor(), 4095u);

    // Right at the last shown byte: down one step, offset 512 - step.
    t.app.view.cursorOffset = 511;
    const FilePos before = t.cursor();
    EXPECT_EQ(cursorRight(t.app), 0);
    EXPECT_EQ(t.cursor(), before + 1);
    EXPECT_EQ(t.app.view.cursorOffset, 512u - 16);

    // Down in the last row and Up in the first row keep the column.
    t.app.view.cursorOffset = 500;
    FilePos at = t.cursor();
    EXPECT_EQ(cursorDown(t.app), 0);
    EXPECT_EQ(t.cursor(), at + 16);
    t.app.view.cursorOffset = 3;
    at = t.cursor();
    EXPECT_EQ(cursorUp(t.app), 0);
    EXPECT_EQ(t.cursor(), at - 16);

    // Right at the file's last byte moves nothing.
    t.cursorTo(64 * 1024 - 1);
    EXPECT_EQ(cursorRight(t.app), 1);
    EXPECT_EQ(t.cursor(), 64u * 1024 - 1);
    // Down without a byte a row further scrolls only while the view can move.
    EXPECT_EQ(t.first(), 64u * 1024 - 512);
    EXPECT_EQ(cursorDown(t.app), 1);
    EXPECT_EQ(t.cursor(), 64u * 1024 - 1);
}

TEST(CursorMoves, CursorMovesEndTheKeyboardSelectionAndHomeEndStayInTheRow) {
    NavApp t(1000);
    t.cursorTo(37);
    shiftRightCommand(t.app);
    ASSERT_TRUE(t.app.view.selectionActive & kSelectionKeyboard);
    cursorRightCommand(t.app);
    EXPECT_EQ(t.app.view.selectionActive & (kSelectionKeyboard | kSelectionMovingEnd), 0u);
    EXPECT_TRUE(t.app.view.selectionActive & kSelectionExists);

    startOfLineCommand(t.app);
    EXPECT_EQ(t.cursor(), 32u);
    endOfLineCommand(t.app);
    EXPECT_EQ(t.cursor(), 47u);
    // The last row of a 1000-byte file ends at byte 999, not at the row end.
    t.cursorTo(995);
    endOfLineCommand(t.app);
    EXPECT_EQ(t.cursor(), 999u);
}

TEST(CursorMoves, ArrowKeysFollowTheCursorMoveMode) {
    NavApp t(8192, 1);
    t.cursorTo(40);
    arrowDownCommand(t.app);
    EXPECT_EQ(t.cursor(), 56u);
    EXPECT_EQ(t.first(), 0u);
    altArrowDownCommand(t.app);  // the view moves, the cursor keeps its cell
    EXPECT_EQ(t.first(), 16u);
    EXPECT_EQ(t.app.view.cursorOffset, 56u);

    t.app.shell.modeFlags |= kModeArrowsMoveView;
    arrowRightCommand(t.app);  // resolution byte: the view moves one byte
    EXPECT_EQ(t.first(), 17u);
    EXPECT_EQ(t.app.view.headerShift, 1u);
    EXPECT_EQ(t.cursor(), 72u);  // the cursor keeps its byte
    altArrowRightCommand(t.app);
    EXPECT_EQ(t.cursor(), 73u);

    // In the line resolution sideways view moves do nothing.
    setScrollResolution(t.app, 2);
    EXPECT_EQ(t.first(), 16u);
    EXPECT_EQ(t.app.view.headerShift, 0u);
    arrowLeftCommand(t.app);
    EXPECT_EQ(t.first(), 16u);
}

TEST(CursorMoves, TabLeavesTheSecondDigitAndTogglesTheColumn) {
    NavApp t(100);
    t.app.shell.modeFlags |= kModeSecondDigit;
    tabCommand(t.app);
    EXPECT_TRUE(t.app.view.cursorInChars);
    EXPECT_EQ(t.app.shell.modeFlags & kModeSecondDigit, 0u);
    tabCommand(t.app);
    EXPECT_FALSE(t.app.view.cursorInChars);
}

TEST(KeyboardSelection, GrowsShrinksTurnsOverAtTheAnchorAndStopsAtTheFileBegin) {
    NavApp t(4096);
    t.cursorTo(100);
    for (int i = 0; i < 3; ++i) shiftRightCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 100u);
    EXPECT_EQ(t.app.view.selectionEnd, 104u);
    EXPECT_EQ(t.app.view.selectionActive & 7u, 7u);
    EXPECT_EQ(t.cursor(), 103u);
    EXPECT_TRUE(t.platform.itemEnabled[kCmdCopy]);  // "Copy"

    for (int i = 0; i < 3; ++i) shiftLeftCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 100u);
    EXPECT_EQ(t.app.view.selectionEnd, 101u);
    shiftLeftCommand(t.app);  // the start moves from now on
    EXPECT_EQ(t.app.view.selectionStart, 99u);
    EXPECT_EQ(t.app.view.selectionEnd, 101u);
    EXPECT_EQ(t.app.view.selectionActive & kSelectionMovingEnd, 0u);

    // With the end moving and at most 16 bytes, Shift+Up turns over:
    // [former end - 17, former start + 1).
    cancelSelectionCommand(t.app);
    t.cursorTo(200);
    for (int i = 0; i < 4; ++i) shiftRightCommand(t.app);  // [200, 205)
    shiftUpCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 205u - 17);
    EXPECT_EQ(t.app.view.selectionEnd, 201u);
    shiftDownCommand(t.app);  // and back over the anchor
    EXPECT_EQ(t.app.view.selectionStart, 200u);
    EXPECT_EQ(t.app.view.selectionEnd, 205u);

    // Shift+Up from one byte at 20, then at the file's begin.
    cancelSelectionCommand(t.app);
    t.cursorTo(20);
    shiftUpCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 4u);
    EXPECT_EQ(t.app.view.selectionEnd, 21u);  // positions 4 .. 20
    EXPECT_EQ(t.cursor(), 4u);
    shiftUpCommand(t.app);  // below position 0: refused
    EXPECT_EQ(t.app.view.selectionStart, 4u);
    shiftLeftCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 3u);
}

TEST(KeyboardSelection, EndAndHomeUseRowBoundariesAndScrollWithTheMovingByte) {
    NavApp t(4096);
    t.cursorTo(37);
    shiftEndCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 37u);
    EXPECT_EQ(t.app.view.selectionEnd, 48u);
    shiftDownCommand(t.app);
    EXPECT_EQ(t.app.view.selectionEnd, 64u);
    shiftHomeCommand(t.app);  // the end goes back to the start of its row
    EXPECT_EQ(t.app.view.selectionEnd, 48u);
    shiftHomeCommand(t.app);  // now the start goes to the start of its row
    EXPECT_EQ(t.app.view.selectionStart, 32u);
    EXPECT_EQ(t.app.view.selectionEnd, 48u);
    EXPECT_EQ(t.cursor(), 32u);

    // The moving byte leaving the grid scrolls the view by one row.
    cancelSelectionCommand(t.app);
    t.cursorTo(500);
    shiftDownCommand(t.app);
    EXPECT_EQ(t.first(), 16u);
    EXPECT_EQ(t.cursor(), 516u);
    EXPECT_EQ(t.app.view.selectionEnd, 517u);
}

TEST(Selection, F9AfterF10LeavesNothingSelectedAndGreysTheItems) {
    NavApp t(4096);
    t.cursorTo(50);
    selectionEndCommand(t.app);
    t.cursorTo(100);
    selectionStartCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 100u);
    EXPECT_EQ(t.app.view.selectionEnd, 51u);
    EXPECT_FALSE(selectionIsUsable(t.app));
    EXPECT_FALSE(t.platform.itemEnabled[kCmdCopy]);
    for (int r = 1; r <= 32; ++r)
        for (int c = 21; c < 88; ++c) ASSERT_NE(t.platform.colours[r][c], kSelectionColour) << r << "," << c;

    // A start before the end makes it a selection again.
    t.cursorTo(40);
    selectionStartCommand(t.app);
    EXPECT_TRUE(selectionIsUsable(t.app));
    EXPECT_TRUE(t.platform.itemEnabled[kCmdFillSelectionWithValue]);
    EXPECT_EQ(t.platform.colours[3][21 + 3 * 13 + 2], kSelectionColour);  // byte 45

    cancelSelectionCommand(t.app);
    EXPECT_EQ(t.app.view.selectionActive, 0u);
    for (int code : kSelectionDependentItems) EXPECT_FALSE(t.platform.itemEnabled[code]) << code;
}

TEST(Selection, SelectAllRememberRestoreAndBookmark) {
    NavApp t(3000);
    selectAllCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 0u);
    EXPECT_EQ(t.app.view.selectionEnd, 3000u);
    EXPECT_EQ(t.app.view.selectionActive, 7u | kSelectionItemsEnabled);
    rememberSelectionCommand(t.app);
    cancelSelectionCommand(t.app);
    t.app.view.selectionStart = 5;
    t.app.view.selectionEnd = 6;
    restoreSelectionCommand(t.app);
    EXPECT_EQ(t.app.view.selectionEnd, 3000u);
    EXPECT_EQ(t.app.view.selectionActive, 0u);  // left as it was

    EXPECT_EQ(showFromPosition(t.app, 496), 0);
    t.app.view.cursorOffset = 100;  // byte 596: the second half of the pair at 0
    setBookmarkCommand(t.app);
    const std::uint32_t k = t.app.view.viewOffset + t.app.view.cursorOffset;
    EXPECT_TRUE(t.app.view.changed(k));
    EXPECT_FALSE(t.app.view.halfDirty[0]);
    EXPECT_TRUE(t.app.view.halfDirty[1]);
}

}  // namespace
}  // namespace quorby::test
