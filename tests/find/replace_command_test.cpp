// Replace All over content that the Journal File changes in places (records
// in the pages where the search's blocks overlap, records the run itself
// adds block after block) and over sectors that cannot be read: the result
// is measured against the content a user sees, replaced naively.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "find/find_dialog.h"
#include "find/replace_command.h"
#include "app/window_events.h"
#include "tests/find/command_fixture.h"

namespace quorby::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ReplaceFixture : CommandFixture {
    void request(bool hex, const std::string& pattern, const std::string& with, bool matchCase = true) {
        openFindDialog(app, hex);
        SearchRequest& r = app.search.request;
        std::memset(r.findText, 0, sizeof r.findText);
        std::memset(r.replaceText, 0, sizeof r.replaceText);
        std::memcpy(r.findText, pattern.data(), pattern.size());
        std::memcpy(r.replaceText, with.data(), with.size());
        r.matchCase = matchCase;
    }
    // The content the view shows, page pair after page pair.
    Bytes shownContent() {
        Bytes out;
        for (FilePos pos = 0; pos < app.main.fileSize; pos += kPagePairSize) {
            EXPECT_EQ(loadPagePair(app, pos), 0);
            out.insert(out.end(), app.view.pageBuffer, app.view.pageBuffer + app.view.pageLength);
        }
        return out;
    }
};

// Non-overlapping matches from the start, each replaced.
Bytes replacedNaively(Bytes content, const std::string& pattern, const std::string& with, int* count) {
    *count = 0;
    for (std::size_t at = 0; at + pattern.size() <= content.size();) {
        if (std::memcmp(content.data() + at, pattern.data(), pattern.size()) != 0) {
            ++at;
            continue;
        }
        std::memcpy(content.data() + at, with.data(), with.size());
        ++*count;
        at += pattern.size();
    }
    return content;
}

TEST(ReplaceAll, JournalRecordsAtBlockOverlapsAndRunsOfMatchesAcrossManyBlocks) {
    ReplaceFixture f;
    const FilePos size = 0x140000;  // five blocks of the search
    Bytes content(size, '-');
    // Matches in the Main File around the search's block edges (0x3FE00,
    // 0x40000, 0x7FC00 ...) and a dense run of 4500 back to back, more
    // than Replace All takes at once: the Journal File changes while the
    // blocks after them are still to be searched.
    const FilePos inMain[] = {0, 0x3FDFE, 0x3FE00, 0x3FFFC, 0x40000, 0x7FBFD, 0x7FE00, 0x7FFFE, size - 6};
    for (FilePos at : inMain) std::memcpy(content.data() + at, "needle", 6);
    for (FilePos k = 0; k < 4500; ++k) std::memcpy(content.data() + 0x48000 + 6 * k, "needle", 6);
    f.openMain(content);
    f.openJournal();
    // Changed pages: one holds a match the Main File does not, one takes a
    // Main File match away, one lies in the overlap of two blocks.
    Bytes page(512, '-');
    std::memcpy(page.data() + 100, "needle", 6);
    f.addJournalPage(0x40000, page);  // covers the Main File's match at 0x40000
    Bytes cleared(512, '+');
    f.addJournalPage(0x7FE00, cleared);
    Bytes overlap(512, '-');
    std::memcpy(overlap.data() + 506, "needle", 6);
    f.addJournalPage(0xBFC00, overlap);
    ASSERT_EQ(loadPagePair(f.app, 0), 0);
    const Bytes before = f.shownContent();
    int count = 0;
    const Bytes want = replacedNaively(before, "needle", "NEEDLE", &count);
    ASSERT_GT(count, 4500);

    f.request(false, "needle", "NEEDLE");
    replaceAllMatches(f.app);
    EXPECT_EQ(f.app.search.replaceResult, ReplaceResult::Done);
    EXPECT_EQ(f.app.search.replacedCount, std::uint64_t(count));
    EXPECT_TRUE(f.shownContent() == want);
    EXPECT_TRUE(f.io.bytes("/data/main.bin") == content) << "journal access writes no Main File byte";

    // Nothing is left to replace; the same run again finds nothing.
    replaceAllMatches(f.app);
    EXPECT_EQ(f.app.search.replacedCount, 0u);
}

TEST(ReplaceAll, UnreadableSectorsAreNeitherMatchedNorWritten) {
    ReplaceFixture f;
    Bytes content(0x100000, '.');
    content[0x1000] = content[0x1001] = content[0x1002] = content[0x1003] = 0;  // real zeros
    content[0x80000 - 2] = content[0x80000 - 1] = 0;  // zeros that meet a bad sector
    f.openMain(content);
    f.openJournal();
    f.io.unreadable["/data/main.bin"] = {{0x80000, 0x81000}, {0xF0000, 0xF0200}};
    f.request(true, "00 00", "11 22");
    replaceAllMatches(f.app);
    EXPECT_EQ(f.app.search.replaceResult, ReplaceResult::Done);
    EXPECT_EQ(f.app.search.replacedCount, 3u) << "two at 0x1000, one just before the bad sector";
    EXPECT_EQ(skippedRangesLine(f.app.search.state.skipped),
              "2 unreadable ranges skipped: 0x80000+0x1000, 0xF0000+0x200");
    for (FilePos bad : {FilePos(0x80000), FilePos(0x80C00), FilePos(0xF0000)}) {
        ASSERT_EQ(loadPagePair(f.app, bad), 0);
        EXPECT_EQ(f.app.records.jReadFlag & kFirstHalfHasRecord, 0u) << "no record for the unreadable page " << bad;
    }
    ASSERT_EQ(loadPagePair(f.app, 0x7FC00), 0);
    EXPECT_EQ(f.app.view.pageBuffer[0x3FE], 0x11);
    EXPECT_EQ(f.app.view.pageBuffer[0x3FF], 0x22);
}

TEST(ReplaceAll, ALengthThatDiffersIsRefusedWithAMessage) {
    ReplaceFixture f;
    Bytes content(4096, 'x');
    f.openMain(content);
    f.openJournal();
    f.request(false, "xx", "y");
    replaceAllMatches(f.app);
    EXPECT_EQ(f.app.search.replaceResult, ReplaceResult::Refused);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, kReplaceCaption);
    EXPECT_EQ(f.platform.boxes[0].text, replaceLengthMessage(2, 1));
    EXPECT_TRUE(f.shownContent() == content);
}

// Replace upward: each press replaces the match under the cursor and finds
// the next one that ends before it, never one inside the bytes just written.
TEST(ReplaceOne, UpwardReplacesTheFoundMatchAndFindsTheOneBeforeIt) {
    ReplaceFixture f;
    Bytes content(4096, '.');
    std::memcpy(content.data() + 100, "aaaaa", 5);
    f.openMain(content);
    f.openJournal();
    AppState& app = f.app;
    findReplaceCommand(app);
    DialogDescription& shown = f.platform.modeless[ModelessWindow::Find].dialog;
    ASSERT_EQ(shown.title, kReplaceDialogTitle);
    shown.find(kFindWhatEdit)->value = "aa";
    shown.find(kReplaceWithEdit)->value = "bc";
    shown.find(kFindUp)->checked = true;
    shown.find(kFindDown)->checked = false;
    auto press = [&] { onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Pressed, kReplaceButton}); };

    press();  // nothing under the cursor yet: only the search
    EXPECT_EQ(app.search.replacedCount, 0u);
    ASSERT_EQ(app.search.lastResult, SearchResult::Found);
    EXPECT_EQ(app.search.lastMatch, 103u) << "the highest match below the shown bytes";
    press();
    EXPECT_EQ(app.search.replacedCount, 1u);
    ASSERT_EQ(app.search.lastResult, SearchResult::Found);
    EXPECT_EQ(app.search.lastMatch, 101u);
    press();
    EXPECT_EQ(app.search.replacedCount, 1u);
    EXPECT_EQ(app.search.lastResult, SearchResult::NotFound) << "the byte at 100 is alone now";
    EXPECT_FALSE(shown.find(kReplaceButton)->enabled);
    EXPECT_EQ(shown.find(kFindEndedHint)->text, "NOT FOUND: Ctrl+Shift+H starts a new search");

    Bytes want = content;
    std::memcpy(want.data() + 101, "bcbc", 4);
    EXPECT_TRUE(f.shownContent() == want);
}

}  // namespace
}  // namespace quorby::testing
