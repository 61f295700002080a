// End-to-end sessions through the batch mode: a user opens files, looks at
// them, answers questions and quits; the transcript shows what the window
// would show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

std::string bytesFrom(int first, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += char(first + i);
    return s;
}

TEST(BatchSession, SmallFileShowsAddressHexAndCharacters) {
    TempDir dir;
    std::string home = dir.file("home");
    std::string data = dir.file("data.bin");
    writeFile(data, "Hello, Quorby!" + bytesFrom(0, 26));  // 40 bytes
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "print grid\n"
                                "print colours 1\n"
                                "print state\n"
                                "expect state fileSize 0x28\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(lineStartingWith(run.transcript, "01|").substr(0, 91),
              "01| 0000 0000 0000 0000  48 65 6C 6C 6F 2C 20 51  75 6F 72 62 79 21 00 01  Hello, Quorby!..");
    EXPECT_EQ(lineStartingWith(run.transcript, "02|").substr(0, 74),
              "02| 0000 0000 0000 0010  02 03 04 05 06 07 08 09  0A 0B 0C 0D 0E 0F 10 11 ");
    // The partial last row: 8 bytes, then blanks up to the character column.
    EXPECT_EQ(lineStartingWith(run.transcript, "03|").substr(0, 74),
              "03| 0000 0000 0000 0020  12 13 14 15 16 17 18 19                          ");
    EXPECT_EQ(lineStartingWith(run.transcript, "32|").substr(0, 24), "32| 0000 0000 0000 01F0 ");
    EXPECT_EQ(lineStartingWith(run.transcript, "pageLength="), "pageLength=40");
    EXPECT_EQ(lineStartingWith(run.transcript, "mainKind="), "mainKind=file");
    // Address column in the address colour, the cursor on the first byte.
    std::string colours = lineStartingWith(run.transcript, "01: ");
    EXPECT_EQ(colours.substr(0, 16), "01: 0-20 DDDDDD,") << colours;
    EXPECT_NE(colours.find("EEFF88"), std::string::npos) << colours;
    EXPECT_EQ(countOccurrences(run.transcript, "MESSAGE WELCOME TO QUORBY"), 1);
}

TEST(BatchSession, FileAboveFourGibibytesShowsTheHighHalfOfItsAddresses) {
    TempDir dir;
    std::string data = dir.file("big.bin");
    const unsigned long long size = 0x140000200ull;  // 5 GiB + 512
    makeSparseFile(data, size, "TAIL");
    BatchRun run = runInProcess("answer no\nopen " + data + " readonly\n"
                                "expect state fileSize 0x140000200\n"
                                "key Ctrl+End\n"
                                "print grid\nprint state\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    // File End loads the last page pair, which starts at the last byte rounded down to 1024.
    EXPECT_EQ(lineStartingWith(run.transcript, "pagePos="), "pagePos=0x140000000");
    EXPECT_EQ(lineStartingWith(run.transcript, "02|").substr(0, 24), "02| 0000 0001 4000 0010 ");
    // The row that holds the last bytes, with the high half of its address.
    EXPECT_NE(run.transcript.find(" 0000 0001 4000 01F0  00 00 00 00 00 00 00 00  00 00 00 00 54 41 49 4C "),
              std::string::npos)
        << run.transcript;
}

TEST(BatchSession, PendingEscapeStopsAutoScroll) {
    TempDir dir;
    std::string data = dir.file("mib.bin");
    writeFile(data, std::string(1 << 20, 'x'));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + " readonly\n"
                                "pending wait 3\n"
                                "pending key Escape\n"
                                "key Ctrl+Down\n"
                                "print state\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    // One poll per page: three idle polls and the key down let four pages
    // pass, the typed ESC stops the scrolling long before the end.
    EXPECT_EQ(lineStartingWith(run.transcript, "pagePos="), "pagePos=0x800") << run.transcript;
    EXPECT_NE(run.transcript.find("PENDING key down Escape\nPENDING char 27\n"), std::string::npos);
    // The key up came after the scrolling had ended: nobody took it.
    EXPECT_NE(run.transcript.find("NOTE 1 pending input events were not taken and are dropped\n"),
              std::string::npos);
}

TEST(BatchSession, NavigationOverAFifteenTebibyteSparseFile) {
    TempDir dir;
    std::string data = dir.file("huge.bin");
    const unsigned long long size = 0xF0000000000ull;  // 15 TiB
    try {
        makeSparseFile(data, size, "END!");
    } catch (const std::exception& e) {
        GTEST_SKIP() << "the filesystem of /tmp cannot hold a 15 TiB sparse file: " << e.what();
    }
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + " readonly\n"
                                "print scrollbar\n"
                                "key Ctrl+End\n"
                                "print row 32\nprint scrollbar\n"
                                "key Ctrl+Home\n"
                                "expect state pagePos 0x0\n"
                                "expect row 1  0000 0000 0000 0000 \n"
                                "scroll bottom\n"
                                "expect row 32  0000 0EFF FFFF FFF0  00 00 00 00 00 00 00 00  00 00 00 00 45 4E 44 21 \n"
                                "scroll thumb 16384\n"
                                "print row 1\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    // Shift 29 keeps the positions below 32768: (L rounded down to 512) >> 29 with the low 10 bits set.
    EXPECT_NE(run.transcript.find("> print scrollbar\nSCROLLBAR maximum=30719 position=0\n"), std::string::npos)
        << run.transcript;
    EXPECT_NE(run.transcript.find("SCROLLBAR maximum=30719 position=30719\n"), std::string::npos);
    EXPECT_NE(run.transcript.find("32| 0000 0EFF FFFF FFF0  00 00 00 00 00 00 00 00  00 00 00 00 45 4E 44 21 "),
              std::string::npos);
    // The thumb at 16384 is 16384 << 29 = 8 TiB.
    EXPECT_EQ(lineStartingWith(run.transcript, "01|").substr(0, 24), "01| 0000 0800 0000 0000 ");
}

TEST(BatchSession, MenuTextsDialogsAndClosing) {
    TempDir dir;
    std::string data = dir.file("d.bin");
    writeFile(data, "0123456789");
    BatchRun run = runInProcess("answer no\n"
                                "command \"&Info...\"\n"
                                "dialog press OK\n"
                                "command \"&Info...\"\n"
                                "open " + data + "\n"
                                "expect state mainKind file\n"
                                "command \"&Close File\"\n"
                                "expect state mainKind none\n"
                                "file cancel\n"
                                "command \"&Open\"\n"
                                "expect state mainKind none\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("DIALOG \"Info\" -> cancel (no answer queued)\n"), std::string::npos);
    EXPECT_NE(run.transcript.find("DIALOG \"Info\" -> 1\n"), std::string::npos);
    // The first Info dialog had no answer; the answer queued after it went to the second.
    EXPECT_LT(run.transcript.find("DIALOG \"Info\" -> cancel (no answer queued)\n"),
              run.transcript.find("DIALOG \"Info\" -> 1\n"));
    EXPECT_NE(run.transcript.find("FILE open \"Open File\" -> cancel\n"), std::string::npos) << run.transcript;
}

TEST(BatchSession, GotoDialogFilledByLabelAndByNumber) {
    TempDir dir;
    std::string data = dir.file("mib.bin");
    writeFile(data, std::string(1 << 20, 'g'));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + " readonly\n"
                                "dialog set \"address hex\" 12345\n"
                                "dialog press OK\n"
                                "key Ctrl+G\n"
                                "expect state cursorPos 0x12345\n"
                                "dialog set 1061 1000\n"  // the decimal address field
                                "dialog press OK\n"
                                "command \"&Address\"\n"
                                "expect state cursorPos 0x3E8\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "DIALOG \"Goto\" -> 1\n"), 2) << run.transcript;
}

TEST(BatchSession, RuntimeScriptErrorsStopTheScriptWithStatusOne) {
    TempDir dir;
    // An answer that is not a button of the welcome question.
    BatchRun misfit = runInProcess("answer ok\nprint caption\n", dir.file("home1"));
    EXPECT_EQ(misfit.status, 1);
    EXPECT_NE(misfit.transcript.find("ERROR line "), std::string::npos) << misfit.transcript;
    EXPECT_NE(misfit.transcript.find("does not fit"), std::string::npos);
    EXPECT_EQ(misfit.transcript.find("CAPTION"), std::string::npos) << "the script went on after the error";

    BatchRun failed = runInProcess("answer no\nexpect caption something else\necho not reached\n", dir.file("home2"));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.transcript.find("ERROR line 2: expected the caption \"something else\", it is \"Quorby 2.5.3     \""),
              std::string::npos)
        << failed.transcript;
    EXPECT_EQ(failed.transcript.find("not reached"), std::string::npos);

    // A dialog answer that names a control the dialog does not have.
    BatchRun badDialog = runInProcess("answer no\ndialog set Nowhere 5\ndialog press OK\ncommand \"&Info...\"\n",
                                      dir.file("home3"));
    EXPECT_EQ(badDialog.status, 1);
    EXPECT_NE(badDialog.transcript.find("ERROR line 4: dialog \"Info\" has no control \"Nowhere\""), std::string::npos)
        << badDialog.transcript;
}

TEST(BatchProgram, WelcomeQuestionAnsweredNoIsNotAskedAgain) {
    TempDir dir;
    std::string home = dir.file("home");
    BatchRun first = runProgram("answer no\nprint caption\nquit\n", home);
    ASSERT_EQ(first.status, 0) << first.transcript << first.errors;
    EXPECT_NE(first.transcript.find("MESSAGE WELCOME TO QUORBY | "), std::string::npos) << first.transcript;
    EXPECT_NE(first.transcript.find(" | [yes]/no -> no\n"), std::string::npos) << first.transcript;
    EXPECT_NE(first.transcript.find("CAPTION \"Quorby 2.5.3     \"\n"), std::string::npos);

    std::string settings = readFile(home + "/quorby.dat");
    EXPECT_EQ(settings.size(), 4116u);
    EXPECT_EQ(settings.substr(0, 4), "ehey");

    BatchRun second = runProgram("print caption\n", home);
    ASSERT_EQ(second.status, 0) << second.transcript << second.errors;
    EXPECT_EQ(second.transcript.find("WELCOME TO QUORBY"), std::string::npos) << second.transcript;

    // Without an answer the question takes its default, Yes, which keeps it.
    // This script comes through standard input and ends without quit: the
    // exit sequence runs all the same.
    std::string other = dir.file("other");
    BatchRun byDefault = runProgram("echo from stdin\n", other, true);
    ASSERT_EQ(byDefault.status, 0) << byDefault.errors;
    EXPECT_NE(byDefault.transcript.find("-> yes (default)\n"), std::string::npos) << byDefault.transcript;
    EXPECT_NE(byDefault.transcript.find("> echo from stdin\nfrom stdin\n"), std::string::npos) << byDefault.transcript;
    EXPECT_EQ(readFile(other + "/quorby.dat").size(), 4116u);
    BatchRun again = runProgram("answer yes\n", other);
    EXPECT_NE(again.transcript.find("MESSAGE WELCOME TO QUORBY | "), std::string::npos) << again.transcript;
}

TEST(BatchProgram, ScriptErrorsAreFoundBeforeAnythingRuns) {
    TempDir dir;
    std::string home = dir.file("home");
    BatchRun run = runProgram("answer no\nkey Down\nfrobnicate 3\nquit\n", home);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.transcript, "ERROR line 3: unknown command 'frobnicate'\n");
    EXPECT_NE(run.errors.find("ERROR line 3: unknown command 'frobnicate'"), std::string::npos);
    // Nothing ran: the program did not even create its settings file.
    EXPECT_FALSE(std::filesystem::exists(home + "/quorby.dat"));
}

}  // namespace
}  // namespace quorby::e2e
