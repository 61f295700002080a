// The edit path through the real program in batch mode: typed bytes, Enter,
// page moves, undo and redo by their accelerators, the Main File untouched in
// journal access and changed in direct access only as typed.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_run.h"

namespace {

using quorby::testing::ProgramRun;

class BatchEdit : public ::testing::Test {
protected:
    quorby::testing::TempDir dir;
    const std::string dir_ = dir.path();

    void SetUp() override { quorby::testing::writeFile(dir.file("data.bin"), std::string(3000, 'A')); }
    std::string mainFile() { return quorby::testing::readFile(dir.file("data.bin")); }
    ProgramRun run(const std::string& script) {
        quorby::testing::ProgramOptions options;
        options.home = dir_;
        options.mergeErrors = true;
        return quorby::testing::runQuorby(script, options);
    }
};

TEST_F(BatchEdit, TypeUndoRedoInJournalAccess) {
    ProgramRun r = run(
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
    ProgramRun r = run(
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
