// Typed characters reach the modes that take keys before they become bytes.
#include <gtest/gtest.h>

#include <vector>

#include "app/window_events.h"
#include "document/store_page.h"
#include "tests/support/test_app.h"

namespace quorby {
namespace {

using testing::TestApp;

TEST(KeyModes, ARunningModeTakesItsKeysInTableOrderAndTheRestAreTyped) {
    TestApp t;
    t.useDefaultSettings();
    t.createFile("/m.bin", std::vector<std::uint8_t>(2048, 0x11));
    t.openMain("/m.bin");
    t.openJournal("/j/m.jnl");
    ASSERT_EQ(t.show(), 0);
    t.app.view.cursorInChars = true;
    // Typing moves the cursor on: the byte under it before each key.
    const auto cursor = [&t] { return t.app.view.viewOffset + t.app.view.cursorOffset; };

    // No mode runs: the character is typed.
    std::uint32_t at = cursor();
    onChar(t.app, '+');
    EXPECT_EQ(t.app.view.pageBuffer[at], '+');
    EXPECT_TRUE(pageIsDirty(t.app));
    dropPageChanges(t.app);

    // Auto scroll takes a blank and ESC, nothing else.
    t.app.nav.autoScrollActive = true;
    onChar(t.app, 27);
    EXPECT_TRUE(t.app.nav.autoScrollStopRequested);
    EXPECT_FALSE(pageIsDirty(t.app)) << "ESC stopped auto scroll and discarded nothing else";
    t.app.nav.autoScrollStopRequested = false;
    t.app.nav.autoScrollActive = false;

    // A walk of the AVI menu takes its keys; a key it does not know is typed.
    t.app.avi.scanRunning = true;
    t.app.avi.playOffset = 0;
    at = cursor();
    onChar(t.app, '+');
    EXPECT_EQ(t.app.avi.playOffset, 512u);
    EXPECT_EQ(t.app.view.pageBuffer[at], 0x11) << "taken by the walk, not typed";
    EXPECT_EQ(cursor(), at);
    onChar(t.app, 'x');
    EXPECT_EQ(t.app.view.pageBuffer[at], 'x');
    dropPageChanges(t.app);

    // Both running: the blank goes to auto scroll, the first of the table.
    t.app.nav.autoScrollActive = true;
    onChar(t.app, ' ');
    EXPECT_TRUE(t.app.nav.autoScrollStopRequested);
    EXPECT_FALSE(t.app.avi.scanStopRequested);
    // A key auto scroll does not take goes on to the walk.
    onChar(t.app, '-');
    EXPECT_EQ(t.app.avi.playOffset, 0u);
    t.app.nav.autoScrollActive = false;
    t.app.avi.scanRunning = false;
}

}  // namespace
}  // namespace quorby
