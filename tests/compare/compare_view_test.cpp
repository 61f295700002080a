// What the comparison shows and keeps: the other-position mode on the Main
// File's current content, F6, difference marks that never reach the Journal
// File, the banner's pace and one input event per block, and Compare Files
// that fail or shrink under the scan.
#include <cstring>

#include "compare/alignment.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "document/store_page.h"
#include "tests/compare/compare_fixture.h"
#include "view/compare_display.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

bool bannerDrawn(const FakePlatform& p) {
    for (const auto& d : p.draws)
        if (d.row == kBannerTopRow && d.text.find(kTitleFindDifferences) != std::string::npos) return true;
    return false;
}

TEST(CompareView, OtherPositionComparesTheCurrentContentOnBothSides) {
    CompareFixture f;
    f.openFiles(std::vector<std::uint8_t>(4096, 0x11), {});
    f.changePage(0x600, std::vector<std::uint8_t>(512, 0x22));  // read as the other side of 0x200
    f.changePage(0xA00, std::vector<std::uint8_t>(512, 0x33));  // 0xA00 against 0xE00: both changed alike
    f.changePage(0xE00, std::vector<std::uint8_t>(512, 0x33));
    ASSERT_EQ(compareWithPosition(f.app), 0);
    f.app.compare.secondPoint = 0x400;
    applyPoints(f.app);
    EXPECT_EQ(f.app.compare.shift, 0x400);

    // F6 shows the Main File's own current bytes 0x400 further on.
    showCompareData(f.app);
    ShownContent shown = shownContent(f.app);
    EXPECT_EQ(shown.bytes[0x200], 0x22);
    EXPECT_EQ(shown.bytes[0x1FF], 0x11);
    endCompareData(f.app);
    EXPECT_EQ(shownContent(f.app).bytes[0x200], 0x11);

    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Found);
    EXPECT_EQ(f.app.compare.lastPos, 0x200u);
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Found);
    EXPECT_EQ(f.app.compare.lastPos, 0x600u);
    // Beyond it the two changed pages agree; the shifted side ends 0x400 early.
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::LengthsDiffer);
    EXPECT_EQ(f.app.compare.lastPos, 0xC00u);
    EXPECT_FALSE(f.app.compare.lastEndedMain);
}

TEST(CompareView, DifferenceMarksStayOutOfTheJournalAndGiveWayToChangeMarks) {
    CompareFixture f;
    std::vector<std::uint8_t> other(2048, 0);
    other[5] = other[700] = 0xFF;
    f.openFiles(std::vector<std::uint8_t>(2048, 0), other);
    f.app.settings.undoOptions = 3;
    f.app.main.openReadOnly = false;
    f.app.shell.accessFlags = kAccessNotLocked | kAccessWritable;
    f.compareWithOther();
    ShownContent shown = shownContent(f.app);
    EXPECT_TRUE(shown.marks[0] & (1u << 5));
    EXPECT_TRUE(shown.marks[700 / 8] & (1u << (700 % 8)));
    EXPECT_EQ(f.app.view.changedColour, kDifferenceColour);

    f.type("AB");  // byte 0 becomes 0xAB: a change, and a difference
    ASSERT_EQ(storePage(f.app), 0);
    const std::uint8_t* changeMap = f.app.records.jData[0].changeMap;
    EXPECT_EQ(changeMap[0], 1u);  // only the typed byte, not the differences at 5 and 700
    EXPECT_EQ(changeMap[700 / 8 - 64], 0u);

    toggleDifferencesAlways(f.app);
    shown = shownContent(f.app);
    EXPECT_EQ(shown.marks, f.app.view.changedBits);
    EXPECT_TRUE(shown.marks[0] & 1u);
    EXPECT_FALSE(shown.marks[0] & (1u << 5));
    EXPECT_EQ(f.app.view.changedColour, kChangedColour);
}

TEST(CompareView, BannerAfter256WindowsAndOneInputEventPerBlock) {
    CompareFixture f;
    std::vector<std::uint8_t> other(1 << 20, 0);
    other.back() = 1;
    f.openFiles(std::vector<std::uint8_t>(1 << 20, 0), other);
    f.compareWithOther();
    f.platform.logDraws = true;

    // 200 KiB: fewer than 257 windows of 1024 bytes, no banner.
    f.showAt((1 << 20) - 200 * 1024 - 512);
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Found);
    EXPECT_FALSE(bannerDrawn(f.platform));
    EXPECT_EQ(f.platform.polls, 0);

    // 1 MiB in four blocks: three polls between them, the banner from the second on.
    f.showAt(0);
    f.platform.draws.clear();
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Found);
    EXPECT_EQ(f.app.compare.lastPos, FilePos((1 << 20) - 1));
    EXPECT_EQ(f.platform.polls, 3);
    EXPECT_TRUE(bannerDrawn(f.platform));
    EXPECT_EQ(f.platform.rowText(kBannerTopRow).find("Stop with ESC"), std::string::npos);  // the view drawn over it

    // ESC answered Yes at the first poll: not found, the view where it was.
    f.showAt(0x200, 16);
    f.platform.escAtPoll = {f.platform.polls + 1};
    f.platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Interrupted);
    EXPECT_EQ(f.app.view.pagePos, 0x200u);
    EXPECT_EQ(f.app.view.viewOffset, 16u);
    EXPECT_EQ(f.infoCell(), kInfoNotFound);
}

TEST(CompareView, FailingOrShrinkingCompareFileIsReportedAndChangesNothing) {
    CompareFixture f;
    std::vector<std::uint8_t> other(8192, 7);
    f.openFiles(std::vector<std::uint8_t>(8192, 7), other);
    f.compareWithOther();
    f.app.compare.scanBlockSize = 1024;

    f.io.bytes("/data/other.bin").resize(3000);  // shrinks while open
    f.platform.boxes.clear();
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Failed);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, "Error reading /data/other.bin");
    EXPECT_EQ(f.platform.boxes[0].caption, "Reached End of File !");
    EXPECT_EQ(f.app.view.pagePos, 0u);

    f.io.bytes("/data/other.bin") = other;
    // A file that refuses every read (not single sectors that fail).
    f.io.failRead["/data/other.bin"] = {5, EACCES};
    EXPECT_EQ(findDifferences(f.app), DifferenceResult::Failed);
    EXPECT_EQ(f.platform.boxes.back().text, "Error reading /data/other.bin");
    EXPECT_EQ(f.platform.boxes.back().caption, messageTableText(5));
    f.io.failRead.clear();
    EXPECT_EQ(f.io.bytes("/data/main.bin"), std::vector<std::uint8_t>(8192, 7));
    EXPECT_EQ(f.io.bytes("/data/other.bin"), other);

    // A choice that cannot be opened leaves the comparison as it was.
    f.io.failOpen["/data/gone.bin"] = {2, ENOENT};
    f.platform.fileAnswers.push_back({true, "/data/gone.bin", true});
    EXPECT_EQ(compareWithFile(f.app), 1);
    EXPECT_EQ(f.platform.boxes.back().text, "Error reading /data/gone.bin");
    EXPECT_EQ(f.app.compare.name, "/data/other.bin");
    EXPECT_EQ(f.app.compare.mode, CompareMode::OtherFile);
}

}  // namespace
}  // namespace quorby::testing
