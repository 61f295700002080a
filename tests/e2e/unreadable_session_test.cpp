// A batch session on a real file whose reads fail with EIO on two ranges
// (a FUSE file): Goto next to the bad sectors shows the readable ones and
// the bad ones as "??", a backward search finds the match right before
// them, and "Save File as" copies every readable sector with a map file.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "tests/support/failing_fuse_file.h"

namespace quorby::e2e {
namespace {

constexpr std::uint64_t kSize = 1 << 20;

std::uint8_t diskByte(std::uint64_t p) {
    static const char kNeedle[] = "needle";
    if (p >= 0x7FFFA && p < 0x80000) return std::uint8_t(kNeedle[p - 0x7FFFA]);
    return std::uint8_t('a' + (p / 512) % 26);
}

TEST(UnreadableSession, GotoSearchAndSaveAsOnAFileWithFailingSectors) {
    testing::FailingFuseFile disk(kSize, diskByte, {{0x80000, 0x81000}, {0xFC000, 0xFC200}});
    if (disk.path().empty()) GTEST_SKIP() << disk.skipReason();
    TempDir dir;
    const std::string target = dir.file("copy.bin");
    BatchRun run = runInProcess("answer no\n"
                                "open " + disk.path() + " readonly\n"
                                "dialog set \"address hex\" 7FF00\n"
                                "dialog press OK\n"
                                "key Ctrl+G\n"
                                "print grid\n"
                                "dialog set \"address hex\" 80000\n"
                                "dialog press OK\n"
                                "key Ctrl+G\n"
                                "print grid\n"
                                "search text needle up\n"
                                "file " + target + "\n"
                                "command \"Save File &as\"\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string t = run.transcript;
    EXPECT_EQ(t.find("Error reading"), std::string::npos) << t;
    // The readable sector before the bad range, then the bad range as marks.
    EXPECT_NE(t.find(" 0000 0000 0007 FFF0  6A 6A 6A 6A 6A 6A 6A 6A  6A 6A 6E 65 65 64 6C 65  jjjjjjjjjjneedle"), std::string::npos) << t;
    EXPECT_NE(t.find(" 0000 0000 0008 0000  ?? ?? ?? ?? ?? ?? ?? ??  ?? ?? ?? ?? ?? ?? ?? ??  ????????????????"),
              std::string::npos) << t;
    EXPECT_NE(t.find("SEARCH FOUND 0x7FFFA\n"), std::string::npos) << t;
    // Backward from 0x80000 the search covers the first bad sector only.
    EXPECT_NE(t.find("1 unreadable range skipped: 0x80000+0x200\n"), std::string::npos) << t;
    EXPECT_NE(t.find("2 unreadable ranges of " + disk.path() + " written as zeros:"), std::string::npos) << t;

    std::string expected(kSize, '\0');
    for (std::uint64_t p = 0; p < kSize; ++p)
        if (!(p >= 0x80000 && p < 0x81000) && !(p >= 0xFC000 && p < 0xFC200)) expected[p] = char(diskByte(p));
    EXPECT_TRUE(readFile(target) == expected) << "every readable sector copied, zeros for the others";
    EXPECT_EQ(readFile(target + ".unreadable"), "0x80000 0x1000\n0xFC000 0x200\n");
}

}  // namespace
}  // namespace quorby::e2e
