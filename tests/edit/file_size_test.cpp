// Changing the Main File's size: enlarging, shortening below changed pages,
// and the refusals.
#include "tests/edit/edit_fixture.h"

#include <vector>

#include "edit/file_size.h"
#include "edit/file_size_dialog.h"
#include "edit/undo_commands.h"
#include "edit/write_all.h"
#include "journal/command_commit.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/program_on_files.h"

namespace quorby::testing {
namespace {

struct SizeFixture : EditFixture {
    explicit SizeFixture(FilePos size) : EditFixture(size, 3, false) {
        io.space = {FilePos{1} << 40, FilePos{1} << 41};
        app.settings.messageSwitches |= kMsgEnlargeDecrease;
    }
    void change(FilePos pos, std::uint8_t value) {
        typeHex(pos, value);
        key(kCharEnter);
    }
};

TEST(FileSize, EnlargeAddsZerosAfterTheChangedLastPage) {
    SizeFixture f(1000);
    f.change(600, 0x66);
    f.app.settings.resizeOptions |= 1u;   // "Highlight Enlargement"
    f.platform.questionAnswers = {0};
    EXPECT_EQ(resizeMainFile(f.app, 1500), 1);
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "ENLARGE ?");
    EXPECT_EQ(f.platform.questions[0].second, "Shall this File really be enlarged ?");
    EXPECT_EQ(f.mainBytes().size(), 1000u);

    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(resizeMainFile(f.app, 1500), 0);
    f.endCommand();
    EXPECT_EQ(f.mainBytes().size(), 1500u);
    EXPECT_EQ(f.app.main.fileSize, 1500u);
    EXPECT_EQ(f.shown(600), 0x66);
    EXPECT_EQ(f.shown(999), originalByte(999));
    for (FilePos p : {1000u, 1023u, 1024u, 1499u}) EXPECT_EQ(f.shown(p), 0) << p;
    EXPECT_EQ(f.app.view.selectionStart, 1000u);
    EXPECT_EQ(f.app.view.selectionEnd, 1500u);

    // The added bytes take changes like any others.
    f.change(1010, 0x10);
    EXPECT_EQ(f.shown(1010), 0x10);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(FileSize, ShortenBelowChangedPagesForgetsThemForGood) {
    SizeFixture f(8 * 512);
    f.change(100, 0x01);
    f.change(3000, 0x02);
    f.change(3900, 0x03);
    f.cursorTo(3900);
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(resizeMainFile(f.app, 2600), 0);
    f.endCommand();
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "DECREASE ?");
    EXPECT_EQ(f.platform.questions[0].second, "Shall this File really be decreased ?");
    EXPECT_EQ(f.mainBytes().size(), 2600u);
    EXPECT_LE(f.app.view.cursorPos(), 2599u);
    EXPECT_EQ(f.shown(100), 0x01);
    EXPECT_EQ(f.shown(2599), originalByte(2599));

    // The undo order was emptied: nothing is taken back.
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(f.shown(100), 0x01);

    // Enlarged again, the file shows zeros, not the forgotten versions.
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(resizeMainFile(f.app, 4096), 0);
    for (FilePos p : {2600u, 3000u, 3900u}) EXPECT_EQ(f.shown(p), 0) << p;
    EXPECT_EQ(saveFile(f.app, true), 0);
    std::vector<std::uint8_t> expected(f.original.begin(), f.original.begin() + 2600);
    expected[100] = 0x01;
    expected.resize(4096, 0);
    EXPECT_EQ(f.mainBytes(), expected);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(FileSize, DrivesAndNoAnswersChangeNothing) {
    SizeFixture f(2048);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(resizeMainFile(f.app, 1024), 1);
    EXPECT_EQ(f.mainBytes().size(), 2048u);

    f.app.shell.modeFlags |= kModeDrive;
    EXPECT_EQ(resizeMainFile(f.app, 4096), 1);
    EXPECT_EQ(resizeMainFile(f.app, 1024), 1);
    EXPECT_EQ(f.platform.questions.size(), 1u);   // a drive is refused without a question
    EXPECT_EQ(f.mainBytes().size(), 2048u);
}

// Shortening goes through the command's commit: the Main File's length is
// kept in the rollback file before the cut, and a commit that fails makes
// the command fail. The program killed then reopens without asking whether
// the Main File was changed elsewhere (the change is its own), its journal
// whole and the cut pages no longer shown.
TEST(FileSize, ShorteningCommitsThroughTheRollbackFile) {
    MemoryFileIo io;
    io.timeFromContent = true;   // a cut changes the last-write time
    io.space = {FilePos{1} << 40, FilePos{1} << 41};
    const std::string path = "/data/cut.bin";
    io.bytes(path) = originalBytes(8 * 512);
    std::string journalName;
    {
        ProgramOnFiles p(io, path, kUndoKeepRestoreData);
        ASSERT_EQ(p.open(), 0);
        journalName = p.app.journal.name;
        p.type(100, 0x01);
        p.type(3000, 0x02);
        ASSERT_EQ(p.app.journal.rollback.step, CommitStep::Committed);
        // Every write into the Journal File fails from here on; the rollback file takes its entries.
        io.failWrite[journalName] = SystemError{29, EIO};
        EXPECT_EQ(resizeMainFile(p.app, 2600), 1);
        EXPECT_EQ(io.bytes(path).size(), 2600u);
        ASSERT_FALSE(p.platform.boxes.empty());
        EXPECT_NE(p.platform.boxes.back().text.find(journalName), std::string::npos);
        EXPECT_EQ(p.app.journal.rollback.step, CommitStep::MainFileWritten);
        EXPECT_EQ(checkCommitProtocol(p.app.journal), 0);
    }   // killed
    io.failWrite.clear();
    ProgramOnFiles q(io, path, kUndoKeepRestoreData);
    EXPECT_EQ(q.open(), 0);
    EXPECT_TRUE(q.platform.boxes.empty()) << q.platform.boxes.front().caption;
    ASSERT_NE(q.app.journal.handle, kNoFile);
    EXPECT_EQ(q.app.main.fileSize, 2600u);
    EXPECT_EQ(runDump(io, journalName).status, kDumpAllHold);
    EXPECT_EQ(showWithCursorAt(q.app, 0), 0);
    EXPECT_EQ(q.app.view.pageBuffer[100], 0x01);
}

TEST(FileSizeDialog, OneFieldSetsBothValuesAndOkChangesTheSize) {
    SizeFixture f(4096);
    DialogDescription shown;
    // KBytes decimal of the amount: 1, left (the other fields follow), then OK.
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(sizeField(kSizeAmountGroup, 2, 0))->value = "1";
        return sizeField(kSizeAmountGroup, 2, 0);
    });
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        shown = d;
        return kSizeDialogOk;
    });
    f.platform.questionAnswers = {kAnswerYes};
    changeFileSizeCommand(f.app);
    EXPECT_EQ(shown.find(sizeField(kSizeAmountGroup, 0, 0))->value, "1024");
    EXPECT_EQ(shown.find(sizeField(kSizeAmountGroup, 1, 0))->value, "2");
    EXPECT_EQ(shown.find(sizeField(kSizeAmountGroup, 0, 1))->value, "400");
    EXPECT_EQ(shown.find(sizeField(kSizeNewGroup, 0, 0))->value, "5120");
    EXPECT_EQ(f.mainBytes().size(), 5120u);

    // A smaller new size shows a negative amount and asks before decreasing.
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(sizeField(kSizeNewGroup, 1, 0))->value = "3";   // sectors
        return sizeField(kSizeNewGroup, 1, 0);
    });
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        shown = d;
        return kSizeDialogOk;
    });
    f.platform.questionAnswers = {0};
    changeFileSizeCommand(f.app);
    EXPECT_EQ(shown.find(sizeField(kSizeAmountGroup, 0, 0))->value, "-3584");
    EXPECT_EQ(shown.find(sizeField(kSizeNewGroup, 0, 0))->value, "1536");
    EXPECT_EQ(f.platform.questions.back().second, "Shall this File really be decreased ?");
    EXPECT_EQ(f.mainBytes().size(), 5120u);   // No

    // Cancel changes nothing; the hexadecimal field reads hex digits.
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(sizeField(kSizeNewGroup, 0, 1))->value = "10";
        return kSizeDialogCancel;
    });
    changeFileSizeCommand(f.app);
    EXPECT_EQ(f.mainBytes().size(), 5120u);

    // The amount as the dialog writes it, "-3584", is read back as negative.
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(sizeField(kSizeAmountGroup, 0, 0))->value = "-3584";
        return sizeField(kSizeAmountGroup, 0, 0);
    });
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        shown = d;
        return kSizeDialogOk;
    });
    f.platform.questionAnswers = {kAnswerYes};
    changeFileSizeCommand(f.app);
    EXPECT_EQ(shown.find(sizeField(kSizeNewGroup, 0, 0))->value, "1536");
    EXPECT_EQ(f.mainBytes().size(), 1536u);

    // A negative new size (typed, or an amount below the size) is refused
    // with a message; nothing changes and nothing is asked.
    const std::size_t asked = f.platform.questions.size();
    for (int field : {sizeField(kSizeNewGroup, 0, 0), sizeField(kSizeAmountGroup, 2, 0)}) {
        f.platform.dialogAnswers.push_back([field](DialogDescription& d) {
            d.find(field)->value = field == sizeField(kSizeNewGroup, 0, 0) ? "-10" : "-2";   // -10 bytes, -2 KBytes
            return field;
        });
        f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
            shown = d;
            return kSizeDialogOk;
        });
        const std::size_t boxes = f.platform.boxes.size();
        changeFileSizeCommand(f.app);
        ASSERT_EQ(f.platform.boxes.size(), boxes + 1);
        EXPECT_EQ(f.platform.boxes.back().caption, "Change File Size");
        EXPECT_EQ(f.platform.boxes.back().text, "A File cannot have a negative Size !");
        EXPECT_EQ(f.mainBytes().size(), 1536u);
    }
    EXPECT_EQ(shown.find(sizeField(kSizeNewGroup, 0, 0))->value, "-512");
    EXPECT_EQ(f.platform.questions.size(), asked);

    // A size no file system holds: the number stops at the largest position,
    // and enlarging is refused for want of space.
    f.io.space = {FilePos{1} << 40, FilePos{1} << 41};
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(sizeField(kSizeNewGroup, 4, 1))->value = "FFFFFFFFFFFFFFFFFFFF";   // GBytes
        return sizeField(kSizeNewGroup, 4, 1);
    });
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        shown = d;
        return kSizeDialogOk;
    });
    f.platform.questionAnswers = {kAnswerYes};
    changeFileSizeCommand(f.app);
    EXPECT_EQ(shown.find(sizeField(kSizeNewGroup, 0, 1))->value, "7FFFFFFFFFFFFFFF");
    EXPECT_EQ(f.platform.boxes.back().caption, "Not enough Space on this Drive !");
    EXPECT_EQ(f.mainBytes().size(), 1536u);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    EXPECT_EQ(sizeFieldNumber("1F", true), 31u);
    EXPECT_EQ(sizeFieldNumber("99999999999999999999999", false), UINT64_MAX);
    EXPECT_EQ(sizeFieldText(-1073741824, 4, false), "-1");
    EXPECT_EQ(sizeFieldText(-511, 1, false), "0");
}

}  // namespace
}  // namespace quorby::testing
