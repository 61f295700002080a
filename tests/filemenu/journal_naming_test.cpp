#include <gtest/gtest.h>

#include "state/settings_file.h"
#include "filemenu/journal_naming.h"
#include "tests/filemenu/lifecycle_fixture.h"

namespace quorby::lifecycle_test {
namespace {

TEST(JournalNaming, EscapedNamesInTheJournalDirectory) {
    EXPECT_EQ(escapeMainName("/home/u/x.bin"), "~2home~2u~2x.bin");
    EXPECT_EQ(escapeMainName("//server/share"), "~2~2server~2share");
    EXPECT_EQ(escapeMainName("/a~b/c~~"), "~2a~3b~2c~3~3");
    // ":" followed by "/" becomes "~1" as one, any other ":" becomes "~0".
    EXPECT_EQ(escapeMainName("C:/data:x"), "C~1data~0x");
    EXPECT_EQ(escapeMainName("a::/b:"), "a~0~1b~0");
    EXPECT_EQ(escapeMainName("  Drive  A: /dev/loop0"), "  Drive  A~0 ~2dev~2loop0");

    EXPECT_EQ(composeInDirectory("/j/", "/home/u/x.bin", true), "/j/~2home~2u~2x.bin.jnl");
    EXPECT_EQ(composeInDirectory("/j", "/x~y", true), "/j/~2x~3y.jnl");
    // A hand-given name ending in ".jnl" keeps its extension once.
    EXPECT_EQ(composeInDirectory("/j/", "/k/a.jnl", false), "/j/~2k~2a.jnl");

    // Long names stay within one file name and apart.
    std::string deep = "/" + std::string(120, 'd') + "/" + std::string(150, 'n');
    std::string first = composeInDirectory("/j/", deep + "1", true);
    std::string second = composeInDirectory("/j/", deep + "2", true);
    std::string leaf1 = first.substr(3), leaf2 = second.substr(3);
    EXPECT_EQ(leaf1.size(), kComposedNameLimit);
    EXPECT_EQ(leaf1.substr(leaf1.size() - 4), ".jnl");
    EXPECT_NE(first, second);
    // A name that fits is not touched by the hash.
    EXPECT_EQ(composeInDirectory("/j/", "/" + std::string(245, 'a'), true).size(), 3u + 2 + 245 + 4);

    EXPECT_TRUE(endsWithJnl("/a/b.jnl"));
    EXPECT_TRUE(endsWithJnl("x.y.jnl"));
    EXPECT_FALSE(endsWithJnl("/a/b.JNL"));
    EXPECT_FALSE(endsWithJnl("/a/b.jnlx"));
    EXPECT_FALSE(endsWithJnl("/a/bjnl"));
    EXPECT_FALSE(endsWithJnl("/a.jnl/b"));
}

class ComposeTest : public LifecycleTest {
protected:
    std::string compose(const std::string& name, int* result = nullptr) {
        std::string out;
        int r = composeJournalName(app, name, &out);
        if (result) *result = r;
        return out;
    }
};

TEST_F(ComposeTest, ChoosesFixedAlternativeOrBesideTheFile) {
    app.main.mainName = "/data/x.bin";
    app.settings.journalLocation = kJournalFixedPath;
    EXPECT_EQ(compose("/data/x.bin"), fixedDir + "~2data~2x.bin.jnl");
    // Bits 3 and 4 are set by the composition.
    EXPECT_EQ(app.settings.journalLocation,
              std::uint32_t(kJournalFixedPath) | kJournalNameByHand | kJournalHandNameHasExtension);

    app.settings.journalLocation = std::uint32_t(kJournalFixedPath) | kJournalUseAlternative;
    EXPECT_EQ(compose("/data/x.bin"), altDir + "~2data~2x.bin.jnl");

    app.settings.journalLocation = 0;
    EXPECT_EQ(compose("/data/x.bin"), "/data/x.bin.jnl");

    // Names given by hand: taken as they are, ".jnl" added when missing.
    app.settings.journalLocation = std::uint32_t(kJournalFixedPath) | kJournalNameByHand | kJournalHandNameHasExtension;
    EXPECT_EQ(compose("/k/mine.jnl"), "/k/mine.jnl");
    app.settings.journalLocation = std::uint32_t(kJournalFixedPath) | kJournalNameByHand;
    EXPECT_EQ(compose("/k/mine"), "/k/mine.jnl");

    // The settings' own directory wins over the default.
    app.settings.journalLocation = kJournalFixedPath;
    ASSERT_EQ(storePathField(app, app.settings.fixedJournalPath, "/elsewhere"), 0);
    EXPECT_EQ(compose("/data/x.bin"), "/elsewhere/~2data~2x.bin.jnl");
}

TEST_F(ComposeTest, SameDriveRuleAsksAndRefuses) {
    // The Main File and the fixed directory on drive 7, the hand-given name on drive 9.
    io.driveIds = {{"/data/", 7}, {fixedDir, 7}, {"/other/", 9}};
    app.main.mainName = "/data/x.bin";
    app.main.mainKind = MainKind::File;
    app.settings.messageSwitches = kMsgSameDriveJournal;

    app.settings.journalLocation = std::uint32_t(kJournalFixedPath) | kJournalNeverSameDrive;
    int result = 0;
    compose("/data/x.bin", &result);  // No
    EXPECT_EQ(result, 1);
    EXPECT_EQ(platform.shown, std::vector<std::string>{"Same Drive !"});

    platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    EXPECT_EQ(compose("/data/x.bin", &result), fixedDir + "~2data~2x.bin.jnl");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(app.settings.messageSwitches & kMsgSameDriveJournal, 0u);

    // Switched off: the same drive is accepted without a question.
    app.settings.journalLocation = std::uint32_t(kJournalFixedPath) | kJournalNeverSameDrive;
    platform.shown.clear();
    compose("/data/x.bin", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(platform.shown.empty());

    // A name by hand is tested on its own drive.
    app.settings.messageSwitches = kMsgSameDriveJournal;
    app.settings.journalLocation = std::uint32_t(kJournalNeverSameDrive) | kJournalNameByHand;
    EXPECT_EQ(compose("/other/j", &result), "/other/j.jnl");
    EXPECT_EQ(result, 0);
    compose("/data/j", &result);
    EXPECT_EQ(result, 1);
}

}  // namespace
}  // namespace quorby::lifecycle_test
