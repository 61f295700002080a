#include <gtest/gtest.h>

#include "journal/record_states.h"

namespace quorby {
namespace {

// A page typed and stored, the Enter key's first version of it: the version
// of H3, undone and redone to itself (H2), stored over in place under H5.
constexpr std::uint32_t kTyped = kStateStoredVersion;

TEST(RecordStates, TypedVersionIsUndoneAndRedoneToItself) {
    EXPECT_TRUE(isUndoableStoredVersion(kTyped));
    EXPECT_TRUE(holdsContentToWrite(kTyped));
    EXPECT_FALSE(showsMainFile(kTyped));

    // The page's only version: undo shows the Main File again, redo brings
    // back exactly the state before.
    const std::uint32_t undone = afterUndoOfOnlyVersion(kTyped);
    EXPECT_FALSE(isUndoableStoredVersion(undone));
    EXPECT_TRUE(showsMainFile(undone));
    EXPECT_FALSE(holdsContentToWrite(undone));
    EXPECT_TRUE(isRedoableStoredVersion(undone));
    EXPECT_EQ(afterRedoOfStoredVersion(undone), kTyped);

    // A version with an older one: it leaves the chain to the older version.
    const std::uint32_t replaced = afterUndoOfVersion(kTyped);
    EXPECT_FALSE(isUndoableStoredVersion(replaced));
    EXPECT_FALSE(isRedoableStoredVersion(replaced));
    EXPECT_TRUE(isRedoableReplacedVersion(replaced));
    EXPECT_EQ(afterRedoIntoChain(replaced), kTyped);
    // The older version standing in for it gives the place back on redo.
    const std::uint32_t older = asOlderVersion(kTyped);
    EXPECT_EQ(afterGivingChainPlace(afterTakingChainPlace(older)), older);

    // Stored again in place: still the page's undoable current version.
    EXPECT_TRUE(isUndoableStoredVersion(afterStoreInPlace(kTyped)));
    EXPECT_TRUE(holdsContentToWrite(afterStoreInPlace(kTyped)));
}

// H3: an exchange is its own inverse; H5: it is never overwritten in place.
TEST(RecordStates, ExchangesAreUndoneAndRedoneAndNeverStoredInPlace) {
    // Applied: in the chain, showing the Main File, nothing to write.
    const std::uint32_t x = kStateExchangeApplied;
    EXPECT_TRUE(isExchangeInEffect(x));
    EXPECT_TRUE(showsMainFile(x));
    EXPECT_FALSE(holdsContentToWrite(x));
    EXPECT_FALSE(isUndoableStoredVersion(x));
    // Undone alone in the chain it keeps showing the Main File; undone with
    // an older version it leaves the chain. Redo gives back the applied state.
    EXPECT_TRUE(showsMainFile(asExchangeUndone(x, true)));
    EXPECT_FALSE(isExchangeInEffect(asExchangeUndone(x, true)));
    EXPECT_EQ(asExchangeUndone(x, false) & kFlagInChain, 0u);
    EXPECT_EQ(asExchangeApplied(asExchangeUndone(x, false)), x);
    // An exchange below a new version stays an exchange, so restore finds it.
    EXPECT_TRUE(isExchangeInEffect(asOlderVersion(x)));
    // Only a version that was only stored is overwritten in place.
    EXPECT_TRUE(storesInPlace(kTyped));
    EXPECT_FALSE(storesInPlace(x));
    EXPECT_FALSE(storesInPlace(kTyped | kFlagAppendNext));
    EXPECT_FALSE(isExchange(afterStoreInPlace(kTyped)));
}

// H1: an entry is a group of records marked for undo and redo.
TEST(RecordStates, GroupMarks) {
    // A typed change clears the group marks; a new version takes them over
    // from the copy.
    const std::uint32_t grouped = withRedoGroup(withUndoGroup(kTyped));
    EXPECT_TRUE(hasUndoGroup(grouped) && hasRedoGroup(grouped));
    EXPECT_FALSE(hasUndoGroup(withoutGroupMarks(grouped)) || hasRedoGroup(withoutGroupMarks(grouped)));
    EXPECT_TRUE(hasUndoGroup(withoutRedoGroup(grouped)));
    EXPECT_FALSE(hasRedoGroup(withoutRedoGroup(grouped)));
    const std::uint32_t added = newStoredVersion(grouped);
    EXPECT_TRUE(hasUndoGroup(added) && hasRedoGroup(added));
    EXPECT_TRUE(isUndoableStoredVersion(added));
    EXPECT_NE(added & kFlagNotInUndoOrder, 0u);
    EXPECT_TRUE(hasUndoGroup(newStoredPage(grouped)));
}

}  // namespace
}  // namespace quorby
