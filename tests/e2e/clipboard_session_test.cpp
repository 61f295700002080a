// The clipboard through the batch mode: bytes and text put on the recorded
// clipboard, pasted with Ctrl+V and written into the file; a selection
// copied with Ctrl+C and printed.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

class ClipboardSession : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home");
    void SetUp() override { setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1); }
};

TEST_F(ClipboardSession, PasteDataAndTextThenCopyASelection) {
    const std::string data = dir.file("data.bin");
    writeFile(data, std::string(1024, 'x'));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "clipboard data 41004243\n"
                                "key Ctrl+V\n"
                                "clipboard text Hi there\n"
                                "key Right*10\n"
                                "key Ctrl+V\n"
                                "key Shift+Right*3\n"   // the selection takes the cursor byte too
                                "key Ctrl+C\n"
                                "print clipboard\n"
                                "clipboard clear\n"
                                "print clipboard\n"
                                "answer yes\n"
                                "command \"Save &File\"\n"
                                "answer no no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    std::string want(1024, 'x');
    want.replace(0, 4, std::string("A\0BC", 4));
    want.replace(10, 8, "Hi there");
    EXPECT_EQ(readFile(data), want) << run.transcript;
    EXPECT_NE(run.transcript.find("CLIPBOARD application/x-quorby-datasize size=8 \"\\x04\\x00\\x00\\x00\\x00\\x00\\x00\\x00\""), std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find("CLIPBOARD text/plain size=5 \"Hi t\\x00\""), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("CLIPBOARD empty"), std::string::npos) << run.transcript;
}

TEST_F(ClipboardSession, BadClipboardCommandsAreRefused) {
    BatchRun run = runInProcess("clipboard data 4G\n", home);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.transcript.find("pairs of hex digits"), std::string::npos) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
