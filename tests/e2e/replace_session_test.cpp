// Find and Replace through the batch mode: Replace All over the file or the
// selection as one change that one Ctrl+Z takes back, in journal access and
// in direct access with and without undo; Replace one match at a time; a
// replacement of another length refused; ESC in the middle; a read-only file;
// and a search that starts at the cursor.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

// What the user expects of Replace All: from the range's start, each match
// replaced and the scan going on after it; matches wholly in [from, to).
// Without case, letters a-z and the umlauts 0xE4 0xF6 0xFC match their capitals.
unsigned char folded(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c == 0xE4 || c == 0xF6 || c == 0xFC) return static_cast<unsigned char>(c - 32);
    return c;
}

std::string replacedAll(std::string s, const std::string& pattern, const std::string& with, bool foldCase,
                        std::size_t from, std::size_t to, int* count) {
    *count = 0;
    for (std::size_t at = from; at + pattern.size() <= to;) {
        bool same = true;
        for (std::size_t k = 0; k < pattern.size() && same; ++k) {
            const unsigned char a = static_cast<unsigned char>(s[at + k]);
            const unsigned char b = static_cast<unsigned char>(pattern[k]);
            same = foldCase ? folded(a) == folded(b) : a == b;
        }
        if (!same) {
            ++at;
            continue;
        }
        s.replace(at, with.size(), with);
        ++*count;
        at += pattern.size();
    }
    return s;
}

std::string replacedAll(const std::string& s, const std::string& pattern, const std::string& with, bool foldCase,
                        int* count) {
    return replacedAll(s, pattern, with, foldCase, 0, s.size(), count);
}

std::size_t hexValue(const std::string& transcript, const std::string& name) {
    const std::string line = lineStartingWith(transcript, name + "=");
    return line.empty() ? std::string::npos : std::stoul(line.substr(name.size() + 1), nullptr, 16);
}

// Dots with the text put at each place.
std::string dotsWith(std::size_t size, const std::vector<std::pair<std::size_t, std::string>>& puts) {
    std::string s(size, '.');
    for (const auto& [at, text] : puts) s.replace(at, text.size(), text);
    return s;
}

constexpr const char* kDirectAccess = "dialog choose \"Direct File Access\"\n"
                                      "dialog press OK\n"
                                      "command 32934\n";
constexpr const char* kDirectAccessWithoutUndo = "dialog choose \"Direct File Access\"\n"
                                                 "dialog choose \"deactivate Undo\"\n"
                                                 "dialog press OK\n"
                                                 "command 32934\n";

class ReplaceSession : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home");
    std::string data = dir.file("data.bin");
    void SetUp() override { setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1); }
    std::string saveAs(const std::string& name) {
        return "file " + dir.file(name) + "\ncommand \"Save File &as\"\n";
    }
};

// Matches at the file's start and end, across a page and a page-pair
// boundary, back to back, and in capitals; the Main File is not touched in
// journal access, one Ctrl+Z brings every byte back and Ctrl+Y repeats it.
TEST_F(ReplaceSession, ReplaceAllInJournalAccessIsOneChangeForUndoAndRedo) {
    const std::string original = dotsWith(8192, {{0, "abc"}, {100, "abc"}, {510, "abc"}, {1022, "abc"},
                                                 {4000, "abc"}, {5000, "abcabc"}, {6000, "ABC"}, {8189, "aBc"}});
    writeFile(data, original);
    int count = 0;
    const std::string want = replacedAll(original, "abc", "XYZ", true, &count);
    ASSERT_EQ(count, 9);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "replace text abc XYZ all\n"
                                "print row 0\n" +
                                saveAs("replaced.bin") +
                                "key Ctrl+Z\n" + saveAs("undone.bin") +
                                "key Ctrl+Y\n" + saveAs("redone.bin") +
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("\"Find and Replace\"\nREPLACED 9\n> print row 0\n"), std::string::npos)
        << run.transcript;
    EXPECT_NE(lineStartingWith(run.transcript, "00|").find("REPLACED"), std::string::npos) << run.transcript;
    EXPECT_TRUE(readFile(dir.file("replaced.bin")) == want);
    EXPECT_TRUE(readFile(dir.file("undone.bin")) == original) << "one Ctrl+Z takes every match back";
    EXPECT_TRUE(readFile(dir.file("redone.bin")) == want);
    EXPECT_TRUE(readFile(data) == original) << "journal access leaves the Main File as it is";
}

// Hex mode, "case" exactness, matches that would overlap, and a selection:
// only matches wholly inside it are replaced.
TEST_F(ReplaceSession, HexPatternsDoNotOverlapAndTheSelectionLimitsReplaceAll) {
    const std::string original = dotsWith(2048, {{16, "aaaaaaa"}, {40, "aa"}, {300, "aa"}, {600, "aa"}});
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "key Right*17\n"
                                "key F9\n"
                                "key Down*19\n"
                                "key F10\n"
                                "print state\n"
                                "replace hex \"61 61\" 7A,7A all\n" + saveAs("selected.bin") +
                                "key F11\n"
                                "replace text AA zz all case\n"
                                "replace text aA zz all\n" + saveAs("all.bin") +
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::size_t from = hexValue(run.transcript, "selectionStart");
    const std::size_t to = hexValue(run.transcript, "selectionEnd");
    ASSERT_NE(from, std::string::npos) << run.transcript;
    ASSERT_LT(from, 40u);
    ASSERT_GT(to, 302u);
    ASSERT_LT(to, 600u);
    int inSelection = 0, rest = 0;
    const std::string selected = replacedAll(original, "aa", "zz", false, from, to, &inSelection);
    EXPECT_TRUE(readFile(dir.file("selected.bin")) == selected) << "from 0x" << std::hex << from << " to 0x" << to;
    EXPECT_NE(run.transcript.find("REPLACED " + std::to_string(inSelection) + "\n"), std::string::npos)
        << run.transcript;
    // With case, "AA" finds no small letters; without, "aA" finds them all.
    const std::size_t withCase = run.transcript.find("> replace text AA zz all case\n");
    EXPECT_EQ(run.transcript.find("REPLACED ", withCase), run.transcript.find("REPLACED 0\n", withCase))
        << run.transcript;
    EXPECT_TRUE(readFile(dir.file("all.bin")) == replacedAll(selected, "aa", "zz", false, &rest));
    EXPECT_GT(rest, 0);
}

// Direct access: the replacement is in the Main File at once; with undo one
// Ctrl+Z writes the earlier bytes back, without undo the change stays.
TEST_F(ReplaceSession, DirectAccessWithAndWithoutUndo) {
    const std::string original = dotsWith(70000, {{3, "find"}, {511, "find"}, {4096, "find"}, {69996, "find"}});
    int count = 0;
    const std::string want = replacedAll(original, "find", "LOST", true, &count);
    ASSERT_EQ(count, 4);

    writeFile(data, original);
    BatchRun run = runInProcess(std::string("answer no\nopen ") + data + "\n" + kDirectAccess +
                                    "replace text find LOST all\n" + saveAs("direct.bin") + "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("REPLACED 4\n"), std::string::npos) << run.transcript;
    EXPECT_EQ(run.transcript.find("MESSAGE Save Page ?"), std::string::npos) << "no question page by page\n"
                                                                              << run.transcript;
    EXPECT_TRUE(readFile(data) == want);

    writeFile(data, original);
    run = runInProcess(std::string("open ") + data + "\n" + kDirectAccess +
                           "replace text find LOST all\n"
                           "key Ctrl+Z\n"
                           "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_TRUE(readFile(data) == original) << "one Ctrl+Z writes every earlier byte back\n" << run.transcript;

    writeFile(data, original);
    run = runInProcess(std::string("open ") + data + "\n" + kDirectAccessWithoutUndo +
                           "replace text find LOST all\n"
                           "key Ctrl+Z\n"
                           "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("REPLACED 4\n"), std::string::npos) << run.transcript;
    EXPECT_TRUE(readFile(data) == want) << "without undo nothing is kept to go back to";
}

// A replacement of another length is refused with a message, whatever the
// form; nothing changes. A read-only file in direct access asks to be
// re-opened, and No refuses the whole Replace All.
TEST_F(ReplaceSession, OtherLengthsAndADeclinedReadOnlyFileAreRefused) {
    const std::string original = dotsWith(4096, {{10, "abc"}, {2000, "abc"}});
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "replace text abc XY all\n"
                                "replace hex \"61 62\" 7A\n"
                                "replace text abc \"\" all\n" + saveAs("unchanged.bin") +
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string& t = run.transcript;
    EXPECT_EQ(countOccurrences(t, "REPLACE REFUSED\n"), 3) << t;
    EXPECT_NE(t.find("The Replacement has 2 Bytes, the Search Pattern 3."), std::string::npos) << t;
    EXPECT_NE(t.find("The Replacement has 1 Bytes, the Search Pattern 2."), std::string::npos) << t;
    EXPECT_NE(t.find("The Replacement has 0 Bytes, the Search Pattern 3."), std::string::npos) << t;
    EXPECT_EQ(t.find("SEARCH "), std::string::npos) << "a refused Replace searches nothing either";
    EXPECT_TRUE(readFile(dir.file("unchanged.bin")) == original);

    run = runInProcess("open " + data + " readonly\n" + kDirectAccess +
                           "answer no\n"
                           "replace text abc XYZ all\n"
                           "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("Re-open in Read-Write-Mode ?"), std::string::npos) << run.transcript;
    EXPECT_NE(run.transcript.find("REPLACE REFUSED\n"), std::string::npos) << run.transcript;
    EXPECT_TRUE(readFile(data) == original);
}

// Replace: the first press finds the first match; each next press replaces
// the match under the cursor and finds the next, never inside what it wrote.
TEST_F(ReplaceSession, ReplaceOneAtATimeReplacesTheFoundMatchAndFindsTheNext) {
    const std::string original = dotsWith(4096, {{100, "aaaa"}, {700, "aa"}});
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "key Ctrl+Shift+H\n"
                                "print window find\n"
                                "replace text aa ab\n"
                                "replace text aa ab\n"
                                "replace text aa ab\n"
                                "key Home\n"
                                "replace text aa ab\n"
                                "replace text aa ab\n" + saveAs("stepped.bin") +
                                "key Ctrl+Z\n" + saveAs("one-undone.bin") +
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string& t = run.transcript;
    const std::string expected =
        "> replace text aa ab\nREPLACED 0\nSEARCH FOUND 0x64\n"
        "> replace text aa ab\nREPLACED 1\nSEARCH FOUND 0x66\n"  // the rest of "aaaa", not the written "ab"
        "> replace text aa ab\nREPLACED 1\nSEARCH FOUND 0x2BC\n"
        "> key Home\n"
        "> replace text aa ab\nREPLACED 0\nSEARCH NOT FOUND\n";  // the cursor left the match: only a search
    EXPECT_NE(t.find(expected), std::string::npos) << t;
    EXPECT_NE(t.find("> replace text aa ab\nREPLACE NOT RUN\n"), std::string::npos) << t;
    // Ctrl+Shift+H opened the dialog with its replace controls.
    for (const char* control : {"WINDOW find \"Find and Replace\"", "[1153] edit", "[1024] button \"&Replace\"",
                                "[1025] button \"Replace &All\"", "[2] button \"Close\"", "[1095] radio \"He&x\" off",
                                "[1091] check \"From curs&or\" off"})
        EXPECT_NE(t.find(control), std::string::npos) << control << "\n" << t;
    std::string want = original;
    want.replace(100, 4, "abab");
    EXPECT_TRUE(readFile(dir.file("stepped.bin")) == want);
    want.replace(102, 2, "aa");
    EXPECT_TRUE(readFile(dir.file("one-undone.bin")) == want) << "each Replace is an entry of its own";
}

// ESC during Replace All over many blocks: Yes to the question stops it;
// the matches replaced so far stay, as one change that one Ctrl+Z takes back.
TEST_F(ReplaceSession, EscapeKeepsTheReplacedPartAsOneChange) {
    std::string original(8u << 20, '.');
    for (std::size_t at = 1000; at + 5 < original.size(); at += 4096) original.replace(at, 5, "hello");
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "pending wait 4\n"
                                "pending key Escape\n"
                                "answer yes\n"
                                "replace text hello HELLO all\n" + saveAs("part.bin") +
                                "key Ctrl+Z\n" + saveAs("undone.bin") +
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string& t = run.transcript;
    EXPECT_NE(t.find("MESSAGE Interrupt ?"), std::string::npos) << t;
    const std::size_t at = t.find("REPLACED ");
    ASSERT_NE(at, std::string::npos) << t;
    int replaced = 0;
    char word[16] = {};
    ASSERT_EQ(std::sscanf(t.c_str() + at, "REPLACED %d %15s", &replaced, word), 2) << t.substr(at, 40);
    EXPECT_STREQ(word, "INTERRUPTED");
    const int total = int((original.size() - 1000 + 4095) / 4096);
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, total);
    // The first `replaced` matches, in file order, and no other byte.
    std::string want = original;
    for (int k = 0; k < replaced; ++k) want.replace(1000 + std::size_t(k) * 4096, 5, "HELLO");
    EXPECT_TRUE(readFile(dir.file("part.bin")) == want);
    EXPECT_TRUE(readFile(dir.file("undone.bin")) == original);
}

// "From cursor": the search starts at the cursor instead of the first byte
// shown, backward just before it; a cursor moved between searches starts
// the next one there.
TEST_F(ReplaceSession, SearchFromTheCursor) {
    writeFile(data, dotsWith(4096, {{2, "xy"}, {40, "xy"}, {90, "xy"}}));
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "key Right*20\n"
                                "expect state cursorPos 0x14\n"
                                "search text xy from-cursor\n"
                                "search text xy from-cursor\n"
                                "key Left*10\n"
                                "search text xy up from-cursor\n"
                                "search text xy up from-cursor\n"
                                "key Right*50\n"
                                "key Ctrl+F\n"
                                "search text xy down\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string expected = "\"Find TEXT\"\nSEARCH FOUND 0x28\n"
                                 "> search text xy from-cursor\nSEARCH FOUND 0x5A\n"
                                 "> key Left*10\n"
                                 "> search text xy up from-cursor\nSEARCH FOUND 0x28\n"
                                 "> search text xy up from-cursor\nSEARCH FOUND 0x2\n"
                                 "> key Right*50\n"
                                 "> key Ctrl+F\nWINDOW find opened \"Find TEXT\"\n"  // from the cursor
                                 // the box cleared: from the top
                                 "> search text xy down\nSEARCH FOUND 0x2\n";
    EXPECT_NE(run.transcript.find(expected), std::string::npos) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
