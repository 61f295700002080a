// A batch session on a real file whose reads fail with EIO on chosen ranges
// (a FUSE file), opened as a file and as a drive: Goto next to the bad
// sectors shows the readable ones and the bad ones as "??", a backward
// search finds the match right before them, and "Save File as" copies every
// readable sector with a map file.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "e2e_support.h"
#include "tests/support/failing_fuse_file.h"
#include "tests/support/loop_device.h"

namespace quorby::e2e {
namespace {

constexpr std::uint64_t kSize = 1 << 20;

std::uint8_t diskByte(std::uint64_t p) {
    static const char kNeedle[] = "needle";
    if (p >= 0x7FFFA && p < 0x80000) return std::uint8_t(kNeedle[p - 0x7FFFA]);
    return std::uint8_t('a' + (p / 512) % 26);
}

// Goto the address (hex), then the grid.
std::string gotoAndPrint(const char* address) {
    return std::string("dialog set \"address hex\" ") + address + "\ndialog press OK\nkey Ctrl+G\nprint grid\n";
}

// The drive or file saved as `target`, then the end of the session.
std::string saveAsAndQuit(const std::string& target) {
    return "file " + target + "\ncommand \"Save File &as\"\nquit\n";
}

TEST(UnreadableSession, GotoSearchAndSaveAsOnAFileWithFailingSectors) {
    testing::FailingFuseFile disk(kSize, diskByte, {{0x80000, 0x81000}, {0xFC000, 0xFC200}});
    if (disk.path().empty()) GTEST_SKIP() << disk.skipReason();
    TempDir dir;
    const std::string target = dir.file("copy.bin");
    BatchRun run = runInProcess("answer no\n"
                                "open " + disk.path() + " readonly\n" + gotoAndPrint("7FF00") + gotoAndPrint("80000") +
                                    "search text needle up\n" + saveAsAndQuit(target),
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

// A dying drive holds a read up for seconds: the search's poll keeps
// running meanwhile, so ESC (typed here by the time limit) stops it long
// before the drive answers.
TEST(UnreadableSession, AReadHeldUpByTheDriveStopsWithEsc) {
    constexpr unsigned kDriveDelayMs = 6000;
    testing::FailingFuseFile disk(kSize, diskByte, {{0x40000, 0x40200}}, {{0xC0000, 0xC0200}}, kDriveDelayMs);
    if (disk.path().empty()) GTEST_SKIP() << disk.skipReason();
    TempDir dir;
    const auto started = std::chrono::steady_clock::now();
    BatchRun run = runInProcess("answer no\n"
                                "open " + disk.path() + " readonly\n"
                                "timeout 1\n"
                                "search text haystack\n",
                                dir.file("home"));
    const auto took = std::chrono::steady_clock::now() - started;
    const std::string t = run.transcript;
    EXPECT_NE(t.find("TIMEOUT the command ran longer than 1 s: ESC typed"), std::string::npos) << t;
    EXPECT_NE(t.find("MESSAGE Vorgang abgebrochen ! | Error reading " + disk.path()), std::string::npos) << t;
    EXPECT_EQ(t.find("SEARCH FOUND"), std::string::npos) << t;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), kDriveDelayMs - 2000) << t;
}

// The same kind of file as a drive (a loop device over it): the kernel
// reads a drive a memory page of eight sectors at a time, yet only the one
// bad sector in the middle of such a page is lost, its neighbours are shown
// and copied.
TEST(UnreadableSession, ADriveLosesOnlyTheSectorThatFailsNotItsNeighbours) {
    testing::FailingFuseFile disk(kSize, diskByte, {{0x80A00, 0x80C00}});
    if (disk.path().empty()) GTEST_SKIP() << disk.skipReason();
    testing::LoopDevice loop(disk.path());
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();
    TempDir dir;
    const std::string target = dir.file("copy.bin");
    BatchRun run = runInProcess("answer no\n"
                                "drive " + loop.device() + " readonly\n" + gotoAndPrint("80800") + gotoAndPrint("80A00") +
                                    saveAsAndQuit(target),
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string t = run.transcript;
    // 0x80800 lies in the bad sector's memory page, readable.
    EXPECT_NE(t.find(" 0000 0000 0008 0800  6F 6F 6F 6F 6F 6F 6F 6F  6F 6F 6F 6F 6F 6F 6F 6F  oooooooooooooooo"),
              std::string::npos) << t;
    EXPECT_NE(t.find(" 0000 0000 0008 0A00  ?? ?? ?? ?? ?? ?? ?? ??  ?? ?? ?? ?? ?? ?? ?? ??  ????????????????"),
              std::string::npos) << t;
    EXPECT_EQ(readFile(target + ".unreadable"), "0x80A00 0x200\n");
    std::string expected(kSize, '\0');
    for (std::uint64_t p = 0; p < kSize; ++p)
        if (p < 0x80A00 || p >= 0x80C00) expected[p] = char(diskByte(p));
    EXPECT_TRUE(readFile(target) == expected) << "every readable sector copied, zeros for the bad one";
}

}  // namespace
}  // namespace quorby::e2e
