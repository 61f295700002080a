// The undo and redo commands over the undo order of the Journal File.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/undo_commands.h"
#include "journal/record_states.h"
#include "state/progress.h"

namespace quorby::testing {
namespace {

void change(EditFixture& f, FilePos pos, std::uint8_t value) {
    f.typeHex(pos, value);
    f.key(kCharEnter);
}

void command(EditFixture& f, void (*cmd)(AppState&)) {
    cmd(f.app);
    f.endCommand();
}

// H2 at both ends of the history: nothing to take back or bring back.
TEST(UndoRedo, NothingToDo) {
    EditFixture f(4096);
    command(f, undoLastCommand);
    command(f, undoAllCommand);
    command(f, redoLastCommand);
    EXPECT_EQ(f.io.bytes(f.journalPath).size(), 1024u);
    EXPECT_TRUE(f.platform.boxes.empty());

    change(f, 5, 0x55);
    const std::vector<std::uint8_t> before = f.io.bytes(f.journalPath);
    command(f, redoLastCommand);
    command(f, redoAllCommand);
    EXPECT_EQ(f.io.bytes(f.journalPath), before);
    EXPECT_EQ(f.shown(5), 0x55);
}

TEST(UndoRedo, UndoPerPageShowsThePageFirst) {
    EditFixture f(16 * 512, 3);
    change(f, 10 * 512 + 4, 0x44);
    f.cursorTo(0);
    ASSERT_EQ(f.app.view.pagePos, 0u);
    command(f, undoPerPageCommand);
    EXPECT_EQ(f.app.view.pagePos, 10u * 512);
    EXPECT_EQ(f.app.view.pageBuffer[4], 0x44);
    command(f, undoPerPageCommand);
    EXPECT_EQ(f.app.view.pageBuffer[4], originalByte(10 * 512 + 4));
    f.cursorTo(0);
    command(f, redoPerPageCommand);
    EXPECT_EQ(f.app.view.pagePos, 10u * 512);
    EXPECT_EQ(f.app.view.pageBuffer[4], originalByte(10 * 512 + 4));
    command(f, redoPerPageCommand);
    EXPECT_EQ(f.app.view.pageBuffer[4], 0x44);

    // Ctrl+Page Up / Down go to the page of the next undo / redo.
    change(f, 2 * 512, 0x20);
    command(f, undoLastCommand);
    f.cursorTo(7 * 512);
    command(f, nextUndoPositionCommand);
    EXPECT_EQ(f.app.view.cursorPos(), 2u * 512);
    command(f, previousUndoPositionCommand);
    EXPECT_EQ(f.app.view.cursorPos(), 10u * 512);
}

// H1: an entry of several records is one step of undo and of redo.
TEST(UndoRedo, GroupIsUndoneAndRedoneAsOne) {
    EditFixture f(16 * 512, 3);
    change(f, 1, 0x01);
    // Three pages stored as one group, as a paste stores them: every record
    // but the first carries the undo mark, every one but the last the redo mark.
    const FilePos pages[3] = {4 * 512, 5 * 512, 9 * 512};
    for (int i = 0; i < 3; ++i) {
        f.typeHex(pages[i] + 7, std::uint8_t(0x70 + i));
        int half = int((pages[i] - f.app.view.pagePos) / 512);
        std::uint32_t marks = (i > 0 ? kFlagUndoGroup : 0) | (i < 2 ? kFlagRedoGroup : 0);
        f.app.records.jData[half].flag |= marks;
        ASSERT_EQ(storeHalf(f.app, half), 0);
        f.endCommand();
    }
    command(f, undoLastCommand);
    for (FilePos p : pages) EXPECT_EQ(f.shown(p + 7), originalByte(p + 7));
    EXPECT_EQ(f.shown(1), 0x01);
    command(f, redoLastCommand);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.shown(pages[i] + 7), 0x70 + i);
    command(f, undoLastCommand);
    EXPECT_EQ(f.shown(1), 0x01);
    command(f, undoLastCommand);
    EXPECT_EQ(f.shown(1), originalByte(1));
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(UndoRedo, EscDuringUndoAll) {
    EditFixture f(32 * 512, 3);
    for (FilePos p = 0; p < 10; ++p) change(f, p * 512 + 9, 0xE0);
    const int pollsBefore = f.platform.polls;

    // Answered No: the undo goes on to the end.
    f.platform.escAtPoll = {pollsBefore + 2};
    f.platform.boxAnswers = {MsgAnswer::No};
    command(f, undoAllCommand);
    ASSERT_EQ(f.platform.boxes.size(), 1u);  // the question of the progress banner
    EXPECT_TRUE(isEmptyPtr(f.header().undo));
    for (FilePos p = 0; p < 10; ++p) EXPECT_EQ(f.shown(p * 512 + 9), originalByte(p * 512 + 9));

    // Answered Yes at the third record: three redone, the rest not.
    command(f, undoAllCommand);
    f.platform.escAtPoll = {f.platform.polls + 3};
    f.platform.boxAnswers = {MsgAnswer::Yes};
    command(f, redoAllCommand);
    for (FilePos p = 0; p < 3; ++p) EXPECT_EQ(f.shown(p * 512 + 9), 0xE0) << p;
    for (FilePos p = 3; p < 10; ++p) EXPECT_EQ(f.shown(p * 512 + 9), originalByte(p * 512 + 9)) << p;
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(UndoRedo, LongRunShowsTheUndoPositionEvery256Steps) {
    EditFixture f(400 * 512, 3);
    for (FilePos p = 0; p < 300; ++p) change(f, p * 512 + 1, 0xE0);
    // The header's left cell as it stands at each poll of the run.
    std::vector<std::string> cells;
    f.platform.onPoll = [&] { cells.push_back(f.platform.row(0).substr(0, 21)); };
    command(f, undoAllCommand);
    f.platform.onPoll = nullptr;

    // Before 257 steps the cell is blank; from then on it names the page of a
    // change that is still in effect, below the 43rd page (257 of 300 undone).
    std::size_t firstShown = cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] != std::string(21, ' ')) {
            firstShown = i;
            break;
        }
    }
    ASSERT_LT(firstShown, cells.size());
    EXPECT_GE(firstShown, 256u);
    const std::string& text = cells[firstShown];
    ASSERT_EQ(text.substr(0, 15), " 0000 0000 0000");
    const FilePos shownAddress = std::stoull(text.substr(16, 4), nullptr, 16);
    EXPECT_EQ(shownAddress % 512, 0u);
    EXPECT_LE(shownAddress, 43u * 512);
    EXPECT_TRUE(isEmptyPtr(f.header().undo));
}

}  // namespace
}  // namespace quorby::testing
