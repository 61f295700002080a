// Find Differences against a plain model of what the user sees: the first
// position beyond the shown bytes where the Main File's content (with its
// journal pages) differs from the other file's byte `shift` further on.
#include <random>

#include "compare/alignment.h"
#include "tests/compare/compare_fixture.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

struct Expected {
    DifferenceResult result;
    FilePos pos = 0;
    bool mainEnds = false;
};

// From the user's side: compare byte by byte from `start` on; a position
// whose counterpart lies before the other file's start has nothing to
// compare; where one file ends first, the lengths differ, wherever the
// comparison began (as cmp reports "EOF").
Expected reference(const std::vector<std::uint8_t>& main, const std::vector<std::uint8_t>& other,
                   std::int64_t shift, FilePos start) {
    const std::int64_t mainEnd = std::int64_t(main.size());
    const std::int64_t otherEnd = std::int64_t(other.size()) - shift;
    for (std::int64_t p = std::int64_t(start); p < mainEnd && p < otherEnd; ++p) {
        if (p + shift < 0) continue;
        if (main[std::size_t(p)] != other[std::size_t(p + shift)]) return {DifferenceResult::Found, FilePos(p)};
    }
    const std::int64_t shorter = std::min(mainEnd, otherEnd);
    if (mainEnd == otherEnd) return {DifferenceResult::NotFound};
    return {DifferenceResult::LengthsDiffer, FilePos(std::max<std::int64_t>(shorter, 0)), mainEnd < otherEnd};
}

std::vector<std::uint8_t> randomBytes(std::mt19937_64& rng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = std::uint8_t(rng() % 4);  // few values: equal runs and chance matches
    return v;
}

TEST(FindDifferences, RandomFilesShiftsAndJournalPagesAgreeWithAPlainByteCompare) {
    std::mt19937_64 rng(20240611);
    constexpr int kRuns = 600;
    int found = 0, lengths = 0, none = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        CompareFixture f;
        const std::size_t mainSize = 1 + rng() % 9000;
        std::vector<std::uint8_t> main = randomBytes(rng, mainSize);
        const std::int64_t shift = std::int64_t(rng() % 1400) - 700;
        // The other file: the Main File's bytes `shift` further on, its size
        // near the same end or elsewhere, with a few planted differences.
        const std::size_t otherSize = rng() % 2 ? std::size_t(std::max<std::int64_t>(0, std::int64_t(mainSize) + shift +
                                                                                          std::int64_t(rng() % 5) - 2))
                                                : 1 + rng() % 9000;
        std::vector<std::uint8_t> other(otherSize);
        for (std::size_t q = 0; q < otherSize; ++q) {
            const std::int64_t p = std::int64_t(q) - shift;
            other[q] = p >= 0 && p < std::int64_t(mainSize) ? main[std::size_t(p)] : std::uint8_t(rng());
        }
        f.openFiles(main, other);
        f.app.compare.scanBlockSize = 512 * (2 + rng() % 6);
        const FilePos pagePos = FilePos(rng() % (mainSize / 512 + 1)) * 512;
        const std::uint32_t viewOffset = std::uint32_t(rng() % 512);
        const FilePos start = pagePos + viewOffset + 512;
        // Differences where they are hard to get right: the first byte after
        // the screen, inside the shown bytes, at block edges, the last byte
        // of either file, and anywhere.
        auto plant = [&](std::int64_t p) {
            const std::int64_t q = p + shift;
            if (q >= 0 && q < std::int64_t(otherSize)) other[std::size_t(q)] ^= 0x80;
        };
        switch (rng() % 7) {
            case 0: plant(std::int64_t(start)); break;
            case 1: plant(std::int64_t(start) - 1 - std::int64_t(rng() % 512)); break;
            case 2: plant(std::int64_t(f.app.compare.scanBlockSize) * std::int64_t(1 + rng() % 4) - std::int64_t(rng() % 2)); break;
            case 3: plant(std::int64_t(mainSize) - 1); break;
            case 4: other.back() ^= 0x40; break;
            case 5: plant(std::int64_t(rng() % mainSize)); break;
            default: break;
        }
        f.io.bytes("/data/other.bin") = other;
        // Journal pages on the Main File side: some make a difference (new
        // bytes), some hide one (the other file's bytes).
        for (int j = int(rng() % 4); j > 0; --j) {
            const FilePos page = FilePos(rng() % (mainSize / 512 + 1)) * 512;
            if (f.journalPages.count(page)) continue;
            std::vector<std::uint8_t> bytes(std::min<std::size_t>(512, mainSize - page));
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::int64_t q = std::int64_t(page + i) + shift;
                const bool fromOther = rng() % 2 && q >= 0 && q < std::int64_t(otherSize);
                bytes[i] = fromOther ? other[std::size_t(q)] : f.current[page + i];
            }
            bytes[rng() % bytes.size()] ^= std::uint8_t(rng() % 2);
            f.changePage(page, bytes);
        }
        f.compareWithOther();
        f.app.compare.secondPoint = shift < 0 ? 0 : FilePos(shift);
        f.app.compare.firstPoint = shift < 0 ? FilePos(-shift) : 0;
        applyPoints(f.app);
        f.showAt(pagePos, viewOffset);

        const Expected want = reference(f.current, other, shift, start);
        const DifferenceResult got = findDifferences(f.app);
        ASSERT_EQ(int(got), int(want.result));
        const CompareSession& c = f.app.compare;
        if (got == DifferenceResult::Found) {
            ++found;
            EXPECT_EQ(c.lastPos, want.pos);
            EXPECT_EQ(f.app.view.cursorPos(), want.pos);
            EXPECT_EQ(f.app.view.pagePos, want.pos & ~FilePos(511));
        } else if (got == DifferenceResult::LengthsDiffer) {
            ++lengths;
            EXPECT_EQ(c.lastPos, want.pos);
            EXPECT_EQ(c.lastEndedMain, want.mainEnds);
            EXPECT_EQ(f.infoCell(), want.mainEnds ? kInfoMainEnds : kInfoOtherEnds);
        } else {
            ++none;
            EXPECT_EQ(f.app.view.pagePos, pagePos);
            EXPECT_EQ(f.app.view.viewOffset, viewOffset);
            EXPECT_EQ(f.infoCell(), kInfoNotFound);
        }
    }
    // Every kind of outcome was met often enough to mean something.
    EXPECT_GT(found, kRuns / 4);
    EXPECT_GT(lengths, kRuns / 20);
    EXPECT_GT(none, kRuns / 40);  // only files of the same length end without a finding
}

}  // namespace
}  // namespace quorby::testing
