// A drive that fills up under the Journal File while the user types: the
// store is refused with one "Drive full !" per command, the typed bytes stay
// shown (the pair with them is not left), the Journal File still passes the
// dump, and once the drive has room again the same Enter stores them.
#include <cstdio>

#include "tests/edit/edit_fixture.h"

#include "edit/enter_char.h"
#include "edit/undo_commands.h"
#include "edit/write_all.h"

namespace quorby::testing {
namespace {

TEST(FullDrive, TypedBytesStayShownUntilTheDriveHasRoom) {
    EditFixture f(8 * 512);
    f.io.driveFull = true;
    f.typeHex(10, 0x42);
    typeByte(f.app, 600, 0x43);  // on the pair's second page: two records to store
    f.key(kCharEnter);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, "Drive full !");
    EXPECT_EQ(f.shown(10), 0x42);
    EXPECT_EQ(f.shown(600), 0x43);
    EXPECT_EQ(runDump(f.io, f.journalPath).status, kDumpAllHold);

    // Moving on is refused: the typed bytes would have nowhere to go.
    EXPECT_EQ(loadPagePair(f.app, 4 * 512), 1);
    f.endCommand();
    EXPECT_EQ(f.app.view.pagePos, 0u);
    EXPECT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.shown(10), 0x42);

    // Room again: stored, and there after the program starts again.
    f.io.driveFull = false;
    f.key(kCharEnter);
    EXPECT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    f.quitAndReopen();
    EXPECT_EQ(f.shown(10), 0x42);
    EXPECT_EQ(f.shown(600), 0x43);
    EXPECT_EQ(f.shown(11), originalByte(11));
}

// The drive fills up at any write of "Save File" (with undo, its pre-images
// need new room in the rollback file and the journal): Save File stops with
// one report, the Journal File passes the dump, the view is unchanged, every
// byte of the Main File is old or new; once there is room again Save File
// finishes, the program started again shows the same, and Undo All gives the
// original back.
TEST(FullDrive, SaveFileMeetingAFullDriveAnywhereFinishesOnceThereIsRoom) {
    std::uint64_t writesOfSaveFile = 0;
    for (std::uint64_t n = 1;; ++n) {
        SCOPED_TRACE("drive full from write " + std::to_string(n) + " of Save File");
        EditFixture f(12 * 512, 3);
        for (FilePos page = 0; page < 6; ++page) {
            f.typeHex(page * 1024 + 9, std::uint8_t(0x40 + page));
            f.key(kCharEnter);
        }
        f.endCommand();
        std::vector<std::uint8_t> content(f.original.size());
        for (FilePos p = 0; p < content.size(); ++p) content[p] = f.shown(p);
        const std::size_t boxesBefore = f.platform.boxes.size();
        const std::uint64_t writesBefore = f.io.writes;
        f.io.driveFullAtWrite = writesBefore + n;
        const int saved = saveFile(f.app);
        f.endCommand();
        f.io.driveFullAtWrite = 0;
        f.io.driveFull = false;
        if (saved == 0 && f.io.writes - writesBefore < n) {
            writesOfSaveFile = f.io.writes - writesBefore;
            EXPECT_EQ(f.mainBytes(), content);
            break;
        }
        EXPECT_LE(f.platform.boxes.size(), boxesBefore + 1);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
        const std::vector<std::uint8_t> main = f.mainBytes();
        for (FilePos p = 0; p < main.size(); ++p)
            ASSERT_TRUE(main[p] == content[p] || main[p] == f.original[p]) << "byte " << p;
        for (FilePos p = 0; p < content.size(); ++p) ASSERT_EQ(f.shown(p), content[p]) << "byte " << p;
        // With room again the next command's end commits what waited, and
        // Save File writes what is left (nothing, when only the end failed).
        (void)saveFile(f.app);
        f.endCommand();
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
        EXPECT_EQ(f.mainBytes(), content);
        f.quitAndReopen();
        for (FilePos p = 0; p < content.size(); ++p) ASSERT_EQ(f.shown(p), content[p]) << "byte " << p;
        undoAllCommand(f.app);
        f.endCommand();
        EXPECT_EQ(f.mainBytes(), f.original);
        ASSERT_LT(n, 1000u) << "Save File never got through";
    }
    EXPECT_GT(writesOfSaveFile, 5u);
    std::printf("[ full ] the drive filled up at each of the %llu writes of Save File\n",
                (unsigned long long)writesOfSaveFile);
}

}  // namespace
}  // namespace quorby::testing
