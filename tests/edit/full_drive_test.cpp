// A drive that fills up under the Journal File while the user types: the
// store is refused with one "Drive full !" per command, the typed bytes stay
// shown (the pair with them is not left), the Journal File still passes the
// dump, and once the drive has room again the same Enter stores them.
#include "tests/edit/edit_fixture.h"

#include "edit/enter_char.h"

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

}  // namespace
}  // namespace quorby::testing
