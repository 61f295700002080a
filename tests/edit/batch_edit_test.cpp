// The edit path through the real program in batch mode: typed bytes, Enter,
// page moves, undo and redo by their accelerators, the Main File untouched in
// journal access and changed in direct access only as typed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct BatchRun {
    int status = -1;
    std::string transcript;
    bool has(const std::string& s) const { return transcript.find(s) != std::string::npos; }
};

class BatchEdit : public ::testing::Test {
protected:
    std::string dir_;

    void SetUp() override {
        char tmpl[] = "/tmp/quorby-edit-batchXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        std::ofstream(dir_ + "/data.bin") << std::string(3000, 'A');
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string mainFile() {
        std::ifstream in(dir_ + "/data.bin");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    BatchRun run(const std::string& script) {
        std::ofstream(dir_ + "/script.txt") << script;
        const std::string out = dir_ + "/transcript.txt";
        std::string command = std::string("timeout 120 '") + QUORBY_BINARY + "' --batch '" + dir_ +
                              "/script.txt' --home '" + dir_ + "' > '" + out + "' 2>&1";
        BatchRun r;
        int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(out);
        std::stringstream s;
        s << in.rdbuf();
        r.transcript = s.str();
        return r;
    }
};

TEST_F(BatchEdit, TypeUndoRedoInJournalAccess) {
    BatchRun r = run(
        "answer no\n"
        "open " + dir_ + "/data.bin\n"
        "type 4142\n"
        "key Enter\n"
        "key PageDown\n"
        "type 43\n"
        "key PageUp\n"
        "expect row 1 41 42 41 41\n"
        "key Ctrl+Z\n"
        "key Ctrl+Z\n"
        "expect row 1 41 41 41 41\n"
        "key Ctrl+Y\n"
        "expect row 1 41 42 41 41\n"
        "expect state halfDirty 00\n"
        "answer no\n"
        "quit\n");
    EXPECT_EQ(r.status, 0) << r.transcript;
    EXPECT_FALSE(r.has("ERROR")) << r.transcript;
    EXPECT_EQ(mainFile(), std::string(3000, 'A'));
}

TEST_F(BatchEdit, EscQuestionAndCharacterColumn) {
    BatchRun r = run(
        "answer no\n"
        "open " + dir_ + "/data.bin\n"
        "key Tab\n"
        "type xy\n"
        "expect row 1 78 79 41\n"
        "answer yes\n"
        "type \\e\n"
        "expect row 1 41 41 41\n"
        "answer no\n"
        "quit\n");
    EXPECT_EQ(r.status, 0) << r.transcript;
    EXPECT_TRUE(r.has("MESSAGE Discard Changes ? | Discard actual Changes ?")) << r.transcript;
    EXPECT_EQ(mainFile(), std::string(3000, 'A'));
}

}  // namespace
