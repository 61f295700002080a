#include <gtest/gtest.h>

#include "core/keys.h"
#include "navigate/cursor_moves.h"
#include "navigate/scroll_bar_actions.h"
#include "navigate/wheel.h"
#include "tests/navigate/nav_fixture.h"
#include "view/scroll_bar.h"

namespace quorby::test {
namespace {

constexpr FilePos kMiB = 1024 * 1024;

TEST(ScrollMapping, ShiftKeepsEveryThumbPositionBelow32768) {
    struct Case {
        FilePos size;
        std::uint32_t shift;
    } cases[] = {
        {1, 0}, {32768, 0}, {65536, 1}, {32768 * 1024, 10}, {32768 * 1024 + 1024, 11},
        {16 * kTiB, 29}, {FilePos{1} << 47, 32}, {FilePos{1} << 63, 48},
    };
    for (const Case& c : cases) {
        const FilePos last = c.size - 1;
        const std::uint32_t s = scrollShiftFor(last);
        EXPECT_EQ(s, c.shift) << c.size;
        const std::int32_t maximum = scrollMaximumFor(last, s);
        EXPECT_LT(maximum, 32768) << c.size;
        EXPECT_LT(std::int32_t((last & ~FilePos{15}) >> s), 32768) << c.size;
        EXPECT_LE(std::int32_t((last & ~FilePos{511}) >> s), maximum) << c.size;
        if (s != 0) {
            EXPECT_EQ(maximum & 1023, 1023) << c.size;
        }
    }
}

TEST(ScrollMapping, ThumbFollowsTheViewAndTrackingGoesThere) {
    NavApp t(32768 * 1024);  // shift 10
    EXPECT_EQ(t.app.nav.scrollShift, 10u);
    pageDownCommand(t.app);
    pageDownCommand(t.app);
    EXPECT_EQ(t.first(), 1024u);
    EXPECT_EQ(t.platform.scrollPosition, 1);

    t.files.reads = 0;
    scrollBarAction(t.app, ScrollAction::ThumbTrack, 20000);
    EXPECT_EQ(t.first(), FilePos{20000} << 10);
    EXPECT_EQ(t.platform.scrollPosition, 20000);
    EXPECT_LE(t.files.reads, 2);
    // Tracking within the pair in memory reads nothing.
    t.files.reads = 0;
    scrollBarAction(t.app, ScrollAction::ThumbPosition, 20000);
    EXPECT_EQ(t.files.reads, 0);

    scrollBarAction(t.app, ScrollAction::Bottom, 0);
    EXPECT_EQ(t.cursor(), 32768u * 1024 - 1);
    EXPECT_EQ(t.platform.scrollPosition, 32767);
    scrollBarAction(t.app, ScrollAction::Top, 0);
    EXPECT_EQ(t.cursor(), 0u);
    EXPECT_EQ(t.platform.scrollPosition, 0);
    scrollBarAction(t.app, ScrollAction::LineDown, 0);
    EXPECT_EQ(t.first(), 16u);
    scrollBarAction(t.app, ScrollAction::PageDown, 0);
    EXPECT_EQ(t.first(), 528u);
}

TEST(Resolutions, ViewOffsetKeepsItsMultipleAndTheLockCellShows) {
    struct Case {
        std::uint32_t resolution, step, multiple;
        const char* lock;
    } cases[] = {
        {1, 16, 1, "         "}, {2, 16, 16, "Line lock"}, {4, 256, 256, "256B lock"}, {8, 512, 512, "Page lock"},
    };
    for (const Case& c : cases) {
        NavApp t(10 * kMiB + 300, 1);
        EXPECT_EQ(showFromPosition(t.app, 5), 0);  // a byte-resolution view at an odd place
        t.app.view.cursorOffset = 200;
        const FilePos cursorBefore = t.cursor();
        setScrollResolution(t.app, c.resolution);
        EXPECT_EQ(t.app.nav.scrollStep, c.step);
        EXPECT_EQ(t.app.view.viewOffset % c.multiple, 0u);
        EXPECT_EQ(t.cursor(), cursorBefore) << "the cursor keeps its byte";
        EXPECT_EQ(t.app.view.headerShift, 0u);
        EXPECT_EQ(t.platform.row(33).substr(67, 9), c.lock);

        // Moves of every kind keep the multiple.
        auto check = [&](const char* what) {
            EXPECT_EQ(t.app.view.viewOffset % c.multiple, 0u) << c.resolution << " " << what;
            EXPECT_LT(t.app.view.viewOffset, 512u) << c.resolution << " " << what;
        };
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(cursorDown(t.app), 0);
            check("down");
        }
        t.app.view.cursorOffset = 0;
        EXPECT_EQ(cursorLeft(t.app), 0);
        check("left");
        EXPECT_EQ(t.app.view.cursorOffset, c.step - 1);
        pageDownCommand(t.app);
        check("page down");
        mouseWheel(t.app, -120, kCtrl | kShift);  // 16-byte in-page step
        check("wheel");
        scrollBarAction(t.app, ScrollAction::ThumbTrack, 777);
        check("thumb");
        viewUpCommand(t.app);
        check("view up");
        fileEndCommand(t.app);
        check("file end");
        EXPECT_EQ(t.cursor(), 10 * kMiB + 299);
    }
}

TEST(Wheel, StepsBySizeAndModifier) {
    NavigationState nav;
    computeWheelSteps(100 * kMiB, nav);
    EXPECT_EQ(nav.wheelStep[kWheelPlain], 102400u);
    EXPECT_FALSE(nav.wheelInPage[kWheelPlain]);
    EXPECT_EQ(nav.wheelStep[kWheelCtrl], 1536u);  // 1600 rounded down to 512
    EXPECT_FALSE(nav.wheelInPage[kWheelCtrl]);
    EXPECT_EQ(nav.wheelStep[kWheelShift], 16u);   // 25 rounded down to 16
    EXPECT_TRUE(nav.wheelInPage[kWheelShift]);
    EXPECT_EQ(nav.wheelStep[kWheelCtrlShift], 16u);

    computeWheelSteps(400 * 1024, nav);  // below 512 KiB: in-page steps
    EXPECT_EQ(nav.wheelStep[kWheelPlain], 400u);
    EXPECT_TRUE(nav.wheelInPage[kWheelPlain]);
    EXPECT_EQ(nav.wheelStep[kWheelCtrl], 16u);
    computeWheelSteps(5000, nav);  // tiny files still scroll
    EXPECT_EQ(nav.wheelStep[kWheelPlain], 16u);

    computeWheelSteps(64 * kTiB - 512, nav);  // page step above 32 bits
    EXPECT_EQ(nav.wheelStep[kWheelPlain], (64 * kTiB - 512) / 1024 & ~FilePos{511});
    computeWheelSteps(64 * kTiB, nav);
    EXPECT_EQ(nav.wheelStep[kWheelPlain], 0xFFFFFE00u);
    EXPECT_EQ(nav.wheelStep[kWheelCtrl], 0x0FFFFE00u);
    EXPECT_EQ(nav.wheelStep[kWheelShift], 0x00FFFE00u);
}

TEST(Wheel, NotchesMoveTheViewAndStopAtTheEnds) {
    NavApp t(100 * kMiB);
    mouseWheel(t.app, -120, kNoModifier);  // towards the user: towards the end
    EXPECT_EQ(t.first(), 102400u);
    EXPECT_LE(t.files.reads, 2);
    mouseWheel(t.app, -60, kNoModifier);  // half a notch waits for the other half
    EXPECT_EQ(t.first(), 102400u);
    mouseWheel(t.app, -60, kNoModifier);
    EXPECT_EQ(t.first(), 204800u);
    mouseWheel(t.app, 360, kNoModifier);
    EXPECT_EQ(t.first(), 0u);
    mouseWheel(t.app, -120, kCtrl | kShift);
    EXPECT_EQ(t.first(), 16u);
    mouseWheel(t.app, -120 * 2000, kNoModifier);
    EXPECT_EQ(t.first(), 100 * kMiB - 512);
    EXPECT_EQ(t.app.nav.scrollShift, 12u);
    EXPECT_EQ(t.platform.scrollPosition, std::int32_t((100 * kMiB - 512) >> 12));
}

TEST(PageMoves, PageDownAndUpReportTheEnds) {
    NavApp t(1300);
    EXPECT_EQ(pageUp(t.app), 1);
    EXPECT_EQ(pageDown(t.app), 0);
    EXPECT_EQ(t.first(), 512u);
    EXPECT_EQ(pageDown(t.app), 0);
    EXPECT_EQ(t.first(), 1024u);
    EXPECT_EQ(pageDown(t.app), 1);
    EXPECT_EQ(t.cursor(), 1024u);
    t.app.view.cursorOffset = 400;  // past the end: limited to the last byte
    EXPECT_EQ(showFromPosition(t.app, 1024), 0);
    EXPECT_EQ(t.cursor(), 1299u);
    EXPECT_EQ(pageUp(t.app), 0);
    EXPECT_EQ(t.first(), 512u);
    highlightStartCommand(t.app);  // selection start 0
    EXPECT_EQ(t.first(), 0u);
}

}  // namespace
}  // namespace quorby::test
