#include <gtest/gtest.h>

#include "navigate/auto_scroll.h"
#include "navigate/goto_dialog.h"
#include "navigate/mouse.h"
#include "navigate/selection.h"
#include "resources/menus.h"
#include "tests/navigate/nav_fixture.h"

namespace quorby::test {
namespace {

TEST(GotoDialog, NumbersInDisplayFormAndParsing) {
    EXPECT_EQ(formatGotoNumber(0, true), "0");
    EXPECT_EQ(formatGotoNumber(0x12345678, true), "1234 5678");
    EXPECT_EQ(formatGotoNumber(0x1ABCDE, true), "1A BCDE");
    EXPECT_EQ(formatGotoNumber(1234567, false), "1 234 567");
    EXPECT_EQ(formatGotoNumber(-1000, false), "- 1 000");
    EXPECT_EQ(formatGotoNumber(INT64_MIN + 1, false), "- 9 223 372 036 854 775 807");

    std::int64_t v = 0;
    EXPECT_EQ(parseGotoNumber(" 00 1a bC ", true, &v), 0);
    EXPECT_EQ(v, 0x1ABC);
    EXPECT_EQ(parseGotoNumber("- 1 000", false, &v), 0);
    EXPECT_EQ(v, -1000);
    EXPECT_EQ(parseGotoNumber("", false, &v), 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(parseGotoNumber("FFFF FFFF FFFF FFFF FF", true, &v), 0);  // saturates
    EXPECT_EQ(v, INT64_MAX);
    EXPECT_EQ(parseGotoNumber("12x4", true, &v), 1);
    EXPECT_EQ(parseGotoNumber("1A", false, &v), 1);
}

TEST(GotoDialog, LinkedFieldsStepByTheDistanceAndPrevNextSwap) {
    NavApp t(1 << 20);
    t.cursorTo(0x100);
    auto& answers = t.platform.dialogAnswers;
    // A decimal target: all four fields follow it.
    answers.push_back([](DialogDescription& d) {
        d.find(kGotoDecTarget)->value = "4 096";
        return kGotoOk;
    });
    // The dialog comes back refreshed: step by a distance of 0x200 three times.
    answers.push_back([](DialogDescription& d) {
        EXPECT_EQ(d.find(kGotoHexTarget)->value, "1000");
        EXPECT_EQ(d.find(kGotoDecTarget)->value, "4 096");
        EXPECT_EQ(d.find(kGotoHexDistance)->value, "0");
        EXPECT_TRUE(d.find(kGotoPrevious)->enabled);
        EXPECT_FALSE(d.find(kGotoNext)->enabled);
        d.find(kGotoHexDistance)->value = "200";
        return kGotoOk;
    });
    answers.push_back([](DialogDescription&) { return kGotoOk; });
    answers.push_back([](DialogDescription& d) {
        EXPECT_EQ(d.find(kGotoDecTarget)->value, "5 120");
        EXPECT_EQ(d.find(kGotoDecDistance)->value, "512");
        return kGotoOk;
    });
    // Back to the page shown before the last OK, and forward again.
    answers.push_back([](DialogDescription&) { return kGotoPrevious; });
    answers.push_back([](DialogDescription& d) {
        EXPECT_FALSE(d.find(kGotoPrevious)->enabled);
        EXPECT_TRUE(d.find(kGotoNext)->enabled);
        return kGotoNext;
    });
    // A negative distance past the file's begin stops at byte 0; a field
    // that is no number is refused with a message and nothing moves.
    answers.push_back([](DialogDescription& d) {
        d.find(kGotoDecDistance)->value = "- 999 999";
        return kGotoOk;
    });
    answers.push_back([](DialogDescription& d) {
        d.find(kGotoHexTarget)->value = "xyz";
        return kGotoOk;
    });
    FilePos cursorAtEnd = 0;
    answers.push_back([&](DialogDescription&) {
        cursorAtEnd = t.cursor();
        return kGotoCancel;
    });
    gotoCommand(t.app);

    ASSERT_EQ(t.platform.dialogsShown.size(), 9u);
    EXPECT_EQ(t.platform.dialogsShown[0].find(kGotoHexDistance)->value, "- 100");  // target 0, cursor 0x100
    EXPECT_EQ(t.platform.dialogsShown[5].find(kGotoHexTarget)->value, "1400");   // prev: the page before
    EXPECT_EQ(t.platform.dialogsShown[6].find(kGotoHexTarget)->value, "1600");   // next: back again
    EXPECT_EQ(t.platform.boxes.size(), 1u);
    EXPECT_EQ(cursorAtEnd, 0u);
    EXPECT_EQ(t.app.nav.gotoTarget, 0u);
}

TEST(Mouse, ClickDragLeftwardsThenShiftLeftAndPopups) {
    NavApp t(4096);
    auto byteX = [&](int i) { return t.px(21 + 1 + 3 * i + (i >= 8 ? 1 : 0)); };
    // A click without movement puts the cursor there (character column too).
    mouseLeftDown(t.app, t.px(72 + 3), t.py(2));
    mouseLeftUp(t.app, t.px(72 + 3), t.py(2));
    EXPECT_EQ(t.cursor(), 19u);
    EXPECT_TRUE(t.app.view.cursorInChars);

    // Drag from byte 10 to byte 5: bytes 5 .. 10, the start moving.
    mouseLeftDown(t.app, byteX(10), t.py(1));
    EXPECT_EQ(t.cursor(), 19u) << "pressing alone moves no cursor";
    mouseDrag(t.app, byteX(7), t.py(1));
    mouseDrag(t.app, byteX(5), t.py(1));
    mouseLeftUp(t.app, byteX(5), t.py(1));
    EXPECT_EQ(t.app.view.selectionStart, 5u);
    EXPECT_EQ(t.app.view.selectionEnd, 11u);
    EXPECT_EQ(t.app.view.selectionActive, 3u | kSelectionItemsEnabled);
    shiftLeftCommand(t.app);
    EXPECT_EQ(t.app.view.selectionStart, 4u);
    EXPECT_EQ(t.app.view.selectionEnd, 11u);
    // A drag to the right moves the end.
    mouseLeftDown(t.app, byteX(2), t.py(1));
    mouseDrag(t.app, byteX(3), t.py(2));
    EXPECT_EQ(t.app.view.selectionStart, 2u);
    EXPECT_EQ(t.app.view.selectionEnd, 20u);
    EXPECT_EQ(t.app.view.selectionActive, 7u | kSelectionItemsEnabled);

    // Right click: on a byte the cursor goes there and the Edit menu (or the
    // Specials menu by the option) opens; the address column gives the Goto
    // menu; the blank between the two groups nothing.
    mouseRightDown(t.app, byteX(9), t.py(4));
    EXPECT_EQ(t.cursor(), 3u * 16 + 9);
    t.app.settings.rightClickMenu = 1;
    mouseRightDown(t.app, byteX(1), t.py(1));
    mouseRightDown(t.app, t.px(5), t.py(7));
    mouseRightDown(t.app, t.px(46), t.py(7));
    EXPECT_EQ(t.platform.popups, (std::vector<int>{kMenuEdit, kMenuSpecials, kMenuGoto}));

    // Double click with action 4 shows the notice; with action 0 on a byte it
    // is always the Edit menu; the flag blocks the following release.
    t.app.settings.doubleClickAction = 4;
    mouseDoubleClick(t.app, byteX(1), t.py(1));
    ASSERT_EQ(t.platform.boxes.size(), 1u);
    EXPECT_EQ(t.platform.boxes[0].text, "later: highlight AVI-Chunk");
    EXPECT_EQ(t.platform.boxes[0].buttons, MsgButtons::OkCancel);
    t.app.settings.doubleClickAction = 0;
    EXPECT_EQ(mouseDoubleClick(t.app, byteX(1), t.py(1)).command, kCmdNone);
    EXPECT_EQ(t.platform.popups.back(), kMenuEdit);
    const FilePos before = t.cursor();
    mouseLeftUp(t.app, byteX(6), t.py(6));
    EXPECT_EQ(t.cursor(), before);

    // Actions 1 and 2 name the command for the caller to run: Show Values,
    // or Disassemble with the cursor already on the byte clicked.
    t.app.settings.doubleClickAction = 1;
    EXPECT_EQ(mouseDoubleClick(t.app, byteX(1), t.py(1)).command, kCmdShowValues);
    t.app.settings.doubleClickAction = 2;
    EXPECT_EQ(mouseDoubleClick(t.app, byteX(7), t.py(2)).command, kCmdDisassemble);
    EXPECT_EQ(t.cursor(), 1u * 16 + 7);
    EXPECT_EQ(mouseDoubleClick(t.app, t.px(46), t.py(7)).command, kCmdNone);  // the blank between the groups

    // While the Offset-Adjustment dialog is open a double click on a byte
    // picks it as a point, whatever the action; the cursor stays. Off a byte
    // it picks nothing and does nothing else either.
    const std::size_t popupsBefore = t.platform.popups.size();
    t.app.settings.doubleClickAction = 0;
    t.app.compare.dialogOpen = true;
    DoubleClickResult picked = mouseDoubleClick(t.app, byteX(9), t.py(3));
    EXPECT_TRUE(picked.pointPicked);
    EXPECT_EQ(picked.position, t.first() + 2 * 16 + 9);
    EXPECT_EQ(picked.command, kCmdNone);
    EXPECT_EQ(t.cursor(), 1u * 16 + 7);
    picked = mouseDoubleClick(t.app, t.px(5), t.py(7));  // the address column
    EXPECT_FALSE(picked.pointPicked);
    EXPECT_EQ(picked.command, kCmdNone);
    EXPECT_EQ(t.platform.popups.size(), popupsBefore);
    t.app.compare.dialogOpen = false;
    EXPECT_FALSE(mouseDoubleClick(t.app, byteX(9), t.py(3)).pointPicked);
    EXPECT_EQ(t.platform.popups.size(), popupsBefore + 1);  // action 0 again: the Edit menu
}

TEST(AutoScroll, RunsOnlyWhenAllowedAndStopsAtTheEndOrByKey) {
    NavApp t(20 * 512);
    t.app.settings.scrolling = 0;
    autoScrollDownCommand(t.app);
    EXPECT_EQ(t.first(), 0u);
    EXPECT_EQ(t.platform.polls, 0);

    t.app.settings.scrolling = 2;
    std::string modeWhileRunning;
    t.platform.onPoll = [&] { modeWhileRunning = t.platform.row(0).substr(68, 20); };
    autoScrollDownCommand(t.app);
    EXPECT_EQ(t.first(), 19u * 512);
    EXPECT_NE(modeWhileRunning.find("Auto Scroll"), std::string::npos);
    EXPECT_EQ(t.platform.row(0).find("Auto Scroll"), std::string::npos);

    // ESC on the fourth poll stops after three pages.
    t.platform.polls = 0;
    t.platform.escAfterPolls = 4;
    t.platform.onPoll = nullptr;
    autoScrollUpCommand(t.app);
    EXPECT_EQ(t.first(), 16u * 512);

    // A typed blank stops it too and is taken by auto scroll.
    t.platform.escAfterPolls = -1;
    t.platform.polls = 0;
    t.platform.onPoll = [&] {
        if (t.platform.polls == 2) {
            EXPECT_TRUE(autoScrollTakesKey(t.app, ' '));
        }
    };
    autoScrollUpCommand(t.app);
    EXPECT_EQ(t.first(), 15u * 512);
    EXPECT_FALSE(autoScrollTakesKey(t.app, ' ')) << "no auto scroll runs";
}

}  // namespace
}  // namespace quorby::test
