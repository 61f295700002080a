// Find Differences over sectors that cannot be read, in the Main File or in
// the Compare File: the scan goes on past them without a question, no
// difference is reported inside one, and the ranges are told at the end.
#include <gtest/gtest.h>

#include "salvage/byte_ranges.h"
#include "tests/compare/compare_fixture.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

TEST(UnreadableCompare, DifferencesBeyondUnreadableSectorsOfEitherFileAreFound) {
    CompareFixture f;
    std::vector<std::uint8_t> main(2 << 20), other;
    for (std::size_t i = 0; i < main.size(); ++i) main[i] = std::uint8_t(i * 3 + (i >> 11));
    other = main;
    other[0x100010] = std::uint8_t(~main[0x100010]);  // in a sector the Main File cannot read
    other[0x140000] = std::uint8_t(~main[0x140000]);  // in a sector the Compare File cannot read
    other[0x1C0007] = std::uint8_t(~main[0x1C0007]);  // the first real difference
    f.openFiles(main, other);
    f.io.unreadable["/data/main.bin"] = {{0x100000, 0x101000}};
    f.io.unreadable["/data/other.bin"] = {{0x140000, 0x140200}};
    f.compareWithOther();
    f.showAt(0);

    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Found);
    EXPECT_EQ(f.app.compare.lastPos, 0x1C0007u);
    EXPECT_EQ(skippedRangesLine(f.app.compare.skipped),
              "2 unreadable ranges skipped: 0x100000+0x1000, 0x140000+0x200");
    EXPECT_EQ(f.infoCell().substr(0, 20), "2 unreadable skipped");
    EXPECT_TRUE(f.platform.boxes.empty());

    // The next scan from there meets none of them.
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::NotFound);
    EXPECT_EQ(f.app.compare.skipped.count, 0);
}

}  // namespace
}  // namespace quorby::testing
