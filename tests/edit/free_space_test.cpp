#include "edit/free_space.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

using FreeSpaceTest = StoreTest;

TEST_F(FreeSpaceTest, FreeSpaceMustExceedTheNeed) {
    io.scriptedSpace = true;
    io.space = {1000, 5000};
    EXPECT_TRUE(hasFreeSpace(app, "/x", 999));
    EXPECT_FALSE(hasFreeSpace(app, "/x", 1000));
    EXPECT_EQ(requireFreeSpace(app, "/x", 999), 0);
    EXPECT_TRUE(platform.boxes.empty());

    // The messages of both refusals: SaveAs.TooLittleFreeSpaceShowsTheFittingMessageAndWritesNothing.
    EXPECT_EQ(requireFreeSpace(app, "/x", 1000), 1);
    ASSERT_EQ(platform.boxes.size(), 1u);

    io.failSpaceQuery = true;  // reported, and refused
    EXPECT_FALSE(hasFreeSpace(app, "/x", 0));
    EXPECT_EQ(requireFreeSpace(app, "/x", 0), 1);
    EXPECT_EQ(platform.boxes.at(1).text, "Error reading /x");

    io.failSpaceQuery = io.scriptedSpace = false;  // a path that does not exist yet
    DiskSpace space;
    ASSERT_EQ(io.diskSpace(dir + "not/yet/there.jnl", &space), 0);
    EXPECT_GT(space.totalBytes, 0u);
    EXPECT_FALSE(hasFreeSpace(app, dir, space.totalBytes));
}

}  // namespace
}  // namespace quorby::test
