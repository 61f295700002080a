// Typing on the page: hex digits, the character column, ESC, Backspace, Enter.
#include "tests/edit/edit_fixture.h"

#include "edit/enter_char.h"
#include "edit/undo_commands.h"
#include "navigate/version_review.h"
#include "view/grid_layout.h"

namespace quorby::testing {
namespace {

TEST(EnterChar, HexDigitsOnlyAndCaseFolded) {
    EditFixture f(4096);
    f.cursorTo(100);
    for (int c : {'g', 'G', ':', ' ', 'z'}) enterChar(f.app, c);
    EXPECT_EQ(f.app.view.pageBuffer[100], originalByte(100));
    EXPECT_FALSE(f.app.view.halfDirty[0]);
    EXPECT_EQ(f.app.view.cursorPos(), 100u);

    enterChar(f.app, 'a');
    // The first digit waits on the highlight; the byte is not changed yet.
    const int row = kFirstDataRow + int(f.app.view.cursorOffset) / 16;
    const int column = kHexColumn + hexDigitOffset(int(f.app.view.cursorOffset) % 16);
    EXPECT_EQ(f.platform.cells[row][column], 'A');
    EXPECT_EQ(f.platform.colours[row][column], kPendingDigitColour);
    EXPECT_EQ(f.app.view.pageBuffer[100], originalByte(100));
    EXPECT_FALSE(f.app.view.changed(100));
    enterChar(f.app, 'A');
    EXPECT_EQ(f.app.view.pageBuffer[100], 0xAA);
    EXPECT_TRUE(f.app.view.changed(100));
    EXPECT_TRUE(f.app.view.halfDirty[0]);
    EXPECT_FALSE(f.app.view.halfDirty[1]);
    EXPECT_EQ(f.app.view.cursorPos(), 101u);
}

TEST(EnterChar, EscAfterOneDigitChangesNothing) {
    EditFixture f(4096);
    f.cursorTo(7);
    enterChar(f.app, '3');
    f.key(kCharEscape);
    EXPECT_EQ(f.app.view.pageBuffer[7], originalByte(7));
    EXPECT_EQ(f.app.shell.modeFlags & kModeSecondDigit, 0u);
    // The next digit starts a new byte.
    enterChar(f.app, '1');
    enterChar(f.app, '2');
    EXPECT_EQ(f.app.view.pageBuffer[7], 0x12);
}

TEST(EnterChar, LastShownByteScrollsByTheLockStep) {
    EditFixture f(8192);
    f.cursorTo(511);
    ASSERT_EQ(f.app.view.viewOffset + f.app.view.cursorOffset, 511u);
    const FilePos firstShown = firstShownPos(f.app);
    enterChar(f.app, '4');
    enterChar(f.app, '2');
    EXPECT_EQ(firstShownPos(f.app), firstShown + f.app.nav.scrollStep);
    EXPECT_EQ(f.app.view.cursorPos(), 512u);
    EXPECT_EQ(f.shown(511), 0x42);
    // At the file's last byte the cursor stays.
    f.typeHex(8191, 0x99);
    EXPECT_EQ(f.app.view.cursorPos(), 8191u);
    EXPECT_EQ(f.shown(8191), 0x99);
}

TEST(EnterChar, EscQuestionNoStoresYesWithDontAskDiscards) {
    EditFixture f(4096);
    f.app.settings.messageSwitches = kMsgEscDiscard;
    f.typeHex(20, 0x00);
    f.platform.questionAnswers = {0};
    f.key(kCharEscape);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Discard Changes ?");
    EXPECT_EQ(f.platform.questions[0].second, "Discard actual Changes ?");
    EXPECT_EQ(f.recordCount(), 1u);
    EXPECT_EQ(f.shown(20), 0x00);

    f.typeHex(21, 0x01);
    f.platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    f.key(kCharEscape);
    EXPECT_EQ(f.shown(21), originalByte(21));
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgEscDiscard, 0u);
    EXPECT_EQ(f.recordCount(), 1u);
}

TEST(EnterChar, BackspaceRestoresFromMainFileOrRecord) {
    EditFixture f(4096, 1);
    // No record: the Main File's byte comes back and its mark goes.
    f.typeHex(30, 0xEE);
    f.cursorTo(30);
    f.key(kCharBackspace);
    EXPECT_EQ(f.app.view.pageBuffer[30], originalByte(30));
    EXPECT_FALSE(f.app.view.changed(30));
    EXPECT_EQ(f.app.view.cursorPos(), 29u);

    // With a record: the stored byte comes back, not the Main File's.
    f.typeHex(40, 0x11);
    f.key(kCharEnter);
    ASSERT_EQ(f.recordCount(), 1u);
    f.typeHex(40, 0x22);
    f.cursorTo(40);
    f.key(kCharBackspace);
    EXPECT_EQ(f.app.view.pageBuffer[40], 0x11);
    EXPECT_TRUE(f.app.view.changed(40));

    // After the record was undone the page shows the Main File; its data
    // block still holds 0x11, which must not come back.
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(f.shown(40), originalByte(40));
    f.typeHex(40, 0x33);
    f.cursorTo(40);
    f.key(kCharBackspace);
    EXPECT_EQ(f.app.view.pageBuffer[40], originalByte(40));
}

TEST(EnterChar, EnterTakesTheReviewedVersionOver) {
    EditFixture f(4096, 3);
    for (std::uint8_t v : {1, 2}) {
        f.typeHex(10, v);
        f.key(kCharEnter);
    }
    f.cursorTo(10);
    reviewOlderVersion(f.app);
    ASSERT_NE(f.app.records.reviewState, 0u);
    EXPECT_EQ(f.app.view.pageBuffer[10], 1);

    // Any other character ends the review first and is then typed.
    f.app.view.cursorInChars = true;
    f.key('z');
    EXPECT_EQ(f.app.records.reviewState, 0u);
    EXPECT_EQ(f.app.view.pageBuffer[10], 'z');
    f.key(kCharEscape);
    EXPECT_EQ(f.shown(10), 2);

    f.cursorTo(10);
    reviewOlderVersion(f.app);
    f.key(kCharEnter);
    EXPECT_EQ(f.app.records.reviewState, 0u);
    EXPECT_EQ(f.shown(10), 1);
    EXPECT_EQ(f.recordCount(), 3u);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    // One undo brings the content from before the take-over back.
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(f.shown(10), 2);
    EXPECT_EQ(f.mainBytes(), f.original);
}

}  // namespace
}  // namespace quorby::testing
