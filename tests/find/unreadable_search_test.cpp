// Searches over a file with sectors that cannot be read: every readable byte
// is searched in both directions, no match is reported across an unreadable
// byte, and the ranges passed over are told once at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "salvage/byte_ranges.h"
#include "tests/find/command_fixture.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 4 MiB with 4 KiB unreadable at 2 MiB and one sector at 0x3F0000.
constexpr FilePos kSize = 0x400000;
constexpr FilePos kBadBlock = 0x200000, kBadBlockEnd = 0x201000;
constexpr FilePos kBadSector = 0x3F0000, kBadSectorEnd = 0x3F0200;

struct DyingDisk : CommandFixture {
    Bytes content = Bytes(kSize, '.');
    void put(FilePos at, const std::string& text) { std::copy(text.begin(), text.end(), content.begin() + std::ptrdiff_t(at)); }
    void openDisk() {
        openMain(content);
        io.unreadable["/data/main.bin"] = {{kBadBlock, kBadBlockEnd}, {kBadSector, kBadSectorEnd}};
    }
    std::string skipped() const { return skippedRangesLine(state.skipped); }
};

TEST(UnreadableSearch, BackwardFindsTheMatchRightBeforeTheBadSectors) {
    DyingDisk f;
    f.put(0x1E09ED, "needle");           // an earlier match: not the one to find first
    f.put(0x200000 - 6, "needle");       // ends on the last byte before the bad range
    f.openDisk();
    f.showAt(0x210000, 0);

    f.open(false, "needle", false);
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 0x1FFFFAu);
    EXPECT_EQ(f.skipped(), "1 unreadable range skipped: 0x200000+0x1000");
    EXPECT_EQ(f.infoCell().substr(0, 20), "1 unreadable skipped");
    EXPECT_TRUE(f.platform.boxes.empty()) << f.platform.boxes[0].caption;

    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 0x1E09EDu);
    EXPECT_EQ(f.skipped(), "") << "the rest of the search lies below the bad range";
    EXPECT_EQ(f.find(&at), SearchResult::NotFound);
}

TEST(UnreadableSearch, ForwardGoesPastBothRangesWithoutAskingAndNeverMatchesAcrossOne) {
    DyingDisk f;
    // "..\0" would match where the zeros of an unreadable range begin.
    f.put(0x3000A0, std::string("..\0", 3));
    f.put(0x3F0200, "after");  // the first bytes after the bad sector
    f.openDisk();
    f.showAt(0, 0);

    f.open(true, "2E 2E 00");
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 0x3000A0u);
    EXPECT_EQ(f.skipped(), "1 unreadable range skipped: 0x200000+0x1000");
    EXPECT_EQ(f.find(&at), SearchResult::NotFound) << "not at 0x3F01FE, where the bad sector begins";
    EXPECT_EQ(f.skipped(), "1 unreadable range skipped: 0x3F0000+0x200");
    EXPECT_TRUE(f.platform.boxes.empty());

    f.showAt(0, 0);
    f.open(false, "after");
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 0x3F0200u);
    EXPECT_EQ(f.skipped(), "2 unreadable ranges skipped: 0x200000+0x1000, 0x3F0000+0x200");

    // Backward from the end: not where a '.' meets the bad sector's zeros,
    // but where the file holds them.
    f.showAt(kSize - 512, 0);
    f.open(true, "2E 00", false);
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, 0x3000A1u);
    EXPECT_EQ(f.skipped(), "1 unreadable range skipped: 0x3F0000+0x200");
}

TEST(UnreadableSearch, AFileThatCannotBeReadAtAllIsStillReported) {
    DyingDisk f;
    f.openDisk();
    f.showAt(0, 0);
    f.io.failRead["/data/main.bin"] = {5, EACCES};  // access refused: no sector to salvage
    f.platform.yesNoDefault = MsgAnswer::Cancel;
    f.open(false, "needle");
    (void)f.find();
    ASSERT_FALSE(f.platform.texts.empty());
    EXPECT_EQ(f.platform.texts.back().rfind("Error reading /data/main.bin", 0), 0u) << f.platform.texts.back();
}

// A page stored over an unreadable sector shows the Journal File's bytes;
// the search finds what the view shows there, and the rest of the bad range
// is still passed over.
TEST(UnreadableSearch, AStoredPageOverABadSectorIsSearchedAsShown) {
    DyingDisk f;
    f.openDisk();
    f.openJournal();
    std::vector<std::uint8_t> page(512, 0);
    const std::string typed = "typed over a bad sector";
    std::copy(typed.begin(), typed.end(), page.begin() + 0x40);
    f.addJournalPage(kBadBlock + 0x200, page);
    f.showAt(0, 0);

    f.open(false, "typed over", true);
    FilePos at = 0;
    ASSERT_EQ(f.find(&at), SearchResult::Found);
    EXPECT_EQ(at, kBadBlock + 0x240);
    EXPECT_EQ(f.skipped(), "2 unreadable ranges skipped: 0x200000+0x200, 0x200400+0xC00");
    EXPECT_EQ(f.find(&at), SearchResult::NotFound);
}

}  // namespace
}  // namespace quorby::testing
