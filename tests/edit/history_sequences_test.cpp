// Sessions where undo, redo, writing, discarding and restoring met: each
// reads as the user's keys and commands, and checks what the view and the
// Main File show after the steps that went wrong before.
#include <string>

#include "core/command_codes.h"
#include "tests/edit/edit_fixture.h"

namespace quorby::testing {
namespace {

struct SequenceSession : EditFixture {
    explicit SequenceSession(std::uint32_t options, bool direct = false) : EditFixture(4096, options, direct) {
        app.settings.messageSwitches &= ~std::uint32_t(kMsgSavePage);
        platform.questionDefault = kAnswerYes;   // "Write File?" and the re-open are answered Yes
    }
    // Types `text` in the character column from `pos` and presses Enter.
    void typeText(FilePos pos, const std::string& text) {
        cursorTo(pos, true);
        type(text);
        key(kCharEnter);
    }
    std::string shownText(FilePos pos, std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += char(shown(pos + i));
        return s;
    }
    std::string fileText(FilePos pos, std::size_t n) {
        const std::vector<std::uint8_t> b = mainBytes();
        return std::string(b.begin() + std::ptrdiff_t(pos), b.begin() + std::ptrdiff_t(pos + n));
    }
    std::string originalText(FilePos pos, std::size_t n) {
        return std::string(original.begin() + std::ptrdiff_t(pos), original.begin() + std::ptrdiff_t(pos + n));
    }
    void expectJournalHolds() {
        std::string dump;
        EXPECT_EQ(dumpStatus(&dump), kDumpAllHold) << dump;
    }
};

// H2 (undo brings back view and Main File), H3 and H4 (writes as exchanges,
// with the unwritten rest on top) and H6 (Restore Original File as one entry).
TEST(HistorySequences, UndoRedoWriteDiscardAndRestoreCompose) {
    {
        SCOPED_TRACE("1: after Save File and Undo All, Ctrl+Y then Ctrl+Z and Undo All take the change back");
        SequenceSession s(1);
        const std::string before = s.originalText(0, 5);
        s.typeText(0, "HELLO");
        s.press(kCmdSaveFile);
        s.press(kCmdUndoAll);
        EXPECT_EQ(s.shownText(0, 5), before);
        EXPECT_EQ(s.fileText(0, 5), before);
        s.press(kCmdRedoKey);
        EXPECT_EQ(s.shownText(0, 5), "HELLO");
        EXPECT_EQ(s.fileText(0, 5), before);
        s.press(kCmdUndoKey);
        EXPECT_EQ(s.shownText(0, 5), before);
        s.press(kCmdRedoKey);
        s.press(kCmdUndoAll);
        EXPECT_EQ(s.shownText(0, 5), before);
        s.expectJournalHolds();
    }
    {
        SCOPED_TRACE("2: a change redone after everything was written and undone is written by Save File");
        SequenceSession s(1);
        s.typeText(0, "HELLO");
        s.press(kCmdSaveFile);
        s.press(kCmdUndoAll);
        s.press(kCmdSaveFile);   // nothing differs from the Main File
        s.press(kCmdRedoKey);
        EXPECT_NE(s.header().jnlFlags & kJnlUnwrittenChanges, 0u) << "the exit would not ask";
        s.press(kCmdSaveFile);
        EXPECT_EQ(s.fileText(0, 5), "HELLO");
    }
    {
        SCOPED_TRACE("3 and 11: one Ctrl+Z takes the whole write back, Redo writes it again");
        SequenceSession s(1);
        s.typeText(0, "AAAA");
        s.typeText(1024, "BBBB");
        s.typeText(2048, "CCCC");
        s.press(kCmdSaveFile);
        s.press(kCmdUndoKey);   // the write of all three pages; the view keeps them
        EXPECT_EQ(s.fileText(0, 4), s.originalText(0, 4));
        EXPECT_EQ(s.fileText(1024, 4), s.originalText(1024, 4));
        EXPECT_EQ(s.fileText(2048, 4), s.originalText(2048, 4));
        EXPECT_EQ(s.shownText(2048, 4), "CCCC");
        s.press(kCmdUndoKey);   // the last typed change
        EXPECT_EQ(s.shownText(2048, 4), s.originalText(2048, 4));
        EXPECT_EQ(s.shownText(1024, 4), "BBBB");
        s.press(kCmdRedoKey);
        s.press(kCmdRedoKey);
        s.press(kCmdRedoKey);
        s.press(kCmdRedoAll);
        EXPECT_EQ(s.fileText(0, 4), "AAAA");
        EXPECT_EQ(s.fileText(2048, 4), "CCCC");
        s.expectJournalHolds();
    }
    {
        SCOPED_TRACE("4: saves, undos and redos on two pages keep the journal whole and the view true");
        SequenceSession s(3);
        s.typeText(0x400, "ab");
        s.typeText(0x10, "cd");
        s.press(kCmdSaveFile);
        s.typeText(0x402, "ef");
        s.press(kCmdSaveFile);
        for (int i = 0; i < 3; ++i) s.press(kCmdUndoKey);
        for (int i = 0; i < 2; ++i) s.press(kCmdRedoKey);
        s.typeText(0x404, "gh");
        s.typeText(0x12, "ij");
        for (int i = 0; i < 5; ++i) s.press(kCmdUndoKey);
        for (int i = 0; i < 5; ++i) s.press(kCmdRedoKey);
        s.expectJournalHolds();
        EXPECT_EQ(s.shownText(0x400, 6), "abefgh");
        s.press(kCmdSaveFile);
        EXPECT_EQ(s.fileText(0x400, 6), "abefgh");
        EXPECT_EQ(s.fileText(0x10, 4), "cdij");
    }
    {
        SCOPED_TRACE("5: after Restore Original File, undoing a later write gives the restored content back");
        SequenceSession s(1);
        const std::string before = s.originalText(0, 1);
        s.typeText(0, "A");
        s.press(kCmdSaveFile);
        s.press(kCmdRestoreOriginal);
        EXPECT_EQ(s.fileText(0, 1), before);
        s.typeText(0, "B");
        s.press(kCmdSaveFile);
        s.press(kCmdUndoKey);
        EXPECT_EQ(s.fileText(0, 1), before);
        s.press(kCmdUndoKey);
        s.press(kCmdUndoKey);   // the restore
        EXPECT_EQ(s.fileText(0, 1), "A");
        s.press(kCmdUndoAll);
        EXPECT_EQ(s.fileText(0, 1), before);
    }
    for (std::uint32_t options : {1u, 3u}) {
        SCOPED_TRACE("6: two direct writes of one page, Undo All and Restore: the original is back, options " +
                     std::to_string(options));
        SequenceSession s(options, true);
        const std::string before = s.originalText(0, 2);
        s.typeText(0, "X");
        s.typeText(1, "Y");
        EXPECT_EQ(s.fileText(0, 2), "XY");
        s.press(kCmdUndoAll);
        EXPECT_EQ(s.fileText(0, 2), before);
        s.press(kCmdRestoreOriginal);
        EXPECT_EQ(s.fileText(0, 2), before);
        s.press(kCmdRedoAll);
        EXPECT_EQ(s.fileText(0, 2), "XY");
        s.press(kCmdRestoreOriginal);
        EXPECT_EQ(s.fileText(0, 2), before);
    }
    {
        SCOPED_TRACE("7: Undo and Redo of Save selected Data write only the bytes it wrote");
        SequenceSession s(1);
        const std::string before = s.originalText(0, 8);
        s.typeText(0, "HELLOWOR");
        s.app.view.selectionStart = 0;
        s.app.view.selectionEnd = 5;
        s.app.view.selectionActive = kSelectionExists;
        s.press(kCmdSaveSelection);
        EXPECT_EQ(s.fileText(0, 8), "HELLO" + before.substr(5));
        s.press(kCmdUndoKey);
        EXPECT_EQ(s.fileText(0, 8), before);
        EXPECT_EQ(s.shownText(0, 8), "HELLOWOR");
        s.press(kCmdRedoKey);
        EXPECT_EQ(s.fileText(0, 8), "HELLO" + before.substr(5));
        EXPECT_EQ(s.shownText(0, 8), "HELLOWOR");
    }
    {
        SCOPED_TRACE("8: a first hex digit is dropped when another page is shown");
        SequenceSession s(1);
        s.cursorTo(0);
        s.type("1");
        s.cursorTo(600);
        s.type("AB");
        EXPECT_EQ(s.shown(600), 0xAB);
    }
    {
        SCOPED_TRACE("9: undoing a write after a restart with the Main File read-only asks to re-open it");
        SequenceSession s(1);
        const std::string before = s.originalText(0, 2);
        s.typeText(0, "QQ");
        s.press(kCmdSaveFile);
        s.quitAndReopen();
        s.reopenMain(OpenMode::ReadOnly);
        s.app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
        s.app.settings.messageSwitches |= kMsgWriteProtect;
        const FilePos undoBefore = s.header().undo;
        s.platform.questionAnswers.push_back(0);   // No: nothing may change
        s.press(kCmdUndoKey);
        EXPECT_EQ(s.header().undo, undoBefore);
        EXPECT_EQ(s.fileText(0, 2), "QQ");
        s.press(kCmdUndoKey);   // Yes
        EXPECT_EQ(s.fileText(0, 2), before);
        s.press(kCmdRedoAll);
        EXPECT_EQ(s.fileText(0, 2), "QQ");
    }
    {
        SCOPED_TRACE("10: Restore Original File with an unwritten change elsewhere: Ctrl+Z brings it back");
        SequenceSession s(3);
        s.typeText(0, "W");
        s.press(kCmdSaveFile);
        s.typeText(0x410, "U");
        s.press(kCmdRestoreOriginal);
        EXPECT_EQ(s.shownText(0x410, 1), s.originalText(0x410, 1));
        s.press(kCmdUndoKey);
        EXPECT_EQ(s.shownText(0x410, 1), "U");
        EXPECT_EQ(s.fileText(0, 1), "W");
        s.press(kCmdRedoKey);
        EXPECT_EQ(s.shownText(0x410, 1), s.originalText(0x410, 1));
        s.expectJournalHolds();
    }
}

}  // namespace
}  // namespace quorby::testing
