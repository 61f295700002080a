// A bulk change through the batch mode: Fill Selection over a file so big
// that the "Many Changes !" dialog asks, switched to direct access for the
// fill alone and interrupted with ESC.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

class BulkChangeSession : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home");
    void SetUp() override { setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1); }
};

TEST_F(BulkChangeSession, ManyChangesSwitchesToDirectAccessForTheFill) {
    const std::string data = dir.file("big.bin");
    const unsigned long long size = 240ull << 20;   // the journal would grow by 300 MiB
    makeSparseFile(data, size, "end");
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "key F12\n"
                                "dialog set hex 41\n"
                                "dialog press OK\n"
                                "dialog check 1886\n"
                                "dialog press OK\n"
                                "pending wait 3\n"
                                "pending key Escape\n"
                                "answer yes\n"
                                "command \"Fill Selection with Hex-Value\"\n"
                                "print state\n"
                                "print row 33\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string& t = run.transcript;
    EXPECT_NE(t.find("DIALOG \"Many Changes !\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"This Operation will enlarge the Journal-File by a big amount !\""), std::string::npos) << t;
    EXPECT_NE(t.find("\"Shall Access Mode be switched to Direct-Mode temporarily ?\""), std::string::npos) << t;
    EXPECT_NE(t.find("MESSAGE Interrupt ?"), std::string::npos) << t;
    // Journal access again after the fill (access flag bit 2 clear), and its status cell.
    const std::string flags = lineStartingWith(t, "accessFlags=");
    ASSERT_FALSE(flags.empty()) << t;
    EXPECT_EQ(std::stoul(flags.substr(flags.find('=') + 1), nullptr, 16) & 4u, 0u) << flags;
    EXPECT_NE(lineStartingWith(t, "33|").find(" Journal "), std::string::npos) << t;

    // The filled part went straight into the file; the end is as it was.
    std::ifstream in(data, std::ios::binary);
    std::string first(64 * 1024, '\0'), last(64 * 1024, '\0');
    in.read(first.data(), std::streamsize(first.size()));
    in.seekg(std::streamoff(size - 64 * 1024 - 3));
    in.read(last.data(), std::streamsize(last.size()));
    EXPECT_TRUE(first == std::string(first.size(), 'A'));
    EXPECT_TRUE(last == std::string(last.size(), '\0'));
}

// In direct access with undo an undone change leaves the view and the Main
// File agreeing: the paste after it asks nothing and goes straight into the
// file, and quitting does not offer to write what is already written.
TEST_F(BulkChangeSession, AfterAnUndoInDirectAccessAPasteAsksNoQuestion) {
    const std::string data = dir.file("direct.bin");
    writeFile(data, std::string(4096, 'a'));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "dialog choose \"Direct File Access\"\n"
                                "dialog press OK\n"
                                "command 32934\n"
                                "expect row 33 directly\n"
                                "type 7E\n"
                                "answer yes\n"  // "Save Page ?"
                                "key Enter\n"
                                "key Ctrl+Z\n"
                                "clipboard data 0102030405\n"
                                "key Ctrl+V\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "Unwritten Changes !"), 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "Write File?"), 0) << run.transcript;
    // The cursor stayed behind the typed byte; the paste went there.
    std::string want(4096, 'a');
    want.replace(1, 5, "\x01\x02\x03\x04\x05");
    EXPECT_TRUE(readFile(data) == want) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
