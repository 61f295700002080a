// The "Please wait ..." window replaces the banner while all changes are written.
#include <gtest/gtest.h>

#include "state/progress.h"
#include "tests/support/fake_platform.h"

namespace quorby {
namespace {

TEST(PleaseWait, WindowShowsMarqueeAndRecordPositionAndKeepsTheBannerAway) {
    testing::FakePlatform platform;
    AppState app;
    app.platform = &platform;

    openPleaseWait(app);
    EXPECT_TRUE(platform.pleaseWaitShown);
    EXPECT_EQ(platform.text1067, "Lasting a while ...");

    app.progress.marqueeOffset = 14;
    refreshPleaseWait(app, 0x0000000123456A80ull);
    EXPECT_EQ(platform.text1067, std::string(bannerMiddleLine(13), 88));
    EXPECT_EQ(platform.text1068, " 0000 0001 2345 6A80");

    // 257 polls refresh the marquee but draw no banner rows while the window is open.
    for (int i = 0; i < 300; ++i) ASSERT_FALSE(pollProgress(app));
    for (int row = 15; row <= 17; ++row) EXPECT_EQ(platform.row(row).find("Stop with ESC"), std::string::npos);

    closePleaseWait(app);
    EXPECT_FALSE(platform.pleaseWaitShown);
    EXPECT_FALSE(app.progress.pleaseWaitWindow);
}

}  // namespace
}  // namespace quorby
