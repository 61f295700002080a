#include "app/dispatch.h"
#include "app/window_events.h"
#include "core/command_codes.h"
#include "navigate/change_jumps.h"
#include "inspect/pointers_dialog.h"
#include "navigate/unchanged_view.h"
#include "navigate/version_review.h"
#include "tests/document/assembly_fixture.h"
#include "tests/support/captions.h"

namespace quorby::test {
namespace {

class Review : public AssemblyTest {
protected:
    FilePos v1 = 0, v2 = 0, v3 = 0;
    void SetUp() override {
        AssemblyTest::SetUp();
        app.view.storedHexBackground = kHexBackground;
        app.view.storedCharBackground = kCharBackground;
        // Page 2 (the first page of the pair at 1024) in three versions.
        v1 = addPage(1024, 0x11, kFlagUnwritten);
        v2 = addNewerVersion(1024, 0x22, kFlagUnwritten | kFlagNoChangeMap);
        v3 = addNewerVersion(1024, 0x33, kFlagInEffect | kFlagUnwritten);
        addPage(1536, 0x55);
        ASSERT_EQ(loadPagePair(app, 1024), 0);
    }
};

TEST_F(Review, F2AndF4StepThroughTheVersionsAndAnyOtherCommandRestoresThePage) {
    // The records, not the header, which the end of each command commits.
    const std::vector<std::uint8_t> recordsBefore(journalBytes().begin() + 1024, journalBytes().end());
    app.view.viewOffset = 128;
    app.view.cursorOffset = 10;

    dispatchCommand(app, kCmdPageVersionReviewKey);  // F2: v2
    EXPECT_EQ(app.records.reviewState, kReviewFirstPage);
    EXPECT_EQ(app.records.jData[0].jAdr, v2);
    EXPECT_EQ(shown(0), 0x22);
    EXPECT_EQ(app.view.changedBits[0], 0);  // v2 carries no change map
    EXPECT_EQ(app.view.viewOffset, 0u);     // shown from its first row
    EXPECT_EQ(app.view.cursorOffset, 138u); // on the same byte
    EXPECT_EQ(platform.caption, kReviewCaption);
    EXPECT_EQ(app.view.hexBackground, kReviewHexBackground);
    EXPECT_EQ(app.view.charBackground, kReviewCharBackground);
    EXPECT_EQ(shown(512), 0x55);            // the other page stays

    dispatchCommand(app, kCmdPageVersionReview);  // v1
    EXPECT_EQ(app.records.jData[0].jAdr, v1);
    EXPECT_EQ(shown(511), 0x11);
    EXPECT_EQ(app.view.changedBits[0], 0x0F);

    // At the oldest version, with a Flag that does not match 0x100105 under
    // 0x322135: nothing changes.
    dispatchCommand(app, kCmdPageVersionReviewKey);
    EXPECT_EQ(app.records.jData[0].jAdr, v1);
    EXPECT_EQ(shown(0), 0x11);
    EXPECT_EQ(app.records.reviewState, kReviewFirstPage);

    // F4 turns the review into a preview without showing the page between.
    platform.caption.clear();
    dispatchCommand(app, kCmdPageVersionPreviewKey);
    EXPECT_EQ(app.records.reviewState, kPreviewFirstPage);
    EXPECT_EQ(app.records.jData[0].jAdr, v2);
    EXPECT_EQ(shown(0), 0x22);
    EXPECT_EQ(platform.caption, kReviewCaption);
    dispatchCommand(app, kCmdPageVersionPreview);
    dispatchCommand(app, kCmdPageVersionPreview);  // at the newest: nothing more
    EXPECT_EQ(app.records.jData[0].jAdr, v3);
    EXPECT_EQ(shown(0), 0x33);

    dispatchCommand(app, kCmdPageVersionReview);
    dispatchCommand(app, kCmdArrowUp);  // any other command ends the review
    EXPECT_EQ(app.records.reviewState, 0u);
    EXPECT_EQ(platform.caption, testing::fileCaption("/data/main.bin", false));
    EXPECT_EQ(app.view.hexBackground, kHexBackground);
    EXPECT_EQ(app.view.charBackground, kCharBackground);
    EXPECT_EQ(app.records.jData[0].jAdr, v3);
    EXPECT_EQ(shown(0), 0x33);
    EXPECT_EQ(app.view.changedBits[0], 0x0F);
    expectPairMatchesChain("after the review");
    // A review only reads: the Journal File is as it was.
    EXPECT_EQ(std::vector<std::uint8_t>(journalBytes().begin() + 1024, journalBytes().end()), recordsBefore);
}

TEST_F(Review, TheMainFilesEarlierContentIsTheStepBeforeTheOldestVersion) {
    addPage(4096, 0x44, 0x100105);
    forgetCursorRecords(app);  // a record added away from the shown pair
    ASSERT_EQ(loadPagePair(app, 4096), 0);
    app.view.viewOffset = 0;
    EXPECT_EQ(shown(0), 0x44);

    reviewOlderVersion(app);
    EXPECT_EQ(app.records.reviewState, kReviewFirstPage);
    EXPECT_EQ(app.records.jData[0].flag, 0x500025u);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(shown(i), mainByte(4096 + i)) << i;
    EXPECT_EQ(app.view.changedBits[0], 0);

    previewNewerVersion(app);  // back to the record's own content
    EXPECT_EQ(app.records.reviewState, kPreviewFirstPage);
    EXPECT_EQ(app.records.jData[0].flag, 0x100105u);
    EXPECT_EQ(shown(0), 0x44);
    EXPECT_EQ(app.view.changedBits[0], 0x0F);

    // The second page has its own review states. Records added for the
    // shown pair are found when the same pair is loaded again.
    endVersionReview(app);
    addPage(4608, 0x66);
    ASSERT_EQ(loadPagePair(app, 4096), 0);
    EXPECT_EQ(shown(512), 0x66);
    addNewerVersion(4608, 0x67, kFlagInEffect);
    ASSERT_EQ(loadPagePair(app, 4096), 0);
    expectPairMatchesChain("two records");
    app.view.viewOffset = 512;
    reviewOlderVersion(app);
    EXPECT_EQ(app.records.reviewState, kReviewSecondPage);
    EXPECT_EQ(shown(512), 0x66);
    previewNewerVersion(app);
    EXPECT_EQ(app.records.reviewState, kPreviewSecondPage);
    EXPECT_EQ(shown(512), 0x67);

    // A page without a record has no versions to show.
    endVersionReview(app);
    ASSERT_EQ(loadPagePair(app, 8192), 0);
    reviewOlderVersion(app);
    previewNewerVersion(app);
    EXPECT_EQ(app.records.reviewState, 0u);
    EXPECT_EQ(platform.caption, "/data/main.bin");
}

class Jumps : public AssemblyTest {
protected:
    void SetUp() override {
        AssemblyTest::SetUp();
        for (FilePos page : {1, 6, 9}) addPage(page * 512, std::uint8_t(page));
        ASSERT_EQ(loadPagePair(app, 0), 0);
        app.view.viewOffset = 0;
    }
};

TEST_F(Jumps, NextAndPreviousChangeVisitEveryChangedPageAndStopAtTheLast) {
    nextChange(app);  // page 1 is the shown pair's second page: one page on
    EXPECT_EQ(app.view.pagePos, 512u);
    EXPECT_EQ(app.view.viewOffset, 0u);
    app.view.headerShift = 5;
    nextChange(app);
    EXPECT_EQ(app.view.pagePos, 3072u);
    EXPECT_EQ(app.view.headerShift, 0u);  // the column headers start at 00 again
    nextChange(app);
    EXPECT_EQ(app.view.pagePos, 4608u);
    expectPairMatchesChain("last change");

    io.resetCounts();
    nextChange(app);  // the last changed page: nothing happens
    EXPECT_EQ(app.view.pagePos, 4608u);
    EXPECT_EQ(journalReads(), 0u);
    EXPECT_EQ(mainReads(), 0u);

    previousChange(app);
    EXPECT_EQ(app.view.pagePos, 3072u);
    previousChange(app);
    EXPECT_EQ(app.view.pagePos, 512u);
    previousChange(app);  // nothing below page 1
    EXPECT_EQ(app.view.pagePos, 512u);
    expectPairMatchesChain("first change");
}

TEST_F(Jumps, F5ShowsTheMainFileWhileHeldAndTheChangesComeBackOnRelease) {
    openFiles(10 * 512 + 100);
    chain.clear();
    addPage(4608, 0xDD);
    addPage(5120, 0xCC, kFlagInEffect, 100);
    ASSERT_EQ(loadPagePair(app, 4608), 0);
    ASSERT_EQ(app.view.pageLength, 612u);

    dispatchCommand(app, kCmdActualContentKey);
    EXPECT_TRUE(app.records.unchangedFileShown);
    EXPECT_EQ(app.view.pageLength, 612u);
    for (int i = 0; i < 612; ++i) ASSERT_EQ(shown(i), mainByte(4608 + i)) << i;
    for (std::uint8_t bits : app.view.changedBits) ASSERT_EQ(bits, 0);
    EXPECT_EQ(platform.caption, "Quorby 2.5.3    /data/main.bin");
    const std::uint64_t reads = mainReads();
    dispatchCommand(app, kCmdActualContentKey);  // held: the key repeats
    EXPECT_EQ(mainReads(), reads);

    onKeyUp(app, Key{});
    EXPECT_FALSE(app.records.unchangedFileShown);
    EXPECT_EQ(shown(0), 0xDD);
    EXPECT_EQ(shown(611), 0xCC);
    EXPECT_EQ(app.view.changedBits[0], 0x0F);
    EXPECT_EQ(platform.caption, testing::fileCaption("/data/main.bin", false));

    // "Actual File-Content" ends the view as well.
    showUnchangedFile(app);
    dispatchCommand(app, kCmdActualContent);
    EXPECT_FALSE(app.records.unchangedFileShown);
    EXPECT_EQ(shown(0), 0xDD);
}

TEST_F(Jumps, PointersAndFlagsShowsTheLinksOfTheShownPair) {
    ASSERT_EQ(loadPagePair(app, 512), 0);
    dispatchCommand(app, kCmdPointersAndFlags);
    ASSERT_EQ(platform.dialogsShown.size(), 1u);
    const DialogDescription& d = platform.dialogsShown[0];
    EXPECT_EQ(d.title, "Pointers and Flags");
    EXPECT_NE(modeFlagsDuringDialog & kModePointersDialog, 0u);
    EXPECT_EQ(app.shell.modeFlags & kModePointersDialog, 0u);

    // Each value follows its name; the JData1 group comes before JData2.
    auto valueOf = [&d](const std::string& name, int occurrence = 0) {
        for (std::size_t i = 0; i + 1 < d.controls.size(); ++i)
            if (d.controls[i].text == name && occurrence-- == 0) return d.controls[i + 1].text;
        return std::string("missing");
    };
    EXPECT_EQ(valueOf("AnfPtr"), "0000 0000  0000 0200");
    EXPECT_EQ(valueOf("MidPtr"), "0000 0000  0000 0400");
    EXPECT_EQ(valueOf("JPrevPtr"), "FFFF FFFF  FFFF FFFF");
    EXPECT_EQ(valueOf("JNextPtr"), pointerText(chain.at(6 * 512)));
    EXPECT_EQ(valueOf("JNextAdr"), "0000 0000  0000 0C00");
    EXPECT_EQ(valueOf("First"), pointerText(chain.at(512)));
    EXPECT_EQ(valueOf("JAdr"), pointerText(chain.at(512)));
    EXPECT_EQ(valueOf("Flag/anz."), "0000 0104  0000 0200");
    EXPECT_EQ(valueOf("JAdr", 1), "0000 0000  0000 0000");  // the second page has no record
    EXPECT_EQ(valueOf("JReadFlag"), "00000001");
    EXPECT_EQ(valueOf("ModFlag").size(), 8u);
}

}  // namespace
}  // namespace quorby::test
