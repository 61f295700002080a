#include <gtest/gtest.h>

#include "journal/command_commit.h"
#include "state/settings_file.h"
#include "filemenu/journal_commands.h"
#include "document/journal_lifecycle.h"
#include "filemenu/journal_naming.h"
#include "filemenu/open_close.h"
#include "document/main_file_bytes.h"
#include "tests/support/captions.h"
#include "tests/support/program_run.h"
#include "tests/filemenu/lifecycle_fixture.h"

namespace quorby::lifecycle_test {
namespace {

class JournalLifecycleTest : public LifecycleTest {
protected:
    std::string mainPath;
    std::string journalPath;  // where the fixed directory puts its Journal File

    void SetUp() override {
        LifecycleTest::SetUp();
        std::filesystem::create_directory(dir + "data");
        mainPath = writeFile(dir + "data/x.bin", 3000);
        journalPath = fixedDir + escapeMainName(mainPath) + ".jnl";
        app.settings.journalLocation = kJournalFixedPath;
    }
    int openMain(const std::string& path) {
        app.main.openReadOnly = false;
        app.settings.journalLocation &= kJournalLocationKeptBits;
        return openMainFile(app, path);
    }
    // A Journal File with two records, kept after closing.
    void makeJournalWithRecords() {
        ASSERT_EQ(openMain(mainPath), 0);
        appendPage(0, 0x11);
        appendPage(1024, 0x22);
        ASSERT_EQ(closeMainFile(app), 0);
        ASSERT_EQ(fileSize(journalPath), 1024u + 2 * 640);
        platform.shown.clear();
    }
    // The first record's data as the Journal File holds it.
    std::uint8_t firstRecordByte() {
        JournalRecord r;
        EXPECT_EQ(readRecord(app.journal, app.journal.header.first, r), 0);
        return r.data[0];
    }
};

TEST_F(JournalLifecycleTest, NewJournalIsHeaderOnlyAndAnEmptyOneGoesAtClosing) {
    app.settings.messageSwitches = kMsgSaveJournalFile;
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(app.journal.name, journalPath);
    EXPECT_EQ(fileSize(journalPath), 1024u);
    EXPECT_EQ(app.journal.journalEnd, 1024u);
    EXPECT_EQ(mainNameOf(app.journal.header), mainPath);
    EXPECT_EQ(platform.caption, testing::fileCaption(mainPath, false));

    appendPage(512, 0x33);
    EXPECT_EQ(fileSize(journalPath), 1664u);

    // Emptied, it is deleted at closing without the kept-for-later question.
    app.settings.messageSwitches = kMsgSaveJournalFile | kMsgDeleteJournal;
    platform.questionAnswers = {kAnswerYes};
    ASSERT_EQ(emptyJournal(app), 0);
    EXPECT_EQ(fileSize(journalPath), 1024u);
    EXPECT_TRUE(isEmptyPtr(app.journal.header.first));
    platform.shown.clear();
    ASSERT_EQ(closeMainFile(app), 0);
    EXPECT_FALSE(exists(journalPath));
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(app.journal.handle, kNoFile);
}

TEST_F(JournalLifecycleTest, KeptForLaterQuestionDecidesAtClosing) {
    app.settings.messageSwitches = kMsgSaveJournalFile;
    ASSERT_EQ(openMain(mainPath), 0);
    appendPage(0, 0x11);
    ASSERT_EQ(closeMainFile(app), 0);  // No
    EXPECT_EQ(platform.shown, std::vector<std::string>{"Save Journal-File ?"});
    EXPECT_EQ(platform.texts.back(), "Shall the Journal-File be kept\nfor later Use ?");
    EXPECT_FALSE(exists(journalPath));

    ASSERT_EQ(openMain(mainPath), 0);
    appendPage(0, 0x11);
    platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    ASSERT_EQ(closeMainFile(app), 0);
    EXPECT_EQ(fileSize(journalPath), 1664u);
    EXPECT_EQ(app.settings.messageSwitches & kMsgSaveJournalFile, 0u);

    // Opened again: the records are there, the caption says so, nothing is asked.
    platform.shown.clear();
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(app.journal.journalEnd, 1664u);
    EXPECT_EQ(firstRecordByte(), 0x11);
    EXPECT_EQ(platform.caption, testing::fileCaption(mainPath, true));
    // The question is off now: closing keeps it silently.
    ASSERT_EQ(closeMainFile(app), 0);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(exists(journalPath));
}

TEST_F(JournalLifecycleTest, AJournalDirectoryRemovedByAnotherInstanceIsMadeAgain) {
    // Another instance ended while the fixed directory was empty and removed
    // it, after this one had made it at its start.
    app.settings.messageSwitches = kMsgSaveJournalFile;
    std::filesystem::remove(fixedDir);
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_TRUE(platform.shown.empty()) << platform.shown.front();
    EXPECT_EQ(app.journal.name, journalPath);
    EXPECT_EQ(fileSize(journalPath), 1024u);
    EXPECT_EQ(std::filesystem::status(fixedDir).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    appendPage(0, 0x44);
    EXPECT_EQ(fileSize(journalPath), 1664u);
}

TEST_F(JournalLifecycleTest, NeverSameDriveMovesToTheAlternativeOrAsks) {
    io.driveIds = {{dir + "data/", 7}, {fixedDir, 7}, {altDir, 9}, {dir + "usb/", 9}};
    std::filesystem::create_directory(dir + "usb");
    app.settings.messageSwitches = kMsgSameDriveJournal;
    app.settings.journalLocation = kJournalFixedPath | kJournalAlternativePath | kJournalNeverSameDrive;
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(app.journal.name, altDir + escapeMainName(mainPath) + ".jnl");
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(app.settings.journalLocation & kJournalNeverSameDrive);  // back after the opening
    ASSERT_EQ(closeMainFile(app), 0);

    // Without the alternative: asked; No leads to the file dialog, whose
    // Cancel leaves the Main File open without a Journal File.
    app.settings.journalLocation = kJournalFixedPath | kJournalNeverSameDrive;
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, (std::vector<std::string>{"Same Drive !", "[file] Open Journal File"}));
    EXPECT_EQ(app.journal.handle, kNoFile);
    EXPECT_NE(app.main.mainHandle, kNoFile);
    EXPECT_EQ(platform.fileRequests.back().filterPattern, "*.jnl");
    ASSERT_EQ(closeMainFile(app), 0);

    // A name on the Main File's drive asks again; one on another drive is taken.
    platform.shown.clear();
    platform.fileAnswers = {{true, dir + "data/j", false}, {true, dir + "usb/j", false}};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, (std::vector<std::string>{"Same Drive !", "[file] Open Journal File", "Same Drive !",
                                                        "[file] Open Journal File"}));
    EXPECT_EQ(app.journal.name, dir + "usb/j.jnl");
    EXPECT_EQ(fileSize(dir + "usb/j.jnl"), 1024u);
}

TEST_F(JournalLifecycleTest, ChangedMainFileAsksThreeQuestions) {
    makeJournalWithRecords();
    touchMainFile(mainPath, 100);
    // Yes and OK: used as it is, with all its records.
    platform.boxAnswers = {MsgAnswer::Yes, MsgAnswer::Ok};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, (std::vector<std::string>{"File has been changed !", "Check Data !"}));
    EXPECT_EQ(app.journal.journalEnd, 1024u + 2 * 640);
    EXPECT_EQ(firstRecordByte(), 0x11);
    ASSERT_EQ(closeMainFile(app), 0);

    // Closed with the new time: the next opening does not ask.
    platform.shown.clear();
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_TRUE(platform.shown.empty());
    ASSERT_EQ(closeMainFile(app), 0);

    // No, then No: the Main File stays without a Journal File, which is kept.
    touchMainFile(mainPath, 100);
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, (std::vector<std::string>{"File has been changed !", "Delete Journal-File ?"}));
    EXPECT_EQ(app.journal.handle, kNoFile);
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);
    ASSERT_EQ(closeMainFile(app), 0);
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);

    // Yes, Cancel, Yes: recreated empty.
    platform.shown.clear();
    platform.boxAnswers = {MsgAnswer::Yes, MsgAnswer::Cancel, MsgAnswer::Yes};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown,
              (std::vector<std::string>{"File has been changed !", "Check Data !", "Delete Journal-File ?"}));
    EXPECT_EQ(fileSize(journalPath), 1024u);
    EXPECT_TRUE(isEmptyPtr(app.journal.header.first));
}

// Killed while writing into the Main File, before the command's end noted
// the new time: the journal's writing mark says the change is the program's own.
TEST_F(JournalLifecycleTest, KilledWhileWritingTheMainFileAsksNothingAtTheNextStart) {
    makeJournalWithRecords();
    ASSERT_EQ(openMain(mainPath), 0);
    const std::uint8_t byte = 0x31;
    ASSERT_EQ(writeMainBytes(app, 0, &byte, 1), 0);   // commits the writing mark first
    touchMainFile(mainPath, 90);
    io.close(app.journal.handle);   // killed: no end of command, no closing
    io.close(app.main.mainHandle);
    app.journal.handle = app.main.mainHandle = kNoFile;
    app.main.mainKind = MainKind::None;

    platform.shown.clear();
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_FALSE(wasShown("File has been changed !"));
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);
    ASSERT_EQ(closeMainFile(app), 0);
}

TEST_F(JournalLifecycleTest, OwnWritesIntoTheMainFileDoNotCountAsChanges) {
    // The program ends without closing (killed) after writing into the Main
    // File: the committed header carries the new time only when it was noted.
    for (bool noted : {true, false}) {
        makeJournalWithRecords();
        ASSERT_EQ(openMain(mainPath), 0);
        if (noted) {
            const std::uint8_t byte = 0x5B;  // the program's own write
            ASSERT_EQ(writeMainBytes(app, 0, &byte, 1), 0);
            noteMainFileWritten(app);
        } else {
            touchMainFile(mainPath, 70);  // a write whose time was not taken
        }
        app.journal.header.jnlFlags ^= kJnlUnwrittenWarned;  // the command changed the header
        ASSERT_EQ(commitCommand(app.journal), 0);
        io.close(app.journal.handle);
        io.close(app.main.mainHandle);
        app.journal.handle = app.main.mainHandle = kNoFile;
        app.main.mainKind = MainKind::None;

        platform.shown.clear();
        ASSERT_EQ(openMain(mainPath), 0);
        EXPECT_EQ(wasShown("File has been changed !"), !noted) << noted;
        ASSERT_EQ(closeMainFile(app), 0);
        std::filesystem::remove(journalPath);
    }
}

TEST_F(JournalLifecycleTest, InvalidJournalIsRecreatedOrReplacedByHand) {
    writeFile(journalPath, 2000, 0x77);  // not a Journal File
    platform.boxAnswers = {MsgAnswer::Yes};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, std::vector<std::string>{"Delete Journal-File / Open it newly?"});
    EXPECT_EQ(platform.texts[0].substr(50), "\nInvalid Journal-File. Shall it be deleted?");
    EXPECT_EQ(fileSize(journalPath), 1024u);
    ASSERT_EQ(closeMainFile(app), 0);

    // A Journal File of another Main File is not deleted on No: the user names another one.
    std::string other = writeFile(dir + "data/other.bin", 600);
    makeJournalWithRecords();
    std::filesystem::rename(journalPath, dir + "foreign.jnl");
    ASSERT_EQ(openMain(other), 0);
    std::string otherJournal = app.journal.name;
    appendPage(0, 0x44);
    ASSERT_EQ(closeMainFile(app), 0);
    std::filesystem::rename(otherJournal, journalPath);
    platform.shown.clear();
    platform.fileAnswers = {{true, dir + "mine.jnl", false}};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown,
              (std::vector<std::string>{"Delete Journal-File / Open it newly?", "[file] Open Journal File"}));
    EXPECT_EQ(fileSize(journalPath), 1664u);
    EXPECT_EQ(app.journal.name, dir + "mine.jnl");
    EXPECT_EQ(fileSize(dir + "mine.jnl"), 1024u);
}

// A Journal File whose header is cut short is damaged, not new: the opening
// asks, keeps it on No (the user names another one) and recreates it on Yes.
// An empty one (created, ended before its header was written) holds nothing
// and is recreated without a question.
TEST_F(JournalLifecycleTest, AHeaderCutShortIsAskedAboutAndKeptOnNo) {
    writeFile(journalPath, 600, 0x5A);
    platform.boxAnswers = {MsgAnswer::No};
    platform.fileAnswers = {{true, dir + "mine.jnl", false}};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown,
              (std::vector<std::string>{"Delete Journal-File / Open it newly?", "[file] Open Journal File"}));
    EXPECT_EQ(fileSize(journalPath), 600u);
    EXPECT_EQ(app.journal.name, dir + "mine.jnl");
    ASSERT_EQ(closeMainFile(app), 0);

    writeFile(journalPath, 600, 0x5A);
    platform.shown.clear();
    platform.boxAnswers = {MsgAnswer::Yes};
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(platform.shown, std::vector<std::string>{"Delete Journal-File / Open it newly?"});
    EXPECT_EQ(fileSize(journalPath), 1024u);
    ASSERT_EQ(closeMainFile(app), 0);

    writeFile(journalPath, 0, 0);
    platform.shown.clear();
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(fileSize(journalPath), 1024u);
}

// Records appended after the last commit belong to a command that never
// ended, whatever they hold: a zero-filled tail (a file system that extended
// the file before the records reached it), even a sparse one of millions of
// records, is cut off at the opening without a word, and every committed
// change stays.
TEST_F(JournalLifecycleTest, AZeroFilledTailIsCutOffWithoutAQuestion) {
    makeJournalWithRecords();
    const std::uintmax_t committed = 1024u + 2 * 640;
    for (std::uintmax_t records : {1u, 100u, 1000000u}) {
        SCOPED_TRACE(records);
        std::filesystem::resize_file(journalPath, committed + records * 640);
        ASSERT_EQ(openMain(mainPath), 0);
        EXPECT_TRUE(platform.shown.empty()) << platform.shown.front();
        EXPECT_EQ(fileSize(journalPath), committed);
        EXPECT_EQ(app.journal.journalEnd, committed);
        EXPECT_EQ(firstRecordByte(), 0x11);
        ASSERT_EQ(closeMainFile(app), 0);
        platform.shown.clear();
    }
}

// Two instances of the program on one Main File: this test's program holds
// the Journal File, and the quorby program started beside it is told that the
// file is in use, views the Main File without a journal and changes nothing;
// the first instance's records all stay.
TEST_F(JournalLifecycleTest, ASecondInstanceIsToldTheJournalIsInUseAndChangesNothing) {
    const std::string sharedDir = dir + "xdg/quorby/journal/";
    std::filesystem::create_directories(sharedDir);
    app.shell.defaultFixedJournalDir = sharedDir;
    journalPath = sharedDir + escapeMainName(mainPath) + ".jnl";
    ASSERT_EQ(openMain(mainPath), 0);
    ASSERT_EQ(app.journal.name, journalPath);
    appendPage(0, 0x11);

    testing::ProgramOptions second;
    second.home = dir + "home";
    second.environment = {"XDG_DATA_HOME=" + dir + "xdg"};
    const testing::ProgramRun run = testing::runQuorby("answer no\n"
                                                       "open " + mainPath + "\n"
                                                       "type 7A\n"
                                                       "key Enter\n"
                                                       "answer yes\n"
                                                       "command \"Save &File\"\n"
                                                       "quit\n",
                                                       second);
    EXPECT_TRUE(run.has("MESSAGE Is always in Use ! | " + journalPath)) << run.transcript;
    EXPECT_EQ(testing::readFile(mainPath), std::string(3000, char(0x5A)));
    EXPECT_EQ(fileSize(journalPath), 1024u + 640);

    appendPage(1024, 0x22);
    ASSERT_EQ(closeMainFile(app), 0);
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);
    ASSERT_EQ(openMain(mainPath), 0);
    EXPECT_EQ(firstRecordByte(), 0x11);
    EXPECT_EQ(testing::readFile(mainPath), std::string(3000, char(0x5A)));
}

TEST_F(JournalLifecycleTest, OpeningAJournalOpensItsMainFile) {
    makeJournalWithRecords();
    platform.boxAnswers = {MsgAnswer::Yes};
    ASSERT_EQ(openMain(journalPath), 0);
    EXPECT_EQ(platform.shown, std::vector<std::string>{"Shall the suiting Journal-File be opened?"});
    EXPECT_EQ(app.main.mainName, mainPath);
    EXPECT_EQ(app.journal.name, journalPath);
    EXPECT_EQ(app.journal.journalEnd, 1024u + 2 * 640);
    EXPECT_EQ(firstRecordByte(), 0x11);
    EXPECT_EQ(app.lifecycle.chosenHandle, kNoFile);
    // Chosen again while in use: the Main File is opened anew with it.
    platform.boxAnswers = {MsgAnswer::Yes};
    ASSERT_EQ(openMain(journalPath), 0);
    EXPECT_EQ(app.journal.name, journalPath);
    EXPECT_EQ(app.journal.journalEnd, 1024u + 2 * 640);
    ASSERT_EQ(closeMainFile(app), 0);

    // No: the Journal File itself is the Main File.
    platform.boxAnswers = {MsgAnswer::No};
    ASSERT_EQ(openMain(journalPath), 0);
    EXPECT_EQ(app.main.mainName, journalPath);
    ASSERT_EQ(closeMainFile(app), 0);

    // A Journal File whose Main File is gone opens nothing.
    std::filesystem::remove(mainPath);
    platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(openMain(journalPath), 1);
    EXPECT_EQ(app.main.mainHandle, kNoFile);
    EXPECT_EQ(app.lifecycle.chosenHandle, kNoFile);
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);
}

TEST_F(JournalLifecycleTest, OtherJournalSaveAsAndForeignFiles) {
    makeJournalWithRecords();
    ASSERT_EQ(openMain(mainPath), 0);

    // Save as: a copy, the Journal File in use stays.
    platform.fileAnswers = {{true, dir + "backup.jnl", false}};
    ASSERT_EQ(saveJournalAs(app), 0);
    EXPECT_EQ(fileSize(dir + "backup.jnl"), 1024u + 2 * 640);
    EXPECT_EQ(app.journal.name, journalPath);
    EXPECT_TRUE(platform.fileRequests.back().save);
    EXPECT_EQ(platform.fileRequests.back().presetName, journalPath);

    // A file not ending in ".jnl" that is no Journal File is never recreated.
    std::string notes = writeFile(dir + "notes.txt", 3000, 'n');
    platform.fileAnswers = {{true, notes, false}};
    platform.boxAnswers = {MsgAnswer::Cancel};
    EXPECT_EQ(openOtherJournal(app), 1);
    EXPECT_EQ(platform.shown.back(), "Not a valid Journal-File !");
    EXPECT_EQ(fileSize(notes), 3000u);
    EXPECT_EQ(app.journal.name, journalPath);
    // Nor is the Main File itself.
    platform.fileAnswers = {{true, mainPath, false}};
    EXPECT_EQ(openOtherJournal(app), 1);
    EXPECT_EQ(fileSize(mainPath), 3000u);

    // A new name: a fresh Journal File in use, the former one kept as it was.
    platform.fileAnswers = {{true, dir + "fresh.jnl", false}};
    ASSERT_EQ(openOtherJournal(app), 0);
    EXPECT_EQ(app.journal.name, dir + "fresh.jnl");
    EXPECT_EQ(fileSize(dir + "fresh.jnl"), 1024u);
    EXPECT_EQ(platform.caption, testing::fileCaption(mainPath, false));
    EXPECT_EQ(fileSize(journalPath), 1024u + 2 * 640);

    // The backup, chosen as other Journal File, brings the records back.
    platform.fileAnswers = {{true, dir + "backup.jnl", false}};
    ASSERT_EQ(openOtherJournal(app), 0);
    EXPECT_EQ(app.journal.journalEnd, 1024u + 2 * 640);
    EXPECT_EQ(firstRecordByte(), 0x11);
    EXPECT_EQ(platform.caption, testing::fileCaption(mainPath, true));
}

}  // namespace
}  // namespace quorby::lifecycle_test
