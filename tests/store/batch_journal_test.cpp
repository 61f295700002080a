// The Journal File commands through the quorby program in batch mode.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "store/journal_naming.h"

namespace quorby::lifecycle_test {
namespace {

class BatchJournalTest : public ::testing::Test {
protected:
    std::string dir;  // ends with '/'

    void SetUp() override {
        char pattern[] = "/tmp/quorby-lifecycle-batch-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
        std::filesystem::create_directory(dir + "home");
        std::ofstream(dir + "data.bin") << std::string(2000, 'd');
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    static std::string readAll(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Runs the script; the default journal directory lies in the test's directory.
    std::string run(const std::string& script, int* status) {
        std::ofstream(dir + "script.txt") << script;
        std::string command = "XDG_DATA_HOME='" + dir + "xdg' timeout 120 '" + QUORBY_BINARY + "' --batch '" + dir +
                              "script.txt' --home '" + dir + "home' > '" + dir + "out.txt' 2>&1";
        int raw = std::system(command.c_str());
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return readAll(dir + "out.txt");
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
