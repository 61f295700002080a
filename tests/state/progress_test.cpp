#include "state/progress.h"

#include <gtest/gtest.h>

#include <cstring>

#include "state/view_state.h"
#include "tests/support/fake_platform.h"

namespace quorby {
namespace {

using testing::FakePlatform;

const std::string kEdge =
    " Stop with ESC * * * * * * * * * * * * * * * * * * * * * * * * * * * * * Stop with ESC  ";
const std::string kMarquee =
    "  Please Wait    Please Wait    Please Wait    Please Wait    Please Wait    Please Wait    Please Wait ";

class ProgressTest : public ::testing::Test {
protected:
    FakePlatform platform;
    AppState app;
    void SetUp() override { app.platform = &platform; }

    bool pollTimes(int n) {
        for (int i = 0; i < n; ++i)
            if (pollProgress(app)) return true;
        return false;
    }
    void expectBannerColour() {
        for (int r = 15; r <= 17; ++r)
            for (int c = 0; c < kGridColumns; ++c) ASSERT_EQ(platform.colours[r][c], kBannerColour) << r << "," << c;
    }
};

TEST_F(ProgressTest, BannerAppearsAtThe257thPollWithTitleAndMarquee) {
    app.progress.marqueeOffset = 14;
    startProgress(app, kTitleUndoAll);
    EXPECT_FALSE(pollTimes(256));
    EXPECT_EQ(platform.drawCalls, 0) << "a short operation never shows the banner";
    EXPECT_EQ(platform.row(15), std::string(88, ' '));
    EXPECT_EQ(platform.polls, 256) << "one input poll per step";

    EXPECT_FALSE(pollProgress(app));
    std::string top = kEdge;
    top.replace(26, 36, "           U N D O  A L L           ");
    EXPECT_EQ(platform.row(15), top);
    EXPECT_EQ(platform.row(16), kMarquee.substr(13, 88));
    EXPECT_EQ(platform.row(17), kEdge);
    expectBannerColour();
    EXPECT_EQ(platform.scrollBarCalls, 1);
    EXPECT_EQ(platform.row(14), std::string(88, ' '));
    EXPECT_EQ(platform.row(18), std::string(88, ' '));

    // The counter starts again at 256: the next refresh is 257 polls later.
    EXPECT_FALSE(pollTimes(256));
    EXPECT_EQ(platform.drawCalls, 3);
    EXPECT_FALSE(pollProgress(app));
    EXPECT_EQ(platform.drawCalls, 6);
    EXPECT_EQ(platform.row(16), kMarquee.substr(12, 88));
}

TEST_F(ProgressTest, MarqueeWrapsFromZeroToFourteenAndContinuesAcrossOperations) {
    app.progress.marqueeOffset = 0;
    startProgress(app, kTitleFindDifferences);
    pollTimes(257);
    EXPECT_EQ(app.progress.marqueeOffset, 14);
    EXPECT_EQ(platform.row(16), kMarquee.substr(14, 88));

    // A new operation does not reset the marquee.
    startProgress(app, kTitlePasteFile);
    EXPECT_EQ(app.progress.pollCounter, 256);
    pollTimes(257);
    EXPECT_EQ(app.progress.marqueeOffset, 13);
    EXPECT_EQ(platform.row(15).substr(26, 36), "         P A S T E  F I L E         ");

    for (std::int32_t offset = 0; offset <= 14; ++offset)
        EXPECT_EQ(std::string(bannerMiddleLine(offset), 88), kMarquee.substr(std::size_t(offset), 88));
}

TEST_F(ProgressTest, EscAsksAndOnlyYesStops) {
    startProgress(app, kTitleRedoAll);
    platform.escAtPoll = {3, 5};
    platform.boxAnswers = {MsgAnswer::No, MsgAnswer::Yes};
    EXPECT_FALSE(pollTimes(4));  // ESC at poll 3 answered No: goes on
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Shall this Action be interrupted ?");
    EXPECT_EQ(platform.boxes[0].caption, "Interrupt ?");
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::None);
    EXPECT_TRUE(pollProgress(app));  // the next ESC, answered Yes
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.polls, 5);
}

TEST_F(ProgressTest, TitlesArePaddedOrCutToTheirThirtySixColumns) {
    startProgress(app, "SHORT");
    refreshBanner(app);
    EXPECT_EQ(platform.row(15).substr(26, 36), "SHORT" + std::string(31, ' '));
    EXPECT_EQ(platform.row(15).substr(0, 26), kEdge.substr(0, 26));
    EXPECT_EQ(platform.row(15).substr(62), kEdge.substr(62));

    startProgress(app, "0123456789012345678901234567890123456789TOO LONG");
    refreshBanner(app);
    EXPECT_EQ(platform.row(15).substr(26, 36), "012345678901234567890123456789012345");
    EXPECT_EQ(platform.row(15).substr(62), kEdge.substr(62));
}

}  // namespace
}  // namespace quorby
