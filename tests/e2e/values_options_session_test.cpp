// The value inspector and the Options dialog through the batch mode: the
// command table, the described windows and the settings file at exit.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint8_t(bytes[offset + std::size_t(i)]);
    return v;
}

TEST(ValuesOptionsSession, ASavedValueIsOneChangeThatUndoTakesBack) {
    TempDir dir;
    std::string image(2048, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = char(i & 0xFF);
    writeFile(dir.file("data.bin"), image);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("data.bin") + "\n"
                                "key Ctrl+G\n"
                                "command 32958\n"
                                "window values set \"BYTE (8 Bit)\" 7\n"
                                "window values set 1050 -2\n"
                                "window values press 1051\n"
                                "print window values\n"
                                "expect row 1 FE FF FF FF FF FF FF FF\n"
                                "key Ctrl+Z\n"
                                "expect row 1 00 01 02 03 04 05 06 07\n"
                                "window values check \"Keep Window Position\" on\n"
                                "window values close\n"
                                "quit\n",
                                dir.path());
    EXPECT_EQ(run.status, 0) << run.transcript;
    EXPECT_TRUE(run.has("WINDOW values opened \"Value (at Cursor-Position)\"")) << run.transcript;
    EXPECT_TRUE(run.has("[1048] edit \"\" = \"FFFF FFFF FFFF FFFE\"")) << run.transcript;
    EXPECT_TRUE(run.has("at column 21 row 5")) << run.transcript;
    EXPECT_EQ(u32At(readFile(dir.file("quorby.dat")), 104), 1u) << "Keep Window Position";
}

TEST(ValuesOptionsSession, OkWritesTheNewValuesAtExitAndCancelNothing) {
    TempDir dir;
    writeFile(dir.file("data.bin"), std::string(1024, 'x'));
    BatchRun plain = runInProcess("answer no\nquit\n", dir.path());
    ASSERT_EQ(plain.status, 0) << plain.transcript;
    const std::string untouched = readFile(dir.file("quorby.dat"));

    BatchRun cancelled = runInProcess("answer no\n"
                                      "dialog choose \"256 Bytes\"\n"
                                      "dialog press \"Show ALL\"\n"
                                      "command 32934\n"
                                      "quit\n",
                                      dir.path());
    EXPECT_NE(cancelled.status, 0) << "Show ALL is a check box, not a button";
    BatchRun cancelled2 = runInProcess("answer no\n"
                                       "dialog choose \"256 Bytes\"\n"
                                       "dialog check \"Show NONE\"\n"
                                       "dialog press 2\n"
                                       "command 32934\n"
                                       "quit\n",
                                       dir.path());
    EXPECT_EQ(cancelled2.status, 0) << cancelled2.transcript;
    EXPECT_EQ(readFile(dir.file("quorby.dat")), untouched);

    BatchRun ok = runInProcess("answer no\n"
                               "open " + dir.file("data.bin") + "\n"
                               "dialog choose \"for big amount of\\nChanges\"\n"
                               "dialog press 1\n"
                               "command 32934\n"
                               "expect row 33 directly\n"
                               "dialog check \"Show NONE\"\n"
                               "dialog choose 304\n"
                               "dialog press OK\n"
                               "command 32934\n"
                               "quit\n",
                               dir.path());
    EXPECT_EQ(ok.status, 0) << ok.transcript;
    const std::string saved = readFile(dir.file("quorby.dat"));
    ASSERT_EQ(saved.size(), 4116u);
    EXPECT_EQ(u32At(saved, 64), 0x2700u) << "messageSwitches";
    EXPECT_EQ(u32At(saved, 72), 0u) << "undoOptions";
    EXPECT_EQ(u32At(saved, 76), 3u) << "accessMode";
    EXPECT_EQ(u32At(saved, 84), 8u) << "resolution";
    EXPECT_EQ(u32At(saved, 116) & 4u, 4u) << "the access-mode flags as applied";

    // The next start: no welcome message, direct access from the start.
    BatchRun next = runInProcess("open " + dir.file("data.bin") + "\nexpect row 33 directly\nquit\n", dir.path());
    EXPECT_EQ(next.status, 0) << next.transcript;
    EXPECT_FALSE(next.has("WELCOME")) << next.transcript;
}

}  // namespace
}  // namespace quorby::e2e
