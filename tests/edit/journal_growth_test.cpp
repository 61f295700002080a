// The journal growth check before bulk changes: the "Many Changes !" dialog,
// its texts and check boxes, the refusals, and the switch to direct access
// for the duration of a fill or for good.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/fill_commands.h"
#include "edit/journal_growth_check.h"
#include "edit/undo_commands.h"
#include "view/grid_layout.h"
#include "view/status_cells.h"

namespace quorby::testing {
namespace {

constexpr FilePos kPages = 16;
constexpr FilePos kBig = 300u << 20;   // costs the journal more than 256 MiB

struct GrowthFixture : EditFixture {
    GrowthFixture(std::uint32_t undoOptions = 3, bool direct = false) : EditFixture(kPages * 512, undoOptions, direct) {
        app.settings.messageSwitches = kMsgJournalGrowing | kMsgUnwrittenChanges;
        showJournalAccess(app);
        if (direct) showDirectAccess(app);
    }
    // The next "Many Changes !" dialog: the boxes `ticks` ticked, then OK
    // (or Cancel); what it showed is kept in `dialog`.
    DialogDescription dialog;
    void answerDialog(std::initializer_list<int> boxes, bool ok = true) {
        platform.dialogAnswers.push_back([this, ticks = std::vector<int>(boxes), ok](DialogDescription& d) {
            dialog = d;
            for (int id : ticks) d.find(id)->checked = true;
            return ok ? kManyChangesOk : kManyChangesCancel;
        });
    }
    std::string text(int id) { return dialog.find(id) ? dialog.find(id)->text : "(none)"; }
    bool checked(int id) { return dialog.find(id) && dialog.find(id)->checked; }
    std::string accessCell() { return platform.rowText(kBottomRow, kAccessCellColumn, kStatusCellLength); }
    int checkFor(FilePos n) {
        BulkChangeAccess access(app);
        return access.check(n);
    }
    void selectAll() {
        app.view.selectionStart = 0;
        app.view.selectionEnd = app.main.fileSize;
        app.view.selectionActive = kSelectionExists;
    }
};

TEST(JournalGrowth, TheDialogAsksForBigChangesAndShortSpace) {
    GrowthFixture f;
    // The data and a quarter of it rounded up, for the record headers.
    EXPECT_EQ(journalGrowthEstimate(1), 1u + 128u);
    EXPECT_EQ(journalGrowthEstimate(512), 512u + 255u);
    EXPECT_EQ(journalGrowthEstimate(kBig), kBig + kBig / 4 + 127);

    // A small change with room asks nothing.
    EXPECT_EQ(f.checkFor(kPages * 512), 0);
    EXPECT_TRUE(f.platform.dialogsShown.empty());

    // A big one asks; Cancel goes on in journal access.
    f.answerDialog({}, false);
    EXPECT_EQ(f.checkFor(kBig), 0);
    ASSERT_EQ(f.platform.dialogsShown.size(), 1u);
    EXPECT_EQ(f.dialog.title, "Many Changes !");
    EXPECT_EQ(f.text(kManyChangesText), "This Operation will enlarge the Journal-File by a big amount !");
    EXPECT_EQ(f.text(kManyChangesAdvantages), "    ADVANTAGE:\t\tDISADVANTAGE:\n    faster Navigation\t\tno Undo");
    EXPECT_EQ(f.text(kManyChangesDontAsk), "Don't ask again !");
    EXPECT_EQ(f.text(kManyChangesPermanent), "Permanent Switch");
    EXPECT_EQ(f.text(kManyChangesWritable), "Remove Write Protection");
    EXPECT_EQ(f.text(kManyChangesGiveUp), "Delete Changes if nessessary ?");
    EXPECT_EQ(f.text(kManyChangesDirect), "Shall Access Mode be switched to Direct-Mode temporarily ?");
    EXPECT_TRUE(f.checked(kManyChangesWritable));   // opened read-write
    EXPECT_TRUE(f.checked(kManyChangesGiveUp));     // nothing unwritten
    EXPECT_FALSE(f.checked(kManyChangesDirect));
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgJournalGrowing, kMsgJournalGrowing);

    // "Don't ask again !" with OK: big changes ask no more.
    f.answerDialog({kManyChangesDontAsk});
    EXPECT_EQ(f.checkFor(kBig), 0);
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgJournalGrowing, 0u);
    EXPECT_EQ(f.checkFor(kBig), 0);
    EXPECT_EQ(f.platform.dialogsShown.size(), 2u);

    // Short of space it asks anyway, and journal access is refused.
    f.io.space = {journalGrowthEstimate(4096), FilePos{1} << 40};   // exactly the estimate is too little
    f.answerDialog({});
    EXPECT_EQ(f.checkFor(4096), 1);
    EXPECT_EQ(f.text(kManyChangesText), "NOT ENOUGH MEMORY FOR JOURNAL-FILE !");
    f.io.space.freeBytes += 1;
    EXPECT_EQ(f.checkFor(4096), 0);
    EXPECT_EQ(f.platform.dialogsShown.size(), 3u);
}

TEST(JournalGrowth, DirectAccessWithUndoWarnsOfUnwrittenChanges) {
    GrowthFixture f(3, false);
    f.app.settings.messageSwitches |= kMsgEnlargeDecrease;
    // A change stored in journal access and not written, then direct access.
    f.typeHex(0, 0x42);
    f.key(kCharEnter);
    ASSERT_NE(f.header().jnlFlags & kJnlUnwrittenChanges, 0u);
    showDirectAccess(f.app);

    // Direct access without undo costs the journal nothing: no check.
    f.app.settings.undoOptions = 0;
    EXPECT_EQ(f.checkFor(kBig), 0);
    EXPECT_TRUE(f.platform.dialogsShown.empty());
    EXPECT_TRUE(f.platform.questions.empty());
    f.app.settings.undoOptions = 3;

    // Read-only: the dialog says the protection must go; No to the question refuses.
    f.app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
    f.answerDialog({}, false);
    f.platform.questionAnswers = {0};
    EXPECT_EQ(f.checkFor(kBig), 1);
    EXPECT_EQ(f.text(kManyChangesText), "For Accessing the File directly Write Protection must be removed !");
    EXPECT_FALSE(f.checked(kManyChangesWritable));
    EXPECT_FALSE(f.checked(kManyChangesGiveUp));
    ASSERT_EQ(f.platform.questions.size(), 1u);
    EXPECT_EQ(f.platform.questions[0].first, "Unwritten Changes !");
    EXPECT_EQ(f.platform.questions[0].second, "There are unwritten Changes !\nThese could be lost !\nGo on anyway ?");
    EXPECT_EQ(f.header().jnlFlags & kJnlUnwrittenWarned, 0u);

    // Read-write: "There are unwritten Changes !"; Yes goes on and is remembered.
    f.app.shell.accessFlags |= kAccessWritable;
    f.answerDialog({}, false);
    f.platform.questionAnswers = {kAnswerYes};
    EXPECT_EQ(f.checkFor(kBig), 0);
    EXPECT_EQ(f.text(kManyChangesText), "There are unwritten Changes !");
    EXPECT_EQ(f.header().jnlFlags & kJnlUnwrittenWarned, kJnlUnwrittenWarned);
    f.answerDialog({}, false);
    EXPECT_EQ(f.checkFor(kBig), 0);
    EXPECT_EQ(f.platform.questions.size(), 2u);   // not asked again

    // No with "Don't ask again !" refuses this time and switches the question off.
    f.header().jnlFlags &= ~kJnlUnwrittenWarned;
    f.answerDialog({}, false);
    f.platform.questionAnswers = {kAnswerDontAsk};
    EXPECT_EQ(f.checkFor(kBig), 1);
    EXPECT_EQ(f.app.settings.messageSwitches & kMsgUnwrittenChanges, 0u);

    // Short of space, direct access with undo is refused. Until the change
    // ends its earlier bytes lie on the journal's drive twice, as exchanges
    // and in the rollback file: room for the exchanges alone is not enough.
    f.io.space = {100, 1000};
    f.answerDialog({}, false);
    EXPECT_EQ(f.checkFor(4096), 1);
    f.io.space.freeBytes = 2 * 4096 + 1024;
    f.answerDialog({}, false);
    EXPECT_EQ(f.checkFor(4096), 1) << "the exchanges fit, the second copy does not";
    f.io.space.freeBytes = 3 * 4096;
    EXPECT_EQ(f.checkFor(4096), 0);
}

TEST(JournalGrowth, TheDirectSwitchLastsForTheFillOrForGood) {
    GrowthFixture f;
    f.io.space = {1000, FilePos{1} << 40};
    f.selectAll();
    f.app.edit.fillValue = 0xA5;

    // Cancel: journal access, too little room: refused with nothing changed.
    f.answerDialog({}, false);
    EXPECT_EQ(fillSelection(f.app), 1);
    f.endCommand();
    EXPECT_EQ(f.recordCount(), 0u);
    EXPECT_EQ(f.shown(0), originalByte(0));

    // Temporarily direct: the fill goes into the Main File without undo,
    // the status cell says so while it runs, and journal access comes back.
    std::string cellWhileFilling;
    f.platform.onPoll = [&] { cellWhileFilling = f.accessCell(); };
    f.answerDialog({kManyChangesDirect});
    EXPECT_EQ(fillSelection(f.app), 0);
    f.endCommand();
    EXPECT_EQ(cellWhileFilling, " directly");
    EXPECT_EQ(f.accessCell(), " Journal ");
    EXPECT_EQ(f.app.shell.accessFlags & kAccessDirect, 0u);
    EXPECT_EQ(f.app.settings.undoOptions, 3u);
    EXPECT_EQ(f.recordCount(), 0u);
    EXPECT_EQ(f.mainBytes(), std::vector<std::uint8_t>(kPages * 512, 0xA5));
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(f.shown(100), 0xA5);   // no undo
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    // "Permanent Switch": direct access stays, undoOptions comes back.
    f.app.edit.fillValue = 0x11;
    f.answerDialog({kManyChangesDirect, kManyChangesPermanent});
    EXPECT_EQ(fillSelection(f.app), 0);
    f.endCommand();
    EXPECT_EQ(f.app.shell.accessFlags & kAccessDirect, std::uint32_t(kAccessDirect));
    EXPECT_EQ(f.accessCell(), " directly");
    EXPECT_EQ(f.app.settings.undoOptions, 3u);
    EXPECT_EQ(f.mainBytes(), std::vector<std::uint8_t>(kPages * 512, 0x11));
}

// "Remove Write Protection": a file opened read-only is opened again for
// writing, and the fill switched to direct access goes into it without the
// question a store into a read-only file would ask.
TEST(JournalGrowth, RemovingTheWriteProtectionOpensTheFileForWriting) {
    GrowthFixture f;
    f.app.settings.messageSwitches |= kMsgWriteProtect;
    f.io.space = {1000, FilePos{1} << 40};
    f.app.main.openReadOnly = true;
    f.app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
    f.selectAll();
    f.app.edit.fillValue = 0x3C;
    f.answerDialog({kManyChangesWritable, kManyChangesDirect});
    EXPECT_EQ(fillSelection(f.app), 0);
    f.endCommand();
    EXPECT_EQ(f.platform.dialogsShown.size(), 1u);
    EXPECT_TRUE(f.platform.questions.empty());
    EXPECT_FALSE(f.checked(kManyChangesWritable));  // offered unticked
    EXPECT_NE(f.app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_FALSE(f.app.main.openReadOnly);
    EXPECT_EQ(f.mainBytes(), std::vector<std::uint8_t>(kPages * 512, 0x3C));
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
