// The Journal File commands through the quorby program in batch mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "filemenu/journal_naming.h"
#include "tests/support/program_run.h"

namespace quorby::lifecycle_test {
namespace {

class BatchJournalTest : public ::testing::Test {
protected:
    quorby::testing::TempDir tmp;
    const std::string dir = tmp.path() + "/";

    void SetUp() override {
        std::filesystem::create_directory(dir + "home");
        quorby::testing::writeFile(dir + "data.bin", std::string(2000, 'd'));
    }
    // Runs the script; the default journal directory lies in the test's directory.
    std::string run(const std::string& script, int* status) {
        quorby::testing::ProgramOptions options;
        options.home = dir + "home";
        options.mergeErrors = true;
        options.environment = {"XDG_DATA_HOME=" + dir + "xdg"};
        quorby::testing::ProgramRun r = quorby::testing::runQuorby(script, options);
        *status = r.status;
        return r.transcript;
    }
    std::string automaticJournal() const {
        return dir + "xdg/quorby/journal/" + escapeMainName(dir + "data.bin") + ".jnl";
    }
};

TEST_F(BatchJournalTest, SaveAsThenOpenTheCopyAsMainFile) {
    int status = -1;
    std::string out = run("answer no\n"  // the welcome question
                          "open " + dir + "data.bin\n"
                          "file " + dir + "copy.jnl\n"
                          "command \"Save &Journal-File as\"\n"
                          "echo SAVED\n"
                          "quit\n",
                          &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("FILE save \"Backup-Name for Journal-File\" -> " + dir + "copy.jnl"), std::string::npos) << out;
    EXPECT_EQ(std::filesystem::file_size(dir + "copy.jnl"), 1024u);
    // The automatic Journal File held no record: gone after the exit, without a question.
    EXPECT_FALSE(std::filesystem::exists(automaticJournal())) << automaticJournal();
    EXPECT_EQ(out.find("Save Journal-File ?"), std::string::npos) << out;

    // The welcome question was answered in the first run: not asked again.
    out = run("answer yes\n"
              "open " + dir + "copy.jnl\n"
              "expect state mainName " + dir + "data.bin\n"
              "quit\n",
              &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Shall the suiting Journal-File be opened?"), std::string::npos) << out;
}

}  // namespace
}  // namespace quorby::lifecycle_test
