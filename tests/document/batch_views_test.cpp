// The page views through the quorby program in batch mode: changes typed on
// two pages, Ctrl+N / Ctrl+P between them, F2 / F4 over the versions, F5 held
// and released, and the "Pointers and Flags" dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/captions.h"
#include "tests/support/program_run.h"

namespace {

using quorby::testing::ProgramRun;

class BatchViews : public ::testing::Test {
protected:
    quorby::testing::TempDir tmp;
    const std::string dir = tmp.path();

    void SetUp() override {
        std::filesystem::create_directories(dir + "/home");
        std::string main;
        for (int i = 0; i < 20000; ++i) main += char((i * 7 + 3) & 0xFF);
        quorby::testing::writeFile(dir + "/main.bin", main);
    }
    // Journals go below the test's own directory ($XDG_DATA_HOME).
    ProgramRun run(const std::string& script) {
        quorby::testing::ProgramOptions options;
        options.home = dir + "/home";
        options.mergeErrors = true;
        options.environment = {"XDG_DATA_HOME=" + dir + "/data"};
        return quorby::testing::runQuorby(script, options);
    }
};

TEST_F(BatchViews, JumpsReviewOriginalContentAndPointersWorkInTheProgram) {
    const std::string main = dir + "/main.bin";
    const ProgramRun r = run("answer no\n"
                      "open " + main + "\n"
                      "key Tab\n"
                      "type ABCD\n"
                      "key PageDown\n"
                      "key PageDown\n"
                      "type EFGH\n"
                      "key Ctrl+Home\n"
                      // The first change is on the shown page, the next one 1024 further.
                      "key Ctrl+N\n"
                      "expect state pagePos 0x400\n"
                      "expect row 1 \"45 46 47 48\"\n"
                      "key Ctrl+N\n"
                      "expect state pagePos 0x400\n"
                      "key Ctrl+P\n"
                      "expect state pagePos 0x0\n"
                      // F2 steps back to the content before the change, F4 forward again.
                      "key F2\n"
                      "expect caption \"* * * * *   Preview of VERSIONS   * * * * *   accept with RETURN   * * * * *\"\n"
                      "expect row 1 \"03 0A 11 18\"\n"
                      "key F4\n"
                      "expect row 1 \"41 42 43 44\"\n"
                      "key Down\n"
                      "expect caption \"" + quorby::testing::fileCaption(main, true) + "\"\n"
                      "expect row 1 \"41 42 43 44\"\n"
                      // F5 shows the Main File only while the key is down.
                      "hold F5\n"
                      "expect caption \"Quorby 2.5.3    " + main + "\"\n"
                      "expect row 1 \"03 0A 11 18\"\n"
                      "release\n"
                      "expect caption \"" + quorby::testing::fileCaption(main, true) + "\"\n"
                      "expect row 1 \"41 42 43 44\"\n"
                      "command \"Show &Pointers and Flags\"\n"
                      "quit\n");
    EXPECT_EQ(r.status, 0) << r.transcript;
    EXPECT_NE(r.transcript.find("DIALOG \"Pointers and Flags\""), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("\"AnfPtr\""), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("\"0000 0000  0000 0400\""), std::string::npos) << r.transcript;  // JNextAdr
}

}  // namespace
