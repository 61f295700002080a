// Storing typed pages into the Journal File and, in direct access, into the
// Main File.
#include "tests/edit/edit_fixture.h"

#include "edit/undo_commands.h"
#include "journal/record_states.h"

namespace quorby::testing {
namespace {

// Types `value` at `pos` and stores it with Enter.
void change(EditFixture& f, FilePos pos, std::uint8_t value) {
    f.typeHex(pos, value);
    f.key(kCharEnter);
}

TEST(StorePage, FirstRecordLayout) {
    EditFixture f(4096 + 100);
    EXPECT_EQ(f.io.bytes(f.journalPath).size(), 1024u);
    change(f, 513, 0xAB);
    f.endCommand();
    EXPECT_EQ(f.io.bytes(f.journalPath).size(), 1664u);
    JournalRecord r = f.record(1024);
    EXPECT_EQ(r.mainAdr, 512u);
    EXPECT_EQ(r.anz, 512u);
    EXPECT_EQ(r.flag, kStateStoredVersion);
    EXPECT_EQ(r.changeMap[0], 0x02);
    EXPECT_EQ(r.data[1], 0xAB);
    EXPECT_EQ(r.data[2], originalByte(514));
    EXPECT_TRUE(isEmptyPtr(r.pJnl) && isEmptyPtr(r.nJnl) && isEmptyPtr(r.pUndo) && isEmptyPtr(r.nUndo));
    EXPECT_EQ(f.header().undo, 1024u);
    EXPECT_EQ(f.header().firstUndo, 1024u);
    EXPECT_EQ(f.header().first, 1024u);
    EXPECT_EQ(f.header().lastPtr, 1024u);
    EXPECT_EQ(f.header().jnlFlags & kJnlUnwrittenChanges, kJnlUnwrittenChanges);
    // The Main File is not touched in journal access.
    EXPECT_EQ(f.mainBytes(), f.original);

    // The short last page is stored with anz below 512.
    change(f, 4096 + 99, 0x01);
    EXPECT_EQ(f.record(1664).anz, 100u);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

// Undo options 0 and 1 overwrite the page's newest version; 2 and 3 append a
// version per store.
TEST(StorePage, StoringAgainOverwritesOrAppendsVersionsByUndoOptions) {
    for (std::uint32_t options : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(options);
        EditFixture f(4096, options);
        change(f, 10, 1);
        change(f, 11, 2);
        change(f, 12, 3);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
        if (options < 2) {
            EXPECT_EQ(f.recordCount(), 1u);
            JournalRecord r = f.record(1024);
            EXPECT_EQ(r.flag, 0x100505u);
            EXPECT_EQ(r.data[10], 1);
            EXPECT_EQ(r.data[12], 3);
            EXPECT_EQ(r.changeMap[1], 0x1C);
            EXPECT_EQ(f.header().undo, 1024u);
            continue;
        }
        ASSERT_EQ(f.recordCount(), 3u);
        JournalRecord oldest = f.record(1024), middle = f.record(1664), newest = f.record(2304);
        EXPECT_EQ(oldest.nJnl, 1664u);
        EXPECT_EQ(middle.pJnl, 1024u);
        EXPECT_EQ(middle.nJnl, 2304u);
        EXPECT_EQ(newest.pJnl, 1664u);
        EXPECT_TRUE(isEmptyPtr(newest.nJnl));
        // Only the newest version is in the address chain; the undo order
        // runs through all three.
        EXPECT_EQ(f.header().first, 2304u);
        EXPECT_EQ(f.header().lastPtr, 2304u);
        EXPECT_EQ(newest.pUndo, 1664u);
        EXPECT_EQ(middle.pUndo, 1024u);
        EXPECT_EQ(newest.data[10], 1);
        EXPECT_EQ(newest.data[12], 3);
        EXPECT_EQ(middle.data[12], originalByte(12));
    }
}

TEST(StorePage, WithoutJournalFileTheUserIsTold) {
    EditFixture f(4096);
    f.files->close(f.app.journal.handle);
    f.app.journal.handle = kNoFile;
    f.typeHex(10, 0x10);
    EXPECT_EQ(storePage(f.app), 1);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, "No Journal-File !");
    EXPECT_TRUE(f.app.edit.pageRefused);
    EXPECT_FALSE(f.app.view.halfDirty[0]);
    EXPECT_EQ(f.mainBytes(), f.original);
}

// Direct access: the Main File is written at once; with undo the record
// keeps the bytes it overwrote (undo and redo of it: EditProperty.DirectAccess*).
TEST(StorePage, DirectAccessWritesTheMainFileAndKeepsTheEarlierBytesForUndo) {
    for (std::uint32_t options : {0u, 1u}) {
        SCOPED_TRACE(options);
        EditFixture f(4096, options, true);
        change(f, 100, 0x42);
        EXPECT_EQ(f.mainBytes()[100], 0x42);
        EXPECT_EQ(f.shown(100), 0x42);
        EXPECT_EQ(f.recordCount(), options);
        if (options == 0) continue;
        JournalRecord r = f.record(1024);
        EXPECT_EQ(r.data[100], originalByte(100));
        EXPECT_EQ(r.flag & kFlagShowMainFile, kFlagShowMainFile);
        // A second direct write of the page saves the bytes it overwrites.
        change(f, 101, 0x43);
        undoLastCommand(f.app);
        f.endCommand();
        EXPECT_EQ(f.mainBytes()[100], 0x42);
        EXPECT_EQ(f.mainBytes()[101], originalByte(101));
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(StorePage, DirectAccessQuestions) {
    EditFixture f(4096, 1, true);
    f.app.settings.messageSwitches = kMsgSavePage | kMsgWriteProtect;

    // "Save Page ?" declined: the typed changes are dropped.
    f.typeHex(10, 0x10);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(storePage(f.app), 1);
    EXPECT_TRUE(f.app.edit.pageRefused);
    EXPECT_FALSE(f.app.view.halfDirty[0]);
    EXPECT_EQ(f.platform.questions.back().first, "Save Page ?");
    EXPECT_EQ(f.platform.questions.back().second, "Shall the actual Page be written to File ?");
    EXPECT_EQ(f.mainBytes(), f.original);

    // Read-only and the re-open declined: dropped as well.
    f.app.shell.accessFlags &= ~kAccessWritable;
    f.typeHex(11, 0x11);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(storePage(f.app), 1);
    EXPECT_TRUE(f.app.edit.pageRefused);
    EXPECT_EQ(f.platform.questions.back().first, "Re-open in Read-Write-Mode ?");
    EXPECT_EQ(f.mainBytes(), f.original);
    f.app.shell.accessFlags |= kAccessWritable;

    // Write protection kept: the page goes into the Journal File instead.
    f.app.shell.accessFlags &= ~kAccessNotLocked;
    f.typeHex(12, 0x12);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(storePage(f.app), 0);
    EXPECT_EQ(f.platform.questions.back().first, "Make File writeable ?");
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(f.recordCount(), 1u);
    EXPECT_EQ(f.shown(12), 0x12);

    // Written after Yes with "Don't ask again !".
    f.app.shell.accessFlags |= kAccessNotLocked;
    f.typeHex(13, 0x13);
    f.platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    EXPECT_EQ(storePage(f.app), 0);
    EXPECT_EQ(f.mainBytes()[13], 0x13);
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgSavePage, 0u);
}

}  // namespace
}  // namespace quorby::testing
