#include "store/main_file.h"
#include "tests/store/store_fixture.h"

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

    EXPECT_EQ(requireFreeSpace(app, "/x", 1000), 1);
    EXPECT_EQ(requireFreeSpace(app, "/x", 5000), 1);  // larger than the whole drive
    ASSERT_EQ(platform.boxes.size(), 2u);
    const char* start = "There is not enough free Space on the Drive vor this Action!\nPlease choose another Drive";
    EXPECT_EQ(platform.boxes[0].caption, "Not enough free Space !");
    EXPECT_EQ(platform.boxes[0].text, std::string(start) + "\n\nor delete unused Files !");
    EXPECT_EQ(platform.boxes[1].caption, "Not enough Space on this Drive !");
    EXPECT_EQ(platform.boxes[1].text, std::string(start) + " !");

    io.failSpaceQuery = true;  // reported, and refused
    EXPECT_FALSE(hasFreeSpace(app, "/x", 0));
    EXPECT_EQ(requireFreeSpace(app, "/x", 0), 1);
    EXPECT_EQ(platform.boxes.at(2).text, "Error reading /x");

    io.failSpaceQuery = io.scriptedSpace = false;  // a path that does not exist yet
    DiskSpace space;
    ASSERT_EQ(io.diskSpace(dir + "not/yet/there.jnl", &space), 0);
    EXPECT_GT(space.totalBytes, 0u);
    EXPECT_FALSE(hasFreeSpace(app, dir, space.totalBytes));
}

}  // namespace
}  // namespace quorby::test
