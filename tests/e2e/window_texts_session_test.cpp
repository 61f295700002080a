// What the window says beside the bytes, through the batch mode: the info
// cell's messages last as long as their command, the bottom line names the
// Journal File by its end, and `print menus` lists what the window greys.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "app/menu_greying.h"
#include "core/command_codes.h"
#include "e2e_support.h"

namespace quorby::e2e {
namespace {

constexpr const char* kBlankInfoCell = "00|                      00 01";

TEST(WindowTextsSession, InfoCellMessagesEndWithTheirCommandAndTheJournalIsNamedByItsEnd) {
    TempDir dir;
    // A folder deep enough that the Journal File's path does not fit the bottom line.
    const std::string deep = dir.file("a-rather-long-folder-name/and-one-more-folder-name");
    std::system(("mkdir -p " + deep).c_str());
    std::string bytes(300 * 512, '\0');
    bytes.replace(0x1A4, 4, "MARK");
    bytes.replace(0x3A4, 4, "MARK");
    writeFile(deep + "/data.bin", bytes);
    std::string script = "answer no\n"
                         "open " + deep + "/data.bin\n"
                         "search text MARK\n"
                         "expect row 0 ------- FOUND -------\n"
                         "window find close\n"
                         "key F3\n"
                         "expect row 0 ------- FOUND -------\n"
                         "command \"&Address\"\n"
                         "print row 0\n"
                         "search text NOPE\n"
                         "expect row 0 ----- NOT FOUND -----\n"
                         "command \"&Disassemble\"\n"
                         "print row 0\n"
                         "window disassembly close\n";
    // 300 changed pages: Undo All shows its place every 256 steps.
    for (int page = 0; page < 300; ++page) script += "type 5A\nkey PageDown\n";
    script += "command \"Undo &All\"\n"
              "print row 0\n"
              "print row 33\n"
              "quit\n";
    BatchRun run = runInProcess(script, dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    // After Goto, after the disassembly and after Undo All the cell is blank.
    EXPECT_EQ(countOccurrences(t, kBlankInfoCell), 3) << t;
    const std::string bottom = lineStartingWith(t, "33|");
    ASSERT_FALSE(bottom.empty()) << t;
    EXPECT_EQ(bottom.substr(3, 3), "...") << bottom;
    EXPECT_NE(bottom.find("~2and-one-more-folder-name~2data.bin.jnl "), std::string::npos) << bottom;
}

// The codes of "disabled items=A,B,C" in a MENUS line.
std::set<int> greyedItems(const std::string& transcript) {
    std::set<int> codes;
    const std::string key = "disabled items=";
    const std::size_t at = transcript.find(key);
    if (at == std::string::npos) return codes;
    std::istringstream list(transcript.substr(at + key.size(), transcript.find(' ', at + key.size()) - at - key.size()));
    for (std::string code; std::getline(list, code, ',');)
        if (code != "-") codes.insert(std::stoi(code));
    return codes;
}

TEST(WindowTextsSession, PrintMenusListsTheGreyedMenusAndItemsFromTheStart) {
    TempDir dir;
    BatchRun run = runInProcess("answer no\nprint menus\nquit\n", dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("MENUS disabled menus=5 "), std::string::npos) << "the AVI menu\n" << run.transcript;
    const std::set<int> greyed = greyedItems(run.transcript);
    // The items the menu table greys: "&New", "Paste highlighted Data",
    // "Delete Drive physically", "&Undo-Preview", the label "LAST OPENED
    // FILES:" and "Re&do-Preview" (one code).
    for (int code : {kCmdNew, kCmdPasteHighlighted, kCmdDeleteDrivePhysically, kCmdUndoPreview, kCmdRedoPreview})
        EXPECT_EQ(greyed.count(code), 1u) << code;
    // Commands that run an operation are usable.
    for (int code : {kCmdOptions, kCmdShowValues, kCmdCompareToFile, kCmdCopy, kCmdPaste, kCmdFillPageWithValue,
                     kCmdEnlargeAndDecrease, kCmdEnlargeView, kCmdDisassemble, kCmdSaveFile})
        EXPECT_EQ(greyed.count(code), 0u) << code;
    // Everything else greyed is a command without an operation yet: choosing it changes nothing.
    for (int code : greyed) {
        if (code == kCmdNew || code == kCmdPasteHighlighted || code == kCmdDeleteDrivePhysically ||
            code == kCmdUndoPreview || code == kCmdRedoPreview)
            continue;
        EXPECT_FALSE(commandIsBuilt(code)) << code;
    }
}

}  // namespace
}  // namespace quorby::e2e
