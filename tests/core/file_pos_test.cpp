#include "core/file_pos.h"

#include <gtest/gtest.h>

namespace quorby {
namespace {

TEST(ClampedDifference, EdgeValues) {
    constexpr FilePos kMax = ~FilePos{0};
    EXPECT_EQ(clampedDifference(0, 0), 0);
    EXPECT_EQ(clampedDifference(5, 7), -2);
    EXPECT_EQ(clampedDifference(7, 5), 2);
    EXPECT_EQ(clampedDifference(2147483647, 0), 2147483647);
    EXPECT_EQ(clampedDifference(2147483648ull, 0), 2147483647);
    EXPECT_EQ(clampedDifference(0, 2147483647), -2147483647);
    EXPECT_EQ(clampedDifference(0, 2147483648ull), -2147483647);
    EXPECT_EQ(clampedDifference(kMax, 0), 2147483647);
    EXPECT_EQ(clampedDifference(0, kMax), -2147483647);
    EXPECT_EQ(clampedDifference(kMax, kMax - 1), 1);
    EXPECT_EQ(clampedDifference(0x100000000ull, 0xFFFFFFFFull), 1);
    EXPECT_TRUE(isEmptyPtr(kEmptyPtr));  // its other forms: JournalFormat.PointerFormsAndChangedByteCount
}

}  // namespace
}  // namespace quorby
