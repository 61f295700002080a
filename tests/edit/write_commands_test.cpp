// Writing changes into the Main File, dropping them, and restoring the
// original content.
#include "tests/edit/edit_fixture.h"
#include "tests/support/loop_device.h"

#include <unistd.h>

#include "edit/drop_changes.h"
#include "edit/restore_original.h"
#include "edit/undo_commands.h"
#include "edit/write_commands.h"
#include "edit/write_selection.h"
#include "journal/journal_recovery.h"
#include "salvage/sector_reads.h"
#include "journal/record_states.h"
#include "journal/rollback_file.h"
#include "document/cut_command.h"
#include "resources/dialog_controls.h"
#include "edit/write_all.h"

namespace quorby::testing {
namespace {

// Types `value` at `pos` and stores it with Enter.
void change(EditFixture& f, FilePos pos, std::uint8_t value) {
    f.typeHex(pos, value);
    f.key(kCharEnter);
}

void select(EditFixture& f, FilePos start, FilePos end) {
    f.app.view.selectionStart = start;
    f.app.view.selectionEnd = end;
    f.app.view.selectionActive = kSelectionExists;
}

std::vector<std::uint8_t> shownFile(EditFixture& f) {
    std::vector<std::uint8_t> bytes(f.original.size());
    for (FilePos p = 0; p < bytes.size(); ++p) bytes[p] = f.shown(p);
    return bytes;
}

// The exchanges linked into the journal: the Main File's bytes of a half
// kept before a write.
int exchangeRecords(EditFixture& f) {
    int n = 0;
    for (std::uint64_t k = 0; k < f.recordCount(); ++k) {
        const std::uint32_t flag = f.record(recordPosition(k)).flag;
        if (isExchange(flag) && (flag & kFlagNotInUndoOrder) == 0) ++n;
    }
    return n;
}

TEST(WriteSelection, WritesTheSelectedChangesOnly) {
    for (std::uint32_t options : {0u, 1u, 3u}) {
        SCOPED_TRACE(options);
        EditFixture f(4096, options);
        change(f, 10, 0xAA);
        change(f, 20, 0xBB);
        change(f, 1500, 0xCC);
        f.cursorTo(3000);
        const std::uint64_t records = f.recordCount();

        // No change inside the selection: nothing is written anywhere.
        const std::vector<std::uint8_t> journalBefore = f.io.bytes(f.journalPath);
        select(f, 2048, 2600);
        EXPECT_EQ(writeSelection(f.app), 0);
        f.endCommand();
        EXPECT_EQ(f.mainBytes(), f.original);
        EXPECT_EQ(f.io.bytes(f.journalPath), journalBefore);

        // A part of page 0: byte 10 reaches the Main File, byte 20 stays a
        // change of the journal, still marked.
        select(f, 5, 15);
        EXPECT_EQ(writeSelection(f.app), 0);
        f.endCommand();
        std::vector<std::uint8_t> want = f.original;
        want[10] = 0xAA;
        EXPECT_EQ(f.mainBytes(), want);
        EXPECT_EQ(f.shown(20), 0xBB);
        EXPECT_EQ(loadPagePair(f.app, 0), 0);
        EXPECT_FALSE(f.app.view.changed(10));
        EXPECT_TRUE(f.app.view.changed(20));
        // Undo kept: an exchange with the Main File's former page 0, and a
        // version on top for the change that remains.
        const std::uint64_t added = options == 0 ? 0 : 2;
        EXPECT_EQ(f.recordCount(), records + added);
        EXPECT_EQ(exchangeRecords(f), options == 0 ? 0 : 1);

        // The rest: each written half gets an exchange of its own.
        select(f, 15, 1600);
        EXPECT_EQ(writeSelection(f.app), 0);
        f.endCommand();
        want[20] = 0xBB;
        want[1500] = 0xCC;
        EXPECT_EQ(f.mainBytes(), want);
        EXPECT_EQ(exchangeRecords(f), options == 0 ? 0 : 3);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(SaveFile, WritesEveryChangeAndUndoTakesTheWritesBack) {
    EditFixture f(10 * 512, 3);
    change(f, 100, 1);
    change(f, 2000, 2);
    change(f, 4000, 3);
    f.typeHex(4001, 4);  // typed, not stored: Save File stores it first
    const std::vector<std::uint8_t> content = shownFile(f);
    EXPECT_EQ(saveFile(f.app), 0);
    f.endCommand();
    EXPECT_EQ(f.mainBytes(), content);
    EXPECT_EQ(f.header().jnlFlags & (kJnlUnwrittenChanges | kJnlUnwrittenWarned), 0u);
    EXPECT_FALSE(f.platform.pleaseWaitShown);
    EXPECT_EQ(exchangeRecords(f), 3);
    // Nothing left to write: a second Save File does nothing.
    f.io.resetCounts();
    EXPECT_EQ(saveFile(f.app), 1);
    EXPECT_EQ(f.io.writes, 0u);

    // The first undo takes the whole write back: the Main File is the
    // original again, the view still shows the changes.
    undoLastCommand(f.app);
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(shownFile(f), content);
    EXPECT_NE(f.header().jnlFlags & kJnlUnwrittenChanges, 0u);
    // Byte 4001 was stored by Save File as a version of its own.
    undoLastCommand(f.app);
    EXPECT_EQ(f.shown(4001), f.original[4001]);
    EXPECT_EQ(f.shown(4000), 3);
    undoLastCommand(f.app);
    EXPECT_EQ(f.shown(4000), f.original[4000]);

    undoAllCommand(f.app);
    f.endCommand();
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(shownFile(f), f.original);
    // Redo All writes everything again.
    redoAllCommand(f.app);
    EXPECT_EQ(f.mainBytes(), content);
    EXPECT_EQ(shownFile(f), content);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(SaveFile, QuestionsAndReadOnlyMainFile) {
    EditFixture f(2048, 1);
    change(f, 7, 9);
    f.app.settings.messageSwitches = kMsgSaveFileQuestion | kMsgWriteProtect;
    f.platform.questionAnswers = {0};  // No
    EXPECT_EQ(saveFile(f.app), 1);
    EXPECT_EQ(f.mainBytes(), f.original);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Write File?");
    // The name field: 50 characters, then the question.
    EXPECT_EQ(f.platform.questions[0].second,
              "/data/main.bin" + std::string(36, ' ') +
                  "\n          Changes have been made!\nWrite Changes into the Main File?\n"
                  "(Even without Writing they will stay available!)");

    // Read-only: the re-open question; No leaves the Main File alone.
    f.app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
    f.platform.questionAnswers = {kAnswerYes | kAnswerDontAsk, 0};
    EXPECT_EQ(saveFile(f.app), 1);
    EXPECT_EQ(f.platform.questions.back().first, "Re-open in Read-Write-Mode ?");
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgSaveFileQuestion, 0u);
    EXPECT_TRUE(f.app.edit.pageRefused);
    EXPECT_EQ(f.mainBytes(), f.original);
}

TEST(SaveFile, InterruptedWithEscLeavesTheRestForTheNextRun) {
    EditFixture f(20 * 512, 1);
    for (FilePos page = 0; page < 10; ++page) change(f, page * 1024 + 3, std::uint8_t(page + 1));
    const std::vector<std::uint8_t> content = shownFile(f);
    f.platform.escAtPoll = {f.platform.polls + 4};  // answered Yes by default
    EXPECT_EQ(saveFile(f.app), 1);
    f.endCommand();
    std::vector<std::uint8_t> main = f.mainBytes();
    EXPECT_NE(main, content);
    EXPECT_NE(main, f.original);
    EXPECT_EQ(shownFile(f), content);
    EXPECT_NE(f.header().jnlFlags & kJnlUnwrittenChanges, 0u);
    // The next run finishes the job without saving an earlier content twice.
    EXPECT_EQ(saveFile(f.app), 0);
    EXPECT_EQ(f.mainBytes(), content);
    EXPECT_EQ(exchangeRecords(f), 10);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

// The journal as a new program run finds it: the header from disk, a
// command cut short rolled back.
void reopenJournal(EditFixture& f) {
    f.files->close(f.app.journal.handle);
    FileHandle j = kNoFile;
    ASSERT_EQ(f.files->open(f.journalPath, OpenMode::ReadWrite, &j), 0);
    f.app.journal = JournalFile{};
    ASSERT_EQ(putBackCutCommand(f.app, j, f.journalPath), 0);
    attachJournal(f.app.journal, *f.files, j, f.journalPath);
    ASSERT_EQ(measureJournal(f.app.journal), 0);
    ASSERT_EQ(readJournalHeader(f.app.journal), 0);
    ASSERT_EQ(discardUnfinishedCommand(f.app.journal), 0);
    useRollbackFile(f.app.journal);
    forgetCursorRecords(f.app);
    // Sectors the failing transfers left unreadable are tried again by a new run.
    forgetUnreadable(f.app.main.unreadable, kDefaultSectorSize);
    f.app.records.jReadFlag = 0;
    EXPECT_EQ(loadPagePair(f.app, 0), 0);
}

// Proves R1-R3 for Save File and H8: a machine that loses power after the
// nth transfer of the Save File, with nothing that was not synced kept, or
// with a seeded choice of those writes kept sector by sector. Reopened,
// every page shows its change, and Save File finishes the job; Undo All then
// gives the original back.
void cutSaveFileShort(bool someKept) {
    for (std::uint64_t run = 0; run < 20; ++run) {
        const std::uint64_t n = 1 + 3 * run;
        SCOPED_TRACE("transfer " + std::to_string(n) + (someKept ? ", some unsynced writes kept" : ""));
        EditFixture f(12 * 512, 1);
        f.io.keepUnsyncedChanges = someKept;
        for (FilePos page = 0; page < 6; ++page) change(f, page * 1024 + 9, std::uint8_t(0x40 + page));
        f.endCommand();
        f.io.sync(f.app.journal.handle);
        f.io.sync(f.app.main.mainHandle);
        const std::vector<std::uint8_t> content = shownFile(f);
        f.io.failNth(n, 7, true);
        (void)saveFile(f.app);  // cut short: it fails, and the files are checked below
        f.io.stopFailing();
        if (someKept) f.io.crashKeepingSome(n * 7919);
        else f.io.crash();
        reopenJournal(f);
        EXPECT_EQ(shownFile(f), content);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
        const std::vector<std::uint8_t> main = f.mainBytes();
        for (FilePos p = 0; p < main.size(); ++p)
            ASSERT_TRUE(main[p] == content[p] || main[p] == f.original[p]) << "byte " << p;
        f.header().jnlFlags |= kJnlUnwrittenChanges;  // unless the run completed, it is still set on disk
        EXPECT_EQ(saveFile(f.app), 0);
        EXPECT_EQ(f.mainBytes(), content);
        undoAllCommand(f.app);
        EXPECT_EQ(f.mainBytes(), f.original);
    }
}

TEST(SaveFile, CutShortAnywhereEveryChangeIsWrittenOrStillInTheJournal) { cutSaveFileShort(false); }

// Power lost with a seeded part of the unsynced writes arrived, sector by
// sector: the appended records may end in a torn or zero-filled tail, which
// the opening cuts off.
TEST(SaveFile, CutShortKeepingSomeUnsyncedWritesEveryChangeIsWrittenOrStillInTheJournal) {
    cutSaveFileShort(true);
}

TEST(SaveFile, DiskFullReportsAndKeepsTheChanges) {
    EditFixture f(8 * 512, 1);
    change(f, 600, 0x11);
    change(f, 2100, 0x22);
    const std::vector<std::uint8_t> content = shownFile(f);
    f.io.failWrites = true;
    EXPECT_EQ(saveFile(f.app), 1);
    f.io.failWrites = false;
    // "Error writing " once: the run ends at the first failed write.
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_NE(f.platform.boxes[0].text.find("Error writing "), std::string::npos) << f.platform.boxes[0].text;
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(shownFile(f), content);
    EXPECT_NE(f.header().jnlFlags & kJnlUnwrittenChanges, 0u);
    EXPECT_EQ(saveFile(f.app), 0);
    EXPECT_EQ(f.mainBytes(), content);
}

TEST(RestoreOriginal, WritesTheContentFromBeforeTheFirstWriteOnce) {
    for (std::uint32_t options : {1u, 3u}) {
        SCOPED_TRACE(options);
        EditFixture f(6 * 512, options);
        change(f, 40, 1);
        change(f, 1300, 2);
        EXPECT_EQ(saveFile(f.app), 0);
        change(f, 41, 3);
        EXPECT_EQ(saveFile(f.app), 0);
        change(f, 2000, 4);  // never written: the Main File keeps its byte
        EXPECT_NE(f.mainBytes(), f.original);
        EXPECT_EQ(restoreOriginalFile(f.app), 0);
        f.endCommand();
        EXPECT_EQ(f.mainBytes(), f.original);
        EXPECT_EQ(shownFile(f), f.original);
        // The second run writes nothing into the Main File.
        const std::uint64_t writes = f.io.writesOf(f.app.main.mainHandle);
        EXPECT_EQ(restoreOriginalFile(f.app), 0);
        EXPECT_EQ(f.io.writesOf(f.app.main.mainHandle), writes);
        // A page written again is restored again.
        change(f, 45, 5);
        EXPECT_EQ(saveFile(f.app), 0);
        EXPECT_EQ(f.mainBytes()[45], 5);
        EXPECT_EQ(restoreOriginalFile(f.app), 0);
        EXPECT_EQ(f.mainBytes(), f.original);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(DropChanges, DiscardTakesTheMainFileBytesBackAsOneUndoStep) {
    EditFixture f(8 * 512, 3);
    change(f, 30, 1);
    change(f, 31, 2);
    change(f, 1100, 3);
    change(f, 3000, 4);
    const std::vector<std::uint8_t> content = shownFile(f);
    select(f, 31, 2000);
    EXPECT_EQ(dropSelection(f.app), 0);
    f.endCommand();
    EXPECT_EQ(f.shown(30), 1);
    EXPECT_EQ(f.shown(31), f.original[31]);
    EXPECT_EQ(f.shown(1100), f.original[1100]);
    EXPECT_EQ(f.shown(3000), 4);
    EXPECT_EQ(f.mainBytes(), f.original);
    undoLastCommand(f.app);
    EXPECT_EQ(shownFile(f), content);

    // The shown page only.
    f.cursorTo(3000);
    EXPECT_EQ(dropPage(f.app), 0);
    EXPECT_EQ(f.shown(3000), f.original[3000]);
    EXPECT_EQ(f.shown(30), 1);
    EXPECT_EQ(f.app.view.selectionStart, 31u);  // the user's selection is back
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(SavePage, WritesTheShownPageAndNoDropsItsTypedChanges) {
    EditFixture f(8 * 512, 1);
    change(f, 1030, 7);
    f.typeHex(1040, 8);  // typed, stored by Save Page
    f.typeHex(100, 9);   // page 0 is not the shown page
    f.cursorTo(1040);
    EXPECT_EQ(savePage(f.app), 0);
    EXPECT_EQ(f.mainBytes()[1030], 7);
    EXPECT_EQ(f.mainBytes()[1040], 8);
    EXPECT_EQ(f.mainBytes()[100], f.original[100]);
    EXPECT_EQ(f.shown(100), 9);

    f.app.settings.messageSwitches = kMsgSavePage;
    f.typeHex(1041, 6);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(savePage(f.app), 1);
    EXPECT_EQ(f.platform.questions.back().first, "Save Page ?");
    EXPECT_TRUE(f.app.edit.pageRefused);
    EXPECT_EQ(f.shown(1041), f.original[1041]);
    EXPECT_EQ(f.mainBytes()[1041], f.original[1041]);
}

TEST(CloseMainFile, OffersToWriteUnwrittenChanges) {
    EditFixture f(4096, 1);
    change(f, 5, 0x55);
    f.app.settings.messageSwitches = kMsgSaveFileOnExit;
    f.platform.questionAnswers = {kAnswerYes};
    offerWriteOnClose(f.app);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Write File?");
    EXPECT_EQ(f.mainBytes()[5], 0x55);
    // Everything written: no question any more.
    offerWriteOnClose(f.app);
    EXPECT_EQ(f.platform.questions.size(), 1u);
    // No with "Don't ask again !" switches the question off.
    change(f, 6, 0x66);
    f.platform.questionAnswers = {kAnswerDontAsk};
    offerWriteOnClose(f.app);
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgSaveFileOnExit, 0u);
    EXPECT_EQ(f.mainBytes()[6], f.original[6]);
}

TEST(WriteSelection, OnADriveASelectionInsideASectorWritesTheMergedSector) {
    ZeroDriveOnLoop drive(8);
    const std::string device = drive.device();
    if (device.empty()) GTEST_SKIP() << drive.skipReason();
    const std::string& journal = drive.journal();
    {
        EditFixture f(device, journal, 1);
        f.app.shell.accessFlags &= ~std::uint32_t(kAccessDirect);  // journal access
        change(f, 700, 0x70);
        change(f, 705, 0x75);
        f.io.logEvents = true;
        select(f, 702, 710);
        EXPECT_EQ(writeSelection(f.app), 0);
        const std::vector<std::uint8_t> main = f.mainBytes();
        EXPECT_EQ(main[705], 0x75);
        EXPECT_EQ(main[700], f.original[700]);  // same sector, not selected
        EXPECT_EQ(f.shown(700), 0x70);
        bool wholeSector = false;
        for (const IoEvent& e : f.io.events) {
            if (e.kind != 'W') continue;
            EXPECT_FALSE(e.pos > 512 && e.pos < 1024) << "a write inside the sector at " << e.pos;
            wholeSector |= e.pos == 512 && e.length == 512;
        }
        EXPECT_TRUE(wholeSector);
        // Undo gives the sector its earlier content back.
        f.io.logEvents = false;
        undoAllCommand(f.app);
        EXPECT_EQ(f.mainBytes(), f.original);
    }
}

}  // namespace
}  // namespace quorby::testing

namespace quorby::testing {
namespace {

// The Main File changed by someone else after it was read: another program's
// bytes are overwritten only on Yes; a shortened, deleted or replaced Main
// File is reported and nothing is written (and Save File does not succeed).
TEST(SaveFile, OtherWritersShortenedAndDeletedMainFiles) {
    {
        EditFixture f(2048, 1);
        change(f, 7, 0x99);
        f.io.bytes(f.mainPath)[700] = 0x42;   // another program's byte
        f.io.writeTime += 10;
        f.platform.boxAnswers = {MsgAnswer::No};
        EXPECT_EQ(saveFile(f.app, true), 1);
        EXPECT_EQ(f.platform.boxes.back().caption, "Main File changed !");
        EXPECT_EQ(f.mainBytes()[7], f.original[7]);
        f.platform.boxAnswers = {MsgAnswer::Yes};
        EXPECT_EQ(saveFile(f.app, true), 0);
        EXPECT_EQ(f.mainBytes()[7], 0x99);
        EXPECT_EQ(f.mainBytes()[700], 0x42);   // a byte of a half this editor did not change
    }
    {
        EditFixture f(2048, 1);
        change(f, 1500, 0x99);
        f.io.bytes(f.mainPath).resize(1000);
        EXPECT_EQ(saveFile(f.app, true), 1);
        EXPECT_EQ(f.platform.boxes.back().caption, "Main File changed !");
        EXPECT_EQ(f.io.bytes(f.mainPath).size(), 1000u);
    }
    {
        EditFixture f(2048, 1);
        change(f, 10, 0x99);
        ASSERT_EQ(f.io.removeFile(f.mainPath), 0);
        EXPECT_EQ(saveFile(f.app, true), 1);
        EXPECT_EQ(f.platform.boxes.back().caption, "Main File gone !");
        EXPECT_NE(f.header().jnlFlags & kJnlUnwrittenChanges, 0u);   // the change waits in the journal
    }
}

}  // namespace
}  // namespace quorby::testing
