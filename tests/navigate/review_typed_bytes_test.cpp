// Bytes typed but not stored yet when F2 or F4 is pressed reach the journal
// first: the review starts from them, and when it ends they are shown again,
// are kept across a restart, and one undo takes them back.
#include "tests/edit/edit_fixture.h"

#include "app/dispatch.h"
#include "core/command_codes.h"
#include "edit/undo_commands.h"
#include "navigate/version_review.h"

namespace quorby::testing {
namespace {

TEST(ReviewWithTypedBytes, F2AndF4StoreThePendingBytesBeforeTheyShowAnotherVersion) {
    for (int reviewKey : {kCmdPageVersionReviewKey, kCmdPageVersionPreviewKey}) {
        SCOPED_TRACE(reviewKey == kCmdPageVersionReviewKey ? "F2" : "F4");
        EditFixture f(4096);
        f.app.settings.messageSwitches = ~std::uint32_t{0};  // every question asked
        f.typeHex(10, 0xAA);
        f.key(kCharEnter);    // stored: the page's first version
        f.typeHex(10, 0xBB);  // typed, not stored
        ASSERT_TRUE(pageIsDirty(f.app));

        f.press(reviewKey);
        if (reviewKey == kCmdPageVersionReviewKey) {
            EXPECT_EQ(f.app.view.pageBuffer[10], 0xAA) << "the review steps back from the typed bytes";
        }
        EXPECT_FALSE(pageIsDirty(f.app));
        endVersionReview(f.app);
        EXPECT_EQ(f.shown(10), 0xBB);

        f.app.settings.messageSwitches = 0;  // the journal is kept at closing without a question
        f.quitAndReopen();
        EXPECT_EQ(f.shown(10), 0xBB);
        f.press(kCmdUndo);
        EXPECT_EQ(f.shown(10), 0xAA);
    }
}

}  // namespace
}  // namespace quorby::testing
