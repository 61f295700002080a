// Another program writes into the Main File while "Save &File" writes the
// journal's changes, or before an Undo of direct changes writes the earlier
// bytes back: before each run of writes the file's last-write time is
// checked against this program's own last write, and the user is asked
// before the other program's bytes would be overwritten.
#include "tests/edit/edit_fixture.h"

#include "edit/enter_char.h"
#include "edit/fill_commands.h"
#include "edit/undo_commands.h"
#include "edit/write_all.h"

namespace quorby::testing {
namespace {

constexpr FilePos kPages = 16;
constexpr FilePos kForeign = 12 * 512 + 5;  // in a page whose change is written late

std::uint8_t typedAt(FilePos page) { return std::uint8_t(0xE0 + page); }

struct ForeignWriteFixture : EditFixture {
    ForeignWriteFixture() : EditFixture(64 * 512) {
        io.timeFromContent = true;
        (void)app.files->lastWriteTime(app.main.mainHandle, &app.main.mainTime);  // as at the opening
        app.buffers.batches.writeChunkRecords = 4;  // four pages are written at a time
        platform.yesNoDefault = MsgAnswer::No;
        for (FilePos page = 0; page < kPages; ++page) typeHex(page * 512, typedAt(page));
        key(kCharEnter);
    }
    std::uint8_t inFile(FilePos pos) { return io.bytes(mainPath)[pos]; }
    std::size_t questions() {
        std::size_t n = 0;
        for (const MessageBoxDescription& box : platform.boxes) n += box.caption == "Main File changed !";
        return n;
    }
};

TEST(ForeignWrite, AnotherProgramWritingDuringSaveFileIsAskedAboutFirst) {
    ForeignWriteFixture f;
    // The other program writes once the first pages have been written.
    const int from = f.platform.polls;
    f.platform.onPoll = [&f, from] {
        if (f.platform.polls == from + 2) f.io.bytes(f.mainPath)[kForeign] = 0x77;
    };
    EXPECT_EQ(saveFile(f.app, true), 1);
    f.endCommand();
    f.platform.onPoll = nullptr;
    EXPECT_EQ(f.questions(), 1u);
    // No: the other program's byte stays; what was written before stays too;
    // the rest is still shown from the journal.
    EXPECT_EQ(f.inFile(kForeign), 0x77);
    EXPECT_EQ(f.inFile(0), typedAt(0));
    EXPECT_EQ(f.inFile(12 * 512), originalByte(12 * 512));
    EXPECT_EQ(f.shown(12 * 512), typedAt(12));
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    // Yes: the editor's bytes are written, the whole page as it shows it.
    f.platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(saveFile(f.app, true), 0);
    f.endCommand();
    EXPECT_EQ(f.questions(), 2u);
    for (FilePos page = 0; page < kPages; ++page) EXPECT_EQ(f.inFile(page * 512), typedAt(page)) << page;
    EXPECT_EQ(f.inFile(kForeign), originalByte(kForeign));
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    // Without another program nothing is asked.
    f.typeHex(40 * 512, 0x11);
    f.key(kCharEnter);
    EXPECT_EQ(saveFile(f.app, true), 0);
    f.endCommand();
    EXPECT_EQ(f.questions(), 2u);
    EXPECT_EQ(f.inFile(40 * 512), 0x11);
}

TEST(ForeignWrite, AnotherProgramWritingBeforeAnUndoOfDirectChangesIsAskedAboutOnce) {
    EditFixture f(64 * 512, 3, true);
    f.io.timeFromContent = true;
    (void)f.app.files->lastWriteTime(f.app.main.mainHandle, &f.app.main.mainTime);
    const auto questions = [&f] {
        std::size_t n = 0;
        for (const MessageBoxDescription& box : f.platform.boxes) n += box.caption == "Main File changed !";
        return n;
    };
    // A fill of 16 pages, written into the Main File with their earlier bytes kept.
    f.app.view.selectionStart = 0;
    f.app.view.selectionEnd = 16 * 512;
    f.app.view.selectionActive = kSelectionExists;
    f.app.edit.fillValue = 0x5A;
    ASSERT_EQ(fillSelection(f.app), 0);
    f.endCommand();
    ASSERT_EQ(f.io.bytes(f.mainPath)[15 * 512], 0x5A);
    f.io.bytes(f.mainPath)[kForeign] = 0x77;  // another program

    // No: the Undo writes nothing, the other program's byte and the fill stay.
    f.platform.boxAnswers = {MsgAnswer::No};
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(questions(), 1u);
    EXPECT_EQ(f.io.bytes(f.mainPath)[kForeign], 0x77);
    EXPECT_EQ(f.io.bytes(f.mainPath)[0], 0x5A);

    // Yes, asked once for the whole fill: every page gets its earlier bytes back.
    f.platform.boxAnswers = {MsgAnswer::Yes};
    undoLastCommand(f.app);
    f.endCommand();
    EXPECT_EQ(questions(), 2u);
    for (FilePos pos = 0; pos < 16 * 512; pos += 512) EXPECT_EQ(f.io.bytes(f.mainPath)[pos], originalByte(pos)) << pos;
    EXPECT_EQ(f.io.bytes(f.mainPath)[kForeign], originalByte(kForeign));
}

}  // namespace
}  // namespace quorby::testing
