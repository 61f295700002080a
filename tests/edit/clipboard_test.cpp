// Copy and Paste through the clipboard: its three forms, the size limits, and
// pastes that cross halves, pages and the end of the file as one entry of
// the history.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/clipboard_copy.h"
#include "edit/clipboard_formats.h"
#include "edit/clipboard_paste.h"
#include "edit/paste_bytes.h"
#include "edit/undo_commands.h"

namespace quorby::testing {
namespace {

void select(EditFixture& f, FilePos from, FilePos to) {
    f.app.view.selectionStart = from;
    f.app.view.selectionEnd = to;
    f.app.view.selectionActive = kSelectionExists;
}

std::string pattern(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(char(0xA0 + (i * 7) % 61));
    return s;
}

TEST(Copy, PutsTheThreeFormsOfTheCurrentContent) {
    EditFixture f(4 * 512);
    f.typeHex(100, 'A');   // typed, not yet stored
    f.typeHex(101, 0);
    f.typeHex(102, 'B');
    select(f, 100, 103);
    EXPECT_EQ(copySelection(f.app), 0);
    EXPECT_EQ(f.platform.clipboard[kMimeRawData], std::string("A\0B\0", 4));
    EXPECT_EQ(f.platform.clipboard[kMimeText], std::string("A\0", 2));
    EXPECT_EQ(f.platform.clipboard[kMimeDataSize], std::string("\3\0\0\0\0\0\0\0", 8));

    // Across pages, with a stored change on the second page, from any view.
    f.typeHex(1030, 0x5A);
    f.key(kCharEnter);
    f.cursorTo(1800);
    const FilePos pagePos = f.app.view.pagePos;
    const std::uint32_t cursor = f.app.view.cursorOffset;
    select(f, 500, 1500);
    EXPECT_EQ(copySelection(f.app), 0);
    std::string expected(f.original.begin() + 500, f.original.begin() + 1500);
    expected[1030 - 500] = char(0x5A);
    EXPECT_EQ(f.platform.clipboard[kMimeRawData], expected + std::string(1, '\0'));
    EXPECT_EQ(f.platform.clipboard[kMimeDataSize].substr(0, 4), std::string("\xE8\x03\0\0", 4));
    EXPECT_EQ(f.app.view.pagePos, pagePos);
    EXPECT_EQ(f.app.view.cursorOffset, cursor);

    // A selection reaching past the end copies what the file holds.
    select(f, 2000, 5000);
    EXPECT_EQ(copySelection(f.app), 0);
    EXPECT_EQ(f.platform.clipboard[kMimeRawData].size(), 49u);
}

TEST(Copy, RefusesAboveTheLimitAndAsksAboveTheQuestionSize) {
    EditFixture f(kClipboardLimit + 1);
    f.app.settings.messageSwitches |= kMsgTooBigForClipboard;
    select(f, 0, kClipboardLimit + 1);
    EXPECT_EQ(copySelection(f.app), 1);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, "Too much Amount of Data for the Clipboard !");
    EXPECT_EQ(f.platform.boxes[0].text, "Too much Amount of Data !\n\nYou may use a different File for Storage !");
    EXPECT_TRUE(f.platform.clipboard.empty());

    select(f, 1, kClipboardQuestionSize + 2);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(copySelection(f.app), 1);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Big Amount of Data !");
    EXPECT_EQ(f.platform.questions[0].second, "Really big Amount of Data !\nUse the Clipboard anyway ?");
    EXPECT_TRUE(f.platform.clipboard.empty());

    // Exactly the limit goes, after Yes with "Don't ask again !".
    select(f, 1, kClipboardLimit + 1);
    f.platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    EXPECT_EQ(copySelection(f.app), 0);
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgTooBigForClipboard, 0u);
    const std::string& raw = f.platform.clipboard[kMimeRawData];
    ASSERT_EQ(raw.size(), kClipboardLimit + 1);
    EXPECT_EQ(std::uint8_t(raw[0]), originalByte(1));
    EXPECT_EQ(std::uint8_t(raw[kClipboardLimit - 1]), originalByte(kClipboardLimit));
    EXPECT_EQ(f.platform.clipboard[kMimeDataSize].substr(0, 4), std::string("\0\0\0\4", 4));
}

struct PasteCase {
    std::uint32_t undoOptions;
    bool direct;
};

// Pasting 1500 bytes from byte 500 of the file touches four halves of two
// pairs; one Undo takes all of it back and one Redo brings it back.
TEST(Paste, CrossesHalvesAndPagesAsOneEntryOfTheHistory) {
    for (PasteCase c : {PasteCase{3, false}, PasteCase{1, false}, PasteCase{3, true}, PasteCase{1, true}}) {
        SCOPED_TRACE(std::to_string(c.undoOptions) + (c.direct ? " direct" : " journal"));
        EditFixture f(8 * 512, c.undoOptions, c.direct);
        f.typeHex(3000, 0x11);   // an earlier entry the undo must leave alone
        f.key(kCharEnter);
        const std::string bytes = pattern(1500);
        putBytesOnClipboard(f.platform, std::string(bytes));
        f.cursorTo(500);
        EXPECT_EQ(pasteClipboard(f.app), 0);
        f.endCommand();
        EXPECT_EQ(f.app.view.cursorPos(), 500u);
        std::vector<std::uint8_t> expected = f.original;
        expected[3000] = 0x11;
        std::vector<std::uint8_t> pasted = expected;
        for (std::size_t i = 0; i < bytes.size(); ++i) pasted[500 + i] = std::uint8_t(bytes[i]);
        for (FilePos p : {499u, 500u, 511u, 512u, 1023u, 1024u, 1999u, 2000u, 3000u}) EXPECT_EQ(f.shown(p), pasted[p]) << p;
        if (c.direct) {
            EXPECT_EQ(f.mainBytes(), pasted);
        }

        f.run(undoLastCommand);
        for (FilePos p = 0; p < expected.size(); ++p) ASSERT_EQ(f.shown(p), expected[p]) << p;
        if (c.direct) {
            EXPECT_EQ(f.mainBytes(), expected);
        }
        f.run(redoLastCommand);
        for (FilePos p = 0; p < pasted.size(); ++p) ASSERT_EQ(f.shown(p), pasted[p]) << p;
        if (c.direct) {
            EXPECT_EQ(f.mainBytes(), pasted);
        }
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(Paste, PastTheEndAsksToEnlargeByWhatIsMissing) {
    EditFixture f(4096);
    f.app.settings.messageSwitches |= kMsgPasteEnlarge | kMsgEnlargeDecrease;
    putBytesOnClipboard(f.platform, pattern(10));
    f.cursorTo(4092);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(pasteClipboard(f.app), 1);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Too much Amount of Data !");
    EXPECT_EQ(f.platform.questions[0].second,
              "For this Action the file is for\n6  Bytes too small !\nSHALL THE FILE BE ENLARGED ?");
    EXPECT_EQ(f.mainBytes().size(), 4096u);
    EXPECT_EQ(f.recordCount(), 0u);

    // Yes, but the filesystem has no room: the free-space message, nothing
    // pasted (in direct access without undo, which costs the journal nothing).
    f.io.space = {0, 0};
    f.app.settings.undoOptions = 0;
    f.app.shell.accessFlags |= kAccessDirect;
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(pasteClipboard(f.app), 1);
    EXPECT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.mainBytes().size(), 4096u);
    EXPECT_EQ(f.recordCount(), 0u);
    f.app.settings.undoOptions = 3;
    f.app.shell.accessFlags &= ~std::uint32_t(kAccessDirect);

    // Yes with room: only this question; the enlargement's own is off for the paste.
    f.io.space = {FilePos{1} << 40, FilePos{1} << 41};
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(pasteClipboard(f.app), 0);
    EXPECT_EQ(f.platform.questions.size(), 3u);
    EXPECT_EQ(f.app.main.fileSize, 4102u);
    EXPECT_EQ(f.mainBytes().size(), 4102u);
    const std::string bytes = pattern(10);
    for (FilePos i = 0; i < 10; ++i) EXPECT_EQ(f.shown(4092 + i), std::uint8_t(bytes[i]));
    EXPECT_NE(f.app.settings.messageSwitches & kMsgEnlargeDecrease, 0u);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(Paste, TextUpToItsFirstZeroAndNothingFromAnEmptyClipboard) {
    EditFixture f(2048);
    f.cursorTo(10);
    EXPECT_EQ(pasteClipboard(f.app), 1);
    EXPECT_EQ(f.recordCount(), 0u);

    f.platform.setClipboard(kMimeText, std::string("Hi\0there", 8));
    EXPECT_EQ(pasteClipboard(f.app), 0);
    EXPECT_EQ(f.shown(10), 'H');
    EXPECT_EQ(f.shown(11), 'i');
    EXPECT_EQ(f.shown(12), originalByte(12));
    EXPECT_TRUE(f.platform.texts.empty());
}

TEST(Paste, EscBetweenPagesKeepsWhatWasPasted) {
    EditFixture f(64 * 512);
    putBytesOnClipboard(f.platform, pattern(40 * 512));
    f.cursorTo(0);
    f.platform.escAtPoll = {5};
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(pasteClipboard(f.app), 1);
    f.endCommand();
    const std::string bytes = pattern(40 * 512);
    // Five pairs were pasted before the ESC; the sixth was not.
    for (FilePos p : {0u, 5119u}) EXPECT_EQ(f.shown(p), std::uint8_t(bytes[p])) << p;
    EXPECT_EQ(f.shown(5120), originalByte(5120));
    f.run(undoLastCommand);
    EXPECT_EQ(f.shown(0), originalByte(0));
    EXPECT_EQ(f.shown(5119), originalByte(5119));
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
