#include "tests/view/view_fixture.h"
#include "view/view_font.h"

namespace quorby::test {
namespace {

using ViewFontTest = ViewTest;
using Size = std::pair<int, int>;

TEST_F(ViewFontTest, CreateFontTakesTheRealCellSizeAndKeepsTheOldOneOnFailure) {
    platform.fontWidthDelta = 1;
    EXPECT_EQ(createViewFont(app, 10, 18), 0);
    EXPECT_EQ(Size(app.view.cellWidth, app.view.rowHeight), Size(11, 18));
    EXPECT_EQ(Size(app.view.requestedWidth, app.view.requestedHeight), Size(10, 18));
    EXPECT_EQ(platform.windowFits, std::vector<Size>{Size(11, 18)});

    platform.fontFails = true;
    EXPECT_EQ(createViewFont(app, 20, 36), 1);
    platform.fontFails = false;
    platform.fontWidthDelta = -20;  // a font without width is no font either
    EXPECT_EQ(createViewFont(app, 12, 20), 1);
    EXPECT_EQ(Size(app.view.cellWidth, app.view.requestedWidth), Size(11, 10));
    EXPECT_EQ(platform.windowFits.size(), 1u);

    // Sizes from a damaged settings file are brought into the limits.
    platform.fontWidthDelta = 0;
    EXPECT_EQ(createViewFont(app, 0, 100000), 0);
    EXPECT_EQ(platform.fontRequests.back(), Size(kMinCellWidth, kMaxCellHeight));
    EXPECT_EQ(Size(app.view.requestedWidth, app.view.requestedHeight), Size(kMinCellWidth, kMaxCellHeight));
}

TEST_F(ViewFontTest, EnlargeAndDecreaseKeepTheCellNearSixteenNinths) {
    loadPattern(0, 1024);
    EXPECT_EQ(createViewFont(app, 8, 16), 0);
    enlargeView(app);  // e = 16: only the width grows
    EXPECT_EQ(Size(app.view.requestedWidth, app.view.requestedHeight), Size(9, 16));
    EXPECT_EQ(platform.rowText(1, 0, 21), " 0000 0000 0000 0000 ");  // redrawn at once
    EXPECT_GT(platform.scrollBarCalls, 0);
    decreaseView(app);  // e = 0
    EXPECT_EQ(Size(app.view.requestedWidth, app.view.requestedHeight), Size(8, 15));

    const struct { Size from; bool enlarge; Size to; } steps[] = {
        {{10, 16}, true, {11, 18}},  // e = -16: too flat
        {{10, 16}, false, {8, 15}},
        {{8, 18}, false, {8, 17}},   // e = 34: only the height shrinks
        {{8, 12}, false, {7, 12}},   // not below 7 x 12
    };
    for (const auto& step : steps) {
        EXPECT_EQ(createViewFont(app, step.from.first, step.from.second), 0);
        step.enlarge ? enlargeView(app) : decreaseView(app);
        EXPECT_EQ(platform.fontRequests.back(), step.to) << step.from.first << "x" << step.from.second;
    }
    const std::size_t requests = platform.fontRequests.size();
    decreaseView(app);  // already 7 x 12
    EXPECT_EQ(platform.fontRequests.size(), requests);

    // A failed enlargement keeps the requested size.
    EXPECT_EQ(createViewFont(app, 9, 16), 0);
    platform.fontFails = true;
    enlargeView(app);
    EXPECT_EQ(Size(app.view.requestedWidth, app.view.requestedHeight), Size(9, 16));
}

TEST_F(ViewFontTest, ResizeRequestsGiveExactlyTheGrid) {
    EXPECT_EQ(createViewFont(app, 8, 16), 0);
    platform.fontRequests.clear();
    fitFontToClientSize(app, 88 * 9 + 87, 34 * 17 + 33);
    EXPECT_EQ(platform.fontRequests.back(), Size(9, 17));
    EXPECT_EQ(platform.windowFits.back(), Size(9, 17));
    fitFontToClientSize(app, 88 * 9, 34 * 17);  // its own size: nothing to do
    EXPECT_EQ(platform.fontRequests.size(), 1u);

    fitFontToClientSize(app, 100, 100);
    EXPECT_EQ(platform.fontRequests.back(), Size(7, 12));
    fitFontToClientSize(app, 88 * 20, 5);
    EXPECT_EQ(platform.fontRequests.back(), Size(20, 12));
    fitFontToClientSize(app, 0, 700);  // width 0: the current size stays
    EXPECT_EQ(platform.fontRequests.size(), 3u);
    EXPECT_EQ(platform.windowFits.back(), Size(20, 12));

    platform.fontFails = true;  // the window keeps the old grid
    fitFontToClientSize(app, 88 * 30, 34 * 50);
    EXPECT_EQ(app.view.cellWidth, 20);
    EXPECT_EQ(platform.windowFits.back(), Size(20, 12));
}

}  // namespace
}  // namespace quorby::test
