// The Compare menu through the batch mode: the alignment keys and their
// limits, the Offset-Adjustment dialog, F6 held, the difference colours,
// "Show Differences permamently", the `compare` and `differences` commands,
// bad Compare Files, ESC during the scan, and a drive against its image.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "tests/support/loop_device.h"

namespace quorby::e2e {
namespace {

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = char('A' + i % 23);
    return s;
}

TEST(CompareSession, AlignmentKeysDialogF6AndDifferenceColours) {
    TempDir dir;
    std::string other = pattern(8192);
    other[0x21] = 'z';  // row 3 (0x20..0x2F), byte 1
    writeFile(dir.file("a.bin"), pattern(8192));
    writeFile(dir.file("b.bin"), other);
    writeFile(dir.file("short.bin"), pattern(20));
    BatchRun run = runInProcess(
        "answer no\n"
        "open " + dir.file("a.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("b.bin") + "\n"
        "expect state compareMode file\n"
        "print menus\n"
        "expect row 0 Offs 0000000000000000\n"
        "print colours 3\n"
        // Up then Down, Left then Right: the alignment is where it was.
        "key Ctrl+Alt+Up Ctrl+Alt+Down\n"
        "expect state compareShift 0x0\n"
        "expect state firstPoint 0x10\n"
        "key Ctrl+Alt+Left\n"
        "expect state compareShift -0x1\n"
        "expect row 0 Offs-0000000000000001\n"
        "key Ctrl+Alt+Right\n"
        "expect state compareShift 0x0\n"
        // F6 held shows the Compare File's bytes, released the Main File's again.
        "hold F6\n"
        "expect row 3 4A 7A 4C\n"
        "print colours 3\n"
        "release\n"
        "expect row 3 4A 4B 4C\n"
        // The dialog: typed points, >> and << keep the shift, RESET, Cancel, OK.
        "command \"Set &Offset\"\n"
        "window offset set 1001 \"104\"\n"
        "window offset set 1002 \"1 00\"\n"
        "expect state compareShift -0x4\n"
        "print window offset\n"
        "window offset press \"<<\"\n"
        "expect state firstPoint 0x4\n"
        "expect state secondPoint 0x0\n"
        "expect state compareShift -0x4\n"
        // No point below 0: >> waits until the second point is the larger.
        "window offset press \">>\"\n"
        "expect state firstPoint 0x4\n"
        "window offset set 1002 \"10\"\n"
        "window offset press \">>\"\n"
        "expect state firstPoint 0x0\n"
        "expect state secondPoint 0xC\n"
        "window offset press 1006\n"
        "expect state compareShift 0x0\n"
        "window offset press Cancel\n"
        "expect state firstPoint 0x11\n"
        "expect state secondPoint 0x11\n"
        "print window offset\n"
        "command \"Set &Offset\"\n"
        "window offset set 1002 \"2a\"\n"
        "window offset press OK\n"
        "expect state compareShift 0x19\n"
        "key Ctrl+Alt+Up Ctrl+Alt+Left*9\n"
        "expect state compareShift 0x0\n"
        // Permanent marks off: the normal colours; on again: the difference colour.
        "command \"&Show Differences permamently\"\n"
        "print colours 3\n"
        "print menus\n"
        "command \"&Show Differences permamently\"\n"
        "print colours 3\n"
        // The limits: a 20-byte Compare File takes one step of 16 and two of 1.
        "answer yes\n"
        "compare " + dir.file("short.bin") + "\n"
        "key Ctrl+Alt+Down*3\n"
        "expect state compareShift 0x10\n"
        "key Ctrl+Alt+Right*4\n"
        "expect state compareShift 0x12\n"
        "command \"&Activate Compare\"\n"
        "expect state compareMode none\n"
        "print row 0\n"
        "command \"&Activate Compare\"\n"
        "expect state compareMode file\n"
        "quit\n",
        dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("MESSAGE Hinweis | Compare with F6 !"), std::string::npos) << t;
    EXPECT_NE(t.find("MESSAGE 2. File smaller | WARNING !\\nThis File is smaller than the first !"), std::string::npos) << t;
    EXPECT_NE(t.find("checked items=32972,32988"), std::string::npos) << t;
    EXPECT_NE(t.find("checked items=32988\n"), std::string::npos) << t;  // permanent marks off
    // Row 3: byte 1 (cells 25..27, character cell 74) in the difference colour, the rest not.
    EXPECT_NE(t.find("03: 0-20 DDDDDD,21-24 EEFFEE,25-27 AAFFDD,28-70 EEFFEE,71-72 FFFFFF,73-73 AAFFDD,74-87 FFFFFF"),
              std::string::npos) << t;
    EXPECT_NE(t.find("03: 0-20 DDDDDD,21-24 EEEEEE,25-27 AAFFDD,28-70 EEEEEE,71-72 FFEEFF,73-73 AAFFDD,74-87 FFEEFF"),
              std::string::npos) << t;  // F6: the compare colours
    EXPECT_NE(t.find("03: 0-20 DDDDDD,21-70 EEFFEE,71-87 FFFFFF"), std::string::npos) << t;  // marks off
    EXPECT_NE(t.find("0000 0000 0000 0100"), std::string::npos) << t;  // the field written back formatted
    EXPECT_EQ(countOccurrences(t, "ERROR"), 0) << t;
}

TEST(CompareSession, DoubleClicksPickThePointsWhileTheOffsetDialogIsOpen) {
    TempDir dir;
    // The Compare File is the Main File with five bytes put in front.
    writeFile(dir.file("a.bin"), pattern(8192));
    writeFile(dir.file("b.bin"), "12345" + pattern(8192));
    BatchRun run = runInProcess(
        "answer no\n"
        "open " + dir.file("a.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("b.bin") + "\n"
        "differences\n"
        "key Ctrl+Home\n"
        "command \"Set &Offset\"\n"
        // Row 2 holds 0x10..0x1F; byte 2's digits start at column 28.
        "click 28 2 double\n"
        "expect state firstPoint 0x12\n"
        "expect state compareShift -0x12\n"
        "expect row 0 Offs-0000000000000012\n"
        // F6: the Compare File from -0x12 on. Its byte 0x17 (the Main File's
        // 0x12 after the five put in front) shows at 0x29: row 3, byte 9, column 50.
        "hold F6\n"
        "expect row 0 0E 0F 00 01\n"
        "click 50 3 double\n"
        "expect state secondPoint 0x17\n"
        "expect state compareShift 0x5\n"
        "expect row 0 Offs 0000000000000005\n"
        "expect row 0 05 06 07 08\n"
        "print window offset\n"
        "release\n"
        "expect row 0 00 01 02 03\n"
        "differences\n"
        // Closed, the dialog no longer lends the double click to the points.
        "window offset press OK\n"
        "click 28 2 double\n"
        "expect state firstPoint 0x12\n"
        "expect state compareShift 0x5\n"
        "quit\n",
        dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    // Before the points: a difference right after the shown bytes; after them, none.
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0x200\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE NOT FOUND"), std::string::npos) << t;
    // The dialog's fields show the picked points.
    EXPECT_NE(t.find("0000 0000 0000 0012"), std::string::npos) << t;
    EXPECT_NE(t.find("0000 0000 0000 0017"), std::string::npos) << t;
    EXPECT_EQ(countOccurrences(t, "ERROR"), 0) << t;
}

TEST(CompareSession, DifferencesCommandAndBadCompareFiles) {
    TempDir dir;
    std::string other = pattern(4096);
    other[3000] ^= 1;
    writeFile(dir.file("a.bin"), pattern(4096));
    writeFile(dir.file("b.bin"), other);
    writeFile(dir.file("longer.bin"), pattern(5000));
    BatchRun run = runInProcess(
        "answer no\n"
        "differences\n"
        "open " + dir.file("a.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("b.bin") + "\n"
        "differences\n"
        "expect state cursorPos 0xBB8\n"
        "differences\n"
        "expect row 0 ----- NOT FOUND -----\n"
        "key Ctrl+Home\n"
        "answer yes\n"
        "compare " + dir.file("longer.bin") + "\n"
        "differences\n"
        "expect row 0 -- EOF ON 1. FILE ---\n"
        // Files that cannot serve: missing, a directory, the Main File itself.
        "answer ok\n"
        "compare " + dir.file("missing.bin") + "\n"
        "answer ok\n"
        "compare " + dir.path() + "\n"
        "answer ok\n"
        "compare " + dir.file("a.bin") + "\n"
        "expect state compareMode file\n"
        "differences\n"
        "key Ctrl+Home\n"
        "command \"To other &Position (same File)\"\n"
        "expect state compareMode position\n"
        "differences\n"
        "key Ctrl+Alt+Right\n"
        "differences\n"
        "quit\n",
        dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("COMPARE NOT RUN"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0xBB8\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE NOT FOUND"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE EOF 0x1000 " + dir.file("a.bin")), std::string::npos) << t;
    EXPECT_NE(t.find("Error reading " + dir.file("missing.bin")), std::string::npos) << t;
    EXPECT_NE(t.find("Error reading " + dir.path()), std::string::npos) << t;
    EXPECT_NE(t.find("MESSAGE Is always in Use ! | Error reading " + dir.file("a.bin")), std::string::npos) << t;
    // The refused files left the comparison with longer.bin as it was.
    EXPECT_EQ(countOccurrences(t, "COMPARE EOF 0x1000"), 2) << t;
    // The same file at shift 0, then at shift 1: the pattern repeats every 23 bytes only.
    EXPECT_NE(t.find("COMPARE NOT FOUND\n> key Ctrl+Alt+Right\n> differences\nCOMPARE DIFFERENCE 0x200\n"),
              std::string::npos) << t;
}

// Files that agree up to the shorter one's end end in EOF whatever their
// lengths, as cmp reports them: a 100-byte Main File against 700 and against
// 500 bytes (both shorter than a view), and an empty one against 100.
TEST(CompareSession, ShortFilesOfDifferentLengthsEndInEof) {
    TempDir dir;
    writeFile(dir.file("short.bin"), pattern(100));
    writeFile(dir.file("seven.bin"), pattern(700));
    writeFile(dir.file("five.bin"), pattern(500));
    writeFile(dir.file("empty.bin"), "");
    BatchRun run = runInProcess(
        "open " + dir.file("short.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("seven.bin") + "\n"
        "differences\n"
        "answer yes\n"
        "compare " + dir.file("five.bin") + "\n"
        "differences\n"
        "open " + dir.file("empty.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("short.bin") + "\n"
        "differences\n"
        "quit\n",
        dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_EQ(countOccurrences(t, "COMPARE EOF 0x64 " + dir.file("short.bin")), 2) << t;
    EXPECT_NE(t.find("COMPARE EOF 0x0 " + dir.file("empty.bin")), std::string::npos) << t;
    EXPECT_EQ(countOccurrences(t, "COMPARE NOT FOUND"), 0) << t;
}

TEST(CompareSession, EscapeWithYesEndsTheScanAsNotFound) {
    TempDir dir;
    std::string other = pattern(3 << 20);
    other.back() ^= 1;
    writeFile(dir.file("a.bin"), pattern(3 << 20));
    writeFile(dir.file("b.bin"), other);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("a.bin") + "\n"
                                "answer no\n"
                                "compare " + dir.file("b.bin") + "\n"
                                "pending key Escape\n"
                                "answer no\n"
                                "differences\n"
                                "key Ctrl+Home\n"
                                "pending key Escape\n"
                                "answer yes\n"
                                "differences\n"
                                "expect row 0 ----- NOT FOUND -----\n"
                                "expect state pagePos 0x0\n"
                                "quit\n",
                                dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("MESSAGE Interrupt ? | Shall this Action be interrupted ?"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0x2FFFFF"), std::string::npos) << t;  // No: the scan went on
    EXPECT_NE(t.find("COMPARE INTERRUPTED"), std::string::npos) << t;
}

TEST(CompareSession, DriveAgainstItsImage) {
    TempDir dir;
    std::string image = pattern(1 << 20);
    writeFile(dir.file("drive.img"), image);
    image[0x8765A] ^= 0x10;
    writeFile(dir.file("image.bin"), image);
    testing::LoopDevice loop(dir.file("drive.img"));
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();
    BatchRun run = runInProcess("answer no\n"
                                "drive " + loop.device() + " readonly\n"
                                "answer no\n"
                                "compare " + dir.file("image.bin") + "\n"
                                "differences\n"
                                "differences\n"
                                "quit\n",
                                dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0x8765A\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE NOT FOUND"), std::string::npos) << t;
}

}  // namespace
}  // namespace quorby::e2e
