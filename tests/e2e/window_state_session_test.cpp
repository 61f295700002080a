// What the window says about the program's state, through the batch mode:
// the caption (file name first, "*" exactly while the Journal File holds
// changes not yet written into the Main File), a comparison ended by
// opening another file, the disassembly mode an ELF or PE header names, and
// the overview strip beside the scroll bar.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

class WindowStateSession : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home");
    void SetUp() override { setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1); }
    // The caption a desktop user reads for `name` in the test's directory.
    std::string caption(const std::string& name, bool unwritten) const {
        return name + (unwritten ? "*" : "") + " \xE2\x80\x94 " + dir.path() + " \xE2\x80\x94 Quorby";
    }
};

std::string pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = char('A' + i % 23);
    return s;
}

std::string expectCaption(const std::string& text) { return "expect caption \"" + text + "\"\n"; }

TEST_F(WindowStateSession, TheStarFollowsChangesNotYetWrittenIntoTheMainFile) {
    const std::string data = dir.file("x.bin");
    writeFile(data, pattern(4096));
    BatchRun run = runInProcess(
        "answer no\n"
        "expect caption \"Quorby 2.5.3     \"\n"
        "open " + data + "\n" +
        expectCaption(caption("x.bin", false)) +
        // Typed but not stored: nothing in the Journal File yet.
        "type 7E\n" +
        expectCaption(caption("x.bin", false)) +
        "key Enter\n" +
        expectCaption(caption("x.bin", true)) +
        // Written: the Main File holds it, the star goes.
        "answer yes\n"
        "command \"Save &File\"\n" +
        expectCaption(caption("x.bin", false)) +
        // Undoing the write takes the Main File back: the change waits again.
        "key Ctrl+Z\n" +
        expectCaption(caption("x.bin", true)) +
        // Undoing the change itself: nothing waits.
        "key Ctrl+Z\n" +
        expectCaption(caption("x.bin", false)) +
        "key Ctrl+Y\n" +
        expectCaption(caption("x.bin", true)) +
        // Discarding the page's changes: nothing waits.
        "command \"Discard Changes in Page\"\n" +
        expectCaption(caption("x.bin", false)) +
        // A change on another page, written by "Save selected Data".
        "key PageDown PageDown\n"
        "type 42\n"
        "key Enter\n" +
        expectCaption(caption("x.bin", true)) +
        "command \"Select all\"\n"
        "answer yes\n"
        "command \"Save selected Data\"\n" +
        expectCaption(caption("x.bin", false)) +
        "command \"&Close File\"\n"
        "expect caption \"Quorby 2.5.3     \"\n"
        "quit\n",
        home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "ERROR"), 0) << run.transcript;
    const std::string written = readFile(data);
    EXPECT_EQ(written[0], 'A');  // the first change was undone
    EXPECT_EQ(written[1025], char(0x42));  // the cursor stayed on the second byte of its row
}

TEST_F(WindowStateSession, InDirectAccessAStoredPageIsWrittenAndNoStarComes) {
    const std::string data = dir.file("direct.bin");
    writeFile(data, pattern(4096));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "dialog choose \"for big amount of\\nChanges\"\n"
                                "dialog press 1\n"
                                "command 32934\n"
                                "expect row 33 directly\n"
                                "type 7E\n"
                                "answer yes\n"  // "Save Page ?"
                                "key Enter\n" +
                                    expectCaption(caption("direct.bin", false)) + "print overview\nquit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("OVERVIEW changed=- unwritten=- "), std::string::npos) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "ERROR"), 0) << run.transcript;
    EXPECT_EQ(readFile(data)[0], char(0x7E));
}

TEST_F(WindowStateSession, AJournalWithUnwrittenChangesShowsTheStarWhenOpenedAgain) {
    const std::string data = dir.file("kept.bin");
    writeFile(data, pattern(2048));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "type 7F\n"
                                "key Enter\n"
                                "answer no yes\n"  // no Save File at the exit; the Journal File is kept
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    run = runInProcess("open " + data + "\n" + expectCaption(caption("kept.bin", true)) +
                           "answer yes\n"
                           "command \"Save &File\"\n" +
                           expectCaption(caption("kept.bin", false)) + "answer no\nquit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(readFile(data)[0], char(0x7F));
}

TEST_F(WindowStateSession, OpeningAnotherFileEndsTheComparisonOfTheOldOne) {
    std::string other = pattern(8192);
    other[0x1234] = 'z';
    writeFile(dir.file("a.bin"), pattern(8192));
    writeFile(dir.file("b.bin"), other);
    writeFile(dir.file("c.bin"), pattern(4096));
    BatchRun run = runInProcess(
        "answer no\n"
        "open " + dir.file("a.bin") + "\n"
        "answer yes\n"
        "compare " + dir.file("b.bin") + "\n"
        "key Ctrl+Alt+Left\n"
        "key Ctrl+Alt+Right\n"
        "differences\n"
        "expect state compareMode file\n"
        "expect row 0 Offs 0000000000000000\n"
        "print overview\n"
        // Resizing and repainting keep the offset shown.
        "resize 900 700\n"
        "expect row 0 Offs 0000000000000000\n"
        "paint\n"
        "expect row 0 Offs 0000000000000000\n"
        "open " + dir.file("c.bin") + "\n"
        "expect state compareMode none\n"
        "expect state compareShift 0x0\n"
        "print row 0\n"
        "print menus\n"
        "print overview\n"
        // Find Differences has nothing to compare with now.
        "differences\n"
        "quit\n",
        home);
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0x1234"), std::string::npos) << t;
    // 8192 bytes in 256 bins of 32: the difference at 0x1234 lies in bin 145.
    EXPECT_NE(t.find("differences=145 cursor="), std::string::npos) << t;
    const std::size_t reopened = t.find("open " + dir.file("c.bin"));
    ASSERT_NE(reopened, std::string::npos);
    const std::string after = t.substr(reopened);
    EXPECT_EQ(after.find("Offs"), std::string::npos) << after;
    EXPECT_NE(after.find("checked items=-"), std::string::npos) << after;
    EXPECT_NE(after.find("differences=- cursor=0"), std::string::npos) << after;
    EXPECT_EQ(after.find("COMPARE DIFFERENCE"), std::string::npos) << after;
    EXPECT_EQ(countOccurrences(t, "ERROR"), 0) << t;
}

// Little-endian fields written one by one into a header image.
void put16(std::string& s, std::size_t at, unsigned v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char(v >> 8);
}
void put32(std::string& s, std::size_t at, unsigned v) {
    for (int k = 0; k < 4; ++k) s[at + k] = char((v >> (8 * k)) & 0xFF);
}

std::string elfImage(int elfClass, unsigned machine) {
    std::string s(4096, '\x90');
    s.replace(0, 4, "\x7F" "ELF");
    s[4] = char(elfClass);
    s[5] = 1;  // little-endian
    s[6] = 1;
    put16(s, 16, 2);
    put16(s, 18, machine);
    put32(s, 20, 1);
    return s;
}

std::string peImage(unsigned lfanew, unsigned machine, unsigned magic) {
    std::string s(4096, '\x90');
    s[0] = 'M';
    s[1] = 'Z';
    put32(s, 0x3C, lfanew);
    if (lfanew + 26 <= s.size()) {
        s.replace(lfanew, 4, std::string("PE\0\0", 4));
        put16(s, lfanew + 4, machine);
        put16(s, lfanew + 20, 0xF0);
        put16(s, lfanew + 24, magic);
    }
    return s;
}

TEST_F(WindowStateSession, TheDisassemblyModeComesFromAnElfOrPeHeaderElseTheLastMode) {
    struct Case {
        const char* name;
        std::string image;
        const char* mode;  // the title's mode after opening the window
    };
    const Case cases[] = {
        {"elf64", elfImage(2, 62), "Protected Mode, 64 Bit"},
        {"elf32", elfImage(1, 3), "Protected Mode, 32 Bit"},
        // An ARM ELF names no x86 mode: the last one (32 bit) stays.
        {"arm", elfImage(1, 40), "Protected Mode, 32 Bit"},
        {"pe64", peImage(0x80, 0x8664, 0x20B), "Protected Mode, 64 Bit"},
        // Machine and magic disagree: damaged, the last mode (64 bit) stays.
        {"mixed", peImage(0x80, 0x14C, 0x20B), "Protected Mode, 64 Bit"},
        {"pe32", peImage(0x80, 0x14C, 0x10B), "Protected Mode, 32 Bit"},
        // e_lfanew beyond the file's end: the last mode (32 bit) stays.
        {"far", peImage(0x7FFFFFF0, 0x8664, 0x20B), "Protected Mode, 32 Bit"},
        {"raw", std::string(4096, '\x90'), "Protected Mode, 32 Bit"},
    };
    std::string script = "answer no\n";
    for (const Case& c : cases) {
        writeFile(dir.file(c.name), c.image);
        script += "open " + dir.file(c.name) + "\n"
                  "command \"&Disassemble\"\n"
                  "print window disassembly\n"
                  "window disassembly press OK\n";
    }
    // The user's own choice stands for the file once the header chose.
    script += "open " + dir.file("elf64") + "\n"
              "command \"&Disassemble\"\n"
              "window disassembly check \"Real-Mode\" on\n"
              "window disassembly press OK\n"
              "command \"&Disassemble\"\n"
              "print window disassembly\n"
              "quit\n";
    BatchRun run = runInProcess(script, home);
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    std::size_t from = 0;
    for (const Case& c : cases) {
        const std::size_t opened = t.find("open " + dir.file(c.name) + "\n", from);
        ASSERT_NE(opened, std::string::npos) << c.name;
        const std::size_t title = t.find("Mnemonics - ", opened);
        ASSERT_NE(title, std::string::npos) << c.name;
        EXPECT_EQ(t.compare(title + 12, std::string(c.mode).size(), c.mode), 0)
            << c.name << ": " << t.substr(title, 60);
        from = title;
    }
    const std::size_t last = t.rfind("Mnemonics - ");
    EXPECT_EQ(t.compare(last + 12, 19, "Real Mode, 16 Bit  "), 0) << t.substr(last, 60);
    EXPECT_EQ(countOccurrences(t, "ERROR"), 0) << t;
}

TEST_F(WindowStateSession, TheOverviewMarksChangesMatchesAndTheCursorAndAClickJumps) {
    // 256 pages: one bin of the strip per page.
    const std::string data = dir.file("big.bin");
    std::string content(256 * 512, '.');
    content.replace(100 * 512 + 7, 6, "needle");
    content.replace(250 * 512, 6, "needle");
    writeFile(data, content);
    BatchRun run = runInProcess(
        "answer no\n"
        "print overview\n"
        "open " + data + "\n"
        "print overview\n"
        "key PageDown*3\n"
        "type 41\n"
        "key Enter\n"
        "key Ctrl+End\n"
        "type 42\n"
        "key Ctrl+Home\n"
        "print overview\n"
        "answer yes\n"
        "command \"Save &File\"\n"
        "print overview\n"
        "search text needle down\n"
        "search text needle down\n"
        "print overview\n"
        // A click on bin 40: the view shows page 40.
        "overview 40\n"
        "expect state pagePos 0x5000\n"
        "print overview\n"
        // Another pattern starts the matches anew.
        "search text absent down\n"
        "print overview\n"
        "answer no\n"
        "quit\n",
        home);
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("OVERVIEW no file"), std::string::npos) << t;
    EXPECT_NE(t.find("OVERVIEW changed=- unwritten=- matches=- differences=- cursor=0\n"), std::string::npos) << t;
    // Page 3 and the last page stored, neither written yet; the cursor back at the start.
    EXPECT_NE(t.find("OVERVIEW changed=3,255 unwritten=3,255 matches=- differences=- cursor=0\n"), std::string::npos)
        << t;
    EXPECT_NE(t.find("OVERVIEW changed=3,255 unwritten=- matches=- differences=- cursor=0\n"), std::string::npos)
        << t;
    EXPECT_NE(t.find("SEARCH FOUND 0xC807"), std::string::npos) << t;
    EXPECT_NE(t.find("SEARCH FOUND 0x1F400"), std::string::npos) << t;
    EXPECT_NE(t.find("OVERVIEW changed=3,255 unwritten=- matches=100,250 differences=- cursor=250\n"),
              std::string::npos) << t;
    EXPECT_NE(t.find("OVERVIEW changed=3,255 unwritten=- matches=100,250 differences=- cursor=40\n"),
              std::string::npos) << t;
    EXPECT_NE(t.find("OVERVIEW changed=3,255 unwritten=- matches=- differences=- cursor="), std::string::npos) << t;
    EXPECT_EQ(countOccurrences(t, "ERROR"), 0) << t;
}

// Undo and Redo of a fill in direct access with undo take its pages back and
// forth in runs: the strip goes on marking them changed and none unwritten,
// as a walk of the Journal File at the next opening finds them.
TEST_F(WindowStateSession, UndoAndRedoOfADirectFillKeepTheStripAWalkShows) {
    const std::string data = dir.file("direct.bin");
    writeFile(data, std::string(256 * 512, '.'));
    const std::string strip = "OVERVIEW changed=10-20 unwritten=- matches=- differences=- cursor=";
    BatchRun run = runInProcess(
        "answer no\n"
        "open " + data + "\n"
        "dialog choose \"Direct File Access\"\n"
        "dialog press OK\n"
        "command 32934\n"
        // Pages 10 to 20: 320 lines of 16 bytes from page 10, and the byte the cursor ends on.
        "key PageDown*10\n"
        "key Shift+Down*320\n"
        "dialog set hex 41\n"
        "dialog press OK\n"
        "command \"Fill Selection with Hex-Value\"\n"
        "print overview\n"
        "key Ctrl+Z\n"
        "print overview\n" +
        expectCaption(caption("direct.bin", false)) +
        "key Ctrl+Y\n"
        "print overview\n"
        "key Ctrl+Z\n"
        "print overview\n"
        "answer yes\n"  // "Save Journal-File ?"
        "quit\n",
        home);
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_EQ(countOccurrences(t, strip), 4) << t;
    EXPECT_TRUE(readFile(data) == std::string(256 * 512, '.')) << "the last Undo put every byte back";

    BatchRun reopened = runInProcess("answer no\nopen " + data + "\nprint overview\nquit\n", home);
    ASSERT_EQ(reopened.status, 0) << reopened.transcript;
    EXPECT_EQ(countOccurrences(reopened.transcript, strip), 1) << reopened.transcript;
    EXPECT_EQ(countOccurrences(t + reopened.transcript, "ERROR"), 0) << t << reopened.transcript;
}

}  // namespace
}  // namespace quorby::e2e
