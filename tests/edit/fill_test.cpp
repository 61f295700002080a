// The fill commands and the "Choose Char" dialog.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/choose_char.h"
#include "edit/fill_commands.h"
#include "edit/undo_commands.h"

namespace quorby::testing {
namespace {

// The dialog answered by typing `text` into `field` and pressing `button`.
std::function<int(DialogDescription&)> chooseAnswer(int field, const std::string& text, int button) {
    return [=](DialogDescription& d) {
        d.find(field)->value = text;
        return button;
    };
}

TEST(ChooseChar, FieldsReadTheirOwnNotation) {
    EXPECT_EQ(chooseCharValue(kChooseCharDecimal, "300"), 255);
    EXPECT_EQ(chooseCharValue(kChooseCharDecimal, "65"), 65);
    EXPECT_EQ(chooseCharValue(kChooseCharDecimal, "0065"), 0);   // four digits
    EXPECT_EQ(chooseCharValue(kChooseCharDecimal, "6a"), 0);
    EXPECT_EQ(chooseCharValue(kChooseCharHex, "A"), 10);
    EXPECT_EQ(chooseCharValue(kChooseCharHex, "fF"), 255);
    EXPECT_EQ(chooseCharValue(kChooseCharHex, "100"), 0);
    EXPECT_EQ(chooseCharValue(kChooseCharHex, "G"), 0);
    EXPECT_EQ(chooseCharValue(kChooseCharChar, "AB"), 65);
    EXPECT_EQ(chooseCharValue(kChooseCharChar, ""), 0);
}

TEST(ChooseChar, OneFieldSetsTheOthersAndCancelKeepsTheValue) {
    EditFixture f(1024);
    f.app.edit.fillValue = 7;
    f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharHex, "7f", kChooseCharOk));
    EXPECT_EQ(chooseChar(f.app), 0);
    EXPECT_EQ(f.app.edit.fillValue, 0x7F);
    ASSERT_EQ(f.platform.dialogsShown.size(), 1u);
    EXPECT_EQ(f.platform.dialogsShown[0].find(kChooseCharDecimal)->value, "7");   // opened with the last value

    // A field left before OK rewrites the other two (a dialog with live fields).
    DialogDescription shown;
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        d.find(kChooseCharChar)->value = "A";
        return kChooseCharChar;   // not a button: the platform runs the dialog again
    });
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        shown = d;
        return kChooseCharOk;
    });
    EXPECT_EQ(chooseChar(f.app), 0);
    EXPECT_EQ(f.app.edit.fillValue, 65);
    EXPECT_EQ(shown.find(kChooseCharDecimal)->value, "65");
    EXPECT_EQ(shown.find(kChooseCharHex)->value, "41");

    f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharDecimal, "9", kChooseCharCancel));
    EXPECT_EQ(chooseChar(f.app), 1);
    EXPECT_EQ(f.app.edit.fillValue, 65);
}

TEST(FillPage, AllValuesAndOneValueAreOneChangeOfTheShownBytes) {
    EditFixture f(4 * 512);
    f.cursorTo(512);
    ASSERT_EQ(f.app.view.pagePos, 512u);
    ASSERT_EQ(f.app.view.viewOffset, 0u);
    f.run(fillPageWithAllValuesCommand);
    EXPECT_EQ(f.shown(512), 0x00);
    EXPECT_EQ(f.shown(512 + 255), 0xFF);
    EXPECT_EQ(f.shown(512 + 256), 0x00);
    EXPECT_EQ(f.shown(512 + 511), 0xFF);
    EXPECT_EQ(f.shown(1024), originalByte(1024));

    // Shown from the middle of a pair: both halves, one undo.
    f.app.view.viewOffset = 256;
    f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharHex, "5A", kChooseCharOk));
    f.run(fillPageWithValueCommand);
    for (FilePos p : {768u, 1023u, 1024u, 1279u}) EXPECT_EQ(f.shown(p), 0x5A) << p;
    EXPECT_EQ(f.shown(767), 0xFF);
    EXPECT_EQ(f.shown(1280), originalByte(1280));
    f.run(undoLastCommand);
    EXPECT_EQ(f.shown(768), 0x00);
    EXPECT_EQ(f.shown(1024), originalByte(1024));

    // Cancel fills nothing.
    const std::uint64_t records = f.recordCount();
    f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharHex, "11", kChooseCharCancel));
    f.run(fillPageWithValueCommand);
    EXPECT_EQ(f.recordCount(), records);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(FillSelection, ManyPagesAsOneEntryAndEscKeepsTheFilledPart) {
    for (bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "direct" : "journal");
        EditFixture f(100 * 512, 3, direct);
        f.app.view.selectionStart = 300;
        f.app.view.selectionEnd = 90 * 512 + 7;
        f.app.view.selectionActive = kSelectionExists;
        f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharDecimal, "0", kChooseCharOk));
        f.run(fillSelectionWithValueCommand);
        for (FilePos p = 0; p < 100 * 512; ++p) {
            const bool filled = p >= 300 && p < 90 * 512 + 7;
            ASSERT_EQ(f.shown(p), filled ? 0 : originalByte(p)) << p;
        }
        f.run(undoLastCommand);
        for (FilePos p = 0; p < 100 * 512; p += 97) ASSERT_EQ(f.shown(p), originalByte(p)) << p;
        if (direct) {
            EXPECT_EQ(f.mainBytes(), f.original);
        }

        // ESC at the third poll, answered Yes: three pairs filled, the rest not.
        f.platform.escAtPoll = {f.platform.polls + 3};
        f.platform.questionAnswers = {kAnswerYes};
        f.app.edit.fillValue = 0xEE;
        EXPECT_EQ(fillSelection(f.app), 1);
        f.endCommand();
        EXPECT_EQ(f.shown(300), 0xEE);
        EXPECT_EQ(f.shown(3 * 1024 - 1), 0xEE);
        EXPECT_EQ(f.shown(3 * 1024), originalByte(3 * 1024));
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

// Undo and Redo of a direct fill with undo keep the Main File's bytes of
// the pages they write as pre-images in a few reads of neighbouring pages,
// not one read per page, and give the content back exactly.
TEST(FillSelection, UndoAndRedoOfADirectFillReadTheMainFileInRuns) {
    EditFixture f(100 * 512, kUndoEveryChange, true);
    f.app.view.selectionStart = 300;
    f.app.view.selectionEnd = 90 * 512 + 7;
    f.app.view.selectionActive = kSelectionExists;
    f.platform.dialogAnswers.push_back(chooseAnswer(kChooseCharDecimal, "0", kChooseCharOk));
    f.run(fillSelectionWithValueCommand);
    std::vector<std::uint8_t> filled = f.original;
    std::fill(filled.begin() + 300, filled.begin() + 90 * 512 + 7, 0);
    ASSERT_EQ(f.mainBytes(), filled);
    for (auto step : {undoLastCommand, redoLastCommand}) {
        f.io.resetCounts();
        f.run(step);
        // 90 pages: 4 reads; with a read per page it took 94.
        EXPECT_LE(f.io.readsOf(f.app.main.mainHandle), 8u);
        EXPECT_EQ(f.mainBytes(), step == undoLastCommand ? f.original : filled);
    }
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
