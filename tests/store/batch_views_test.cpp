// The page views through the quorby program in batch mode: changes typed on
// two pages, Ctrl+N / Ctrl+P between them, F2 / F4 over the versions, F5 held
// and released, and the "Pointers and Flags" dialog.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ProgramRun {
    int status = -1;
    std::string transcript;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class BatchViews : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        char pattern[] = "/tmp/quorby-assembly-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::create_directories(dir + "/home");
        std::ofstream main(dir + "/main.bin", std::ios::binary);
        for (int i = 0; i < 20000; ++i) main.put(char((i * 7 + 3) & 0xFF));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Journals go below the test's own directory ($XDG_DATA_HOME).
    ProgramRun run(const std::string& script) {
        std::ofstream(dir + "/script.txt") << script;
        const std::string command = "XDG_DATA_HOME='" + dir + "/data' timeout 120 '" + QUORBY_BINARY +
                                    "' --batch '" + dir + "/script.txt' --home '" + dir + "/home' > '" + dir +
                                    "/out.txt' 2>&1";
        ProgramRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.transcript = readAll(dir + "/out.txt");
        return r;
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
                      "expect caption \"" + main + "\"\n"
                      "expect row 1 \"41 42 43 44\"\n"
                      // F5 shows the Main File only while the key is down.
                      "hold F5\n"
                      "expect caption \"Quorby 2.5.3    " + main + "\"\n"
                      "expect row 1 \"03 0A 11 18\"\n"
                      "release\n"
                      "expect caption \"" + main + "\"\n"
                      "expect row 1 \"41 42 43 44\"\n"
                      "command \"Show &Pointers and Flags\"\n"
                      "quit\n");
    EXPECT_EQ(r.status, 0) << r.transcript;
    EXPECT_NE(r.transcript.find("DIALOG \"Pointers and Flags\""), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("\"AnfPtr\""), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("\"0000 0000  0000 0400\""), std::string::npos) << r.transcript;  // JNextAdr
}

}  // namespace
