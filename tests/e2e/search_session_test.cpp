// The find dialog and F3 through the batch mode, as a user works them: the
// dialog opened with its keys, filled, Find Next pressed, closed. What the
// search finds is the search command tests' matter (tests/find); here the
// keys, the batch `search` command and its transcript lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "e2e_support.h"
#include "tests/support/loop_device.h"

namespace quorby::e2e {
namespace {

// 8 KiB of zeros with the texts the tests look for.
std::string smallImage() {
    std::string bytes(8192, '\0');
    bytes.replace(0x100, 6, "abcabc");
    bytes.replace(0x180, 4, "aaaa");
    bytes.replace(0x1F0, 3, "ABC");
    return bytes;
}

TEST(SearchSession, FindNextF3TheDialogsKeysAndTheSearchCommand) {
    TempDir dir;
    writeFile(dir.file("data.bin"), smallImage());
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("data.bin") + "\n"
                                // Without the dialog open, search opens it.
                                "search text zzz\n"
                                "expect row 0 ----- NOT FOUND -----\n"
                                "key Ctrl+F\n"
                                "window find set \"Find what\" abc\n"
                                "window find check \"Match case\" on\n"
                                "window find press \"Find Next\"\n"
                                "expect row 0 ------- FOUND -------\n"
                                "expect state cursorPos 0x100\n"
                                "key F3\n"
                                "expect state cursorPos 0x103\n"
                                "window find choose Up\n"
                                "window find press \"Find Next\"\n"
                                "expect state cursorPos 0x100\n"
                                // Forward again from the match; without match case the capitals match too.
                                "search text abc down\n"
                                "expect state cursorPos 0x103\n"
                                "search text abc down\n"
                                "search text abc down case\n"
                                "search text abc up\n"
                                // Opened anew: from the first byte shown; overlapping matches one by one.
                                "key Ctrl+F\n"
                                "search text aaa down\n"
                                "key F3\n"
                                "expect state cursorPos 0x181\n"
                                // The hex dialog: quoted text and separators in the hex text.
                                "key Ctrl+H\n"
                                "print window find\n"
                                "search hex \"\\\"ab\\\"63\"\n"
                                "search hex \"61,62\"\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("> search text zzz\nWINDOW find opened \"Find TEXT\"\nSEARCH NOT FOUND\n"),
              std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find("0x103\n> search text abc down\nSEARCH FOUND 0x1F0\n"), std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find("> search text abc down case\nSEARCH NOT FOUND\n"), std::string::npos);
    EXPECT_NE(run.transcript.find("> search text abc up\nSEARCH NOT RUN\n"), std::string::npos)
        << "after NOT FOUND the dialog does nothing, in either direction, until it is opened again";
    EXPECT_NE(run.transcript.find("  [1041] check \"Match &case\" off hidden\n"), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("\nSEARCH FOUND 0x100\n> search hex \"61,62\"\nSEARCH FOUND 0x103\n"),
              std::string::npos)
        << run.transcript;
}

TEST(SearchSession, ClosingTheDialogStopsARunningSearchAndF3OpensItAgain) {
    TempDir dir;
    const unsigned long long size = 256ull << 20;
    makeSparseFile(dir.file("sparse.bin"), size, "NEEDLE");
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("sparse.bin") + "\n"
                                "pending wait 3\n"
                                "pending window find close\n"
                                "search text NEEDLE case\n"
                                "expect state pagePos 0x0\n"
                                "print row 0\n"
                                "print window find\n"
                                "key F3\n"
                                "print window find\n"
                                "print state\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("PENDING window find\nWINDOW find closed by the user\nSEARCH INTERRUPTED\n"),
              std::string::npos)
        << run.transcript;
    EXPECT_EQ(lineStartingWith(run.transcript, "00|").substr(3, 21), std::string(21, ' ')) << "no outcome line";
    EXPECT_NE(run.transcript.find("WINDOW find not open\n> key F3\nWINDOW find opened \"Find TEXT\"\n"),
              std::string::npos)
        << run.transcript;
    char expected[40];
    std::snprintf(expected, sizeof expected, "cursorPos=0x%llX", size - 6);
    EXPECT_EQ(lineStartingWith(run.transcript, "cursorPos="), expected) << "F3 searched the last text again";
}

TEST(SearchSession, SearchOnALoopDeviceFindsAPatternNearItsEnd) {
    TempDir dir;
    std::string image(1024 * 1024, '\0');
    image.replace(image.size() - 700, 8, "LOOPMARK");
    writeFile(dir.file("drive.img"), image);
    testing::LoopDevice loop(dir.file("drive.img"));
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();

    BatchRun run = runInProcess("answer no\n"
                                "drive " + loop.device() + " readonly\n"
                                "search text loopmark\n"
                                "search hex \"\\\"LOOP\\\"4D41524B\" up\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    char expected[40];
    std::snprintf(expected, sizeof expected, "SEARCH FOUND 0x%zX\n", image.size() - 700);
    const std::size_t textSearch = run.transcript.find("> search text loopmark\n");
    const std::size_t hexSearch = run.transcript.find("> search hex");
    ASSERT_NE(hexSearch, std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.substr(textSearch, hexSearch - textSearch).find(expected), std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find(expected, hexSearch), std::string::npos) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
