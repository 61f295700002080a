// Closing in the document layer: it asks nothing and returns what the File
// menu must ask ("Write File?", whether the Journal File is kept).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/journal_lifecycle.h"
#include "document/main_file.h"
#include "document/store_page.h"
#include "tests/support/test_app.h"

namespace quorby {
namespace {

using testing::TestApp;

struct Closing : TestApp {
    Closing() {
        useDefaultSettings();
        createFile("/m.bin", std::vector<std::uint8_t>(2048, 0x11));
        openMain("/m.bin");
        openJournal("/j/m.jnl");
        EXPECT_EQ(show(), 0);
    }
    // One typed byte stored into the Journal File.
    void storeOneChange() {
        typeByte(app, 3, 0x42);
        ASSERT_EQ(storePage(app), 0);
        endCommand();
    }
    bool nothingAsked() const { return platform.questions.empty() && platform.boxes.empty(); }
};

TEST(DocumentClosing, WriteFileIsAskedOnlyForUnwrittenChangesWithTheExitQuestionOn) {
    Closing c;
    c.app.settings.messageSwitches = kMsgSaveFileOnExit;
    EXPECT_EQ(closingQuestion(c.app), ClosingQuestion::None) << "an empty Journal File";
    c.storeOneChange();
    EXPECT_EQ(closingQuestion(c.app), ClosingQuestion::WriteFile);
    c.app.settings.messageSwitches = 0;
    EXPECT_EQ(closingQuestion(c.app), ClosingQuestion::None) << "the exit question switched off";
    c.app.settings.messageSwitches = kMsgSaveFileOnExit;
    c.app.journal.header.jnlFlags &= ~std::uint32_t(kJnlUnwrittenChanges);
    EXPECT_EQ(closingQuestion(c.app), ClosingQuestion::None) << "everything written already";
    EXPECT_TRUE(c.nothingAsked());
}

TEST(DocumentClosing, TheJournalFileIsClosedWithoutAQuestionAndSaysWhatIsLeftToAsk) {
    // Holding records: closed and kept on disk, the question left to the caller.
    Closing held;
    held.app.settings.messageSwitches = kMsgSaveJournalFile | kMsgSaveFileOnExit;
    held.storeOneChange();
    std::string name;
    int result = 1;
    EXPECT_EQ(closeJournal(held.app, &name, &result), JournalClosing::Closed);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(name, "/j/m.jnl");
    EXPECT_TRUE(held.io.exists("/j/m.jnl"));
    EXPECT_EQ(held.app.journal.handle, kNoFile);
    EXPECT_TRUE(held.nothingAsked());
    // Closed again: none is open any more.
    EXPECT_EQ(closeJournal(held.app, &name, &result), JournalClosing::NoneOpen);

    // Empty: deleted at once.
    Closing empty;
    empty.app.settings.messageSwitches = kMsgSaveJournalFile;
    EXPECT_EQ(closeJournal(empty.app, &name, &result), JournalClosing::Deleted);
    EXPECT_FALSE(empty.io.exists("/j/m.jnl"));
    EXPECT_TRUE(empty.nothingAsked());

    // The Main File let go of: no handle, no name, nothing shown.
    releaseMainFile(empty.app);
    EXPECT_EQ(empty.app.main.mainHandle, kNoFile);
    EXPECT_TRUE(empty.app.main.mainName.empty());
    EXPECT_EQ(empty.app.view.pageLength, 0u);
    EXPECT_EQ(empty.app.shell.accessFlags & kAccessWritable, 0u);
}

}  // namespace
}  // namespace quorby
