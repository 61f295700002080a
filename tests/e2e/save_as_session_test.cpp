// "Save File &as" in a batch session: typed changes, stored and not yet
// stored, reach the new file; the Main File stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

TEST(SaveAsSession, TypedChangesReachTheSavedFile) {
    TempDir dir;
    const std::string data = dir.file("data.bin");
    const std::string target = dir.file("copy.bin");
    std::string content;
    for (int i = 0; i < 300000; ++i) content += char(i * 7 + (i >> 9));
    writeFile(data, content);
    writeFile(target, std::string(400000, 'x'));  // longer than the copy

    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "type 4142\n"
                                "key Ctrl+End\n"
                                "print state\n"
                                "type 43\n"  // typed, still in the page buffer
                                "file " + target + "\n"
                                "answer yes\n"
                                "command \"Save File &as\"\n"
                                "answer no\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("FILE save \"Save File as ...\" -> " + target), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("File already exists. Shall it be deleted?"), std::string::npos) << run.transcript;

    std::string expected = content;
    expected[0] = 0x41;
    expected[1] = 0x42;
    const std::string cursor = lineStartingWith(run.transcript, "cursorPos=");
    ASSERT_FALSE(cursor.empty()) << run.transcript;
    const std::size_t typedAt = std::stoul(cursor.substr(10), nullptr, 16);
    ASSERT_GT(typedAt, 262144u);  // beyond the first block of the copy
    expected[typedAt] = 0x43;
    EXPECT_EQ(readFile(target), expected);
    EXPECT_EQ(readFile(data), content);
}

}  // namespace
}  // namespace quorby::e2e
