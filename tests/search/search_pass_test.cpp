#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/search/search_fixture.h"

namespace quorby::testing {
namespace {

using Positions = std::vector<FilePos>;

TEST(SearchPass, MatchesAcrossBlockBoundariesAreFoundOnceInBothDirections) {
    const Bytes pattern = textBytes("QUORBY!#");
    const FilePos size = 3 * FilePos(kSearchBlockSize) + 700;
    // Forward blocks begin at 0, 261632, 523264 ...; backward blocks end at
    // the file's end, then 512 bytes above the start of the block before.
    const FilePos edges[] = {261632, 262144, 262656, 523264, 523776, 524288, 524800, 786432, 786944};
    const std::int64_t shifts[] = {-8, -7, -3, -1, 0, 1};
    for (std::int64_t d : shifts) {
        EngineFixture f;
        Bytes content(size, 0);
        Positions placed;
        for (FilePos e : edges) {
            const FilePos at = FilePos(std::int64_t(e) + d);
            std::copy(pattern.begin(), pattern.end(), content.begin() + std::ptrdiff_t(at));
            placed.push_back(at);
        }
        f.setMain(content);

        f.begin(pattern, false, 0, true);
        EXPECT_EQ(f.all(true), placed) << "shift " << d;

        f.begin(pattern, false, size, false);
        Positions reversed(placed.rbegin(), placed.rend());
        EXPECT_EQ(f.all(false), reversed) << "shift " << d;
    }
}

TEST(SearchPass, RepeatedSearchesFindOverlappingMatches) {
    EngineFixture f;
    f.setMain(textBytes("xaaaaaay abababab AbAbA"));
    f.begin(textBytes("aaa"), false, 0, true);
    EXPECT_EQ(f.all(true), (Positions{1, 2, 3, 4}));
    f.begin(textBytes("aaa"), false, 23, false);
    EXPECT_EQ(f.all(false), (Positions{4, 3, 2, 1}));
    f.begin(textBytes("abab"), false, 0, true);
    EXPECT_EQ(f.all(true), (Positions{9, 11, 13}));
    f.begin(textBytes("aba"), true, 0, true);
    EXPECT_EQ(f.all(true), (Positions{9, 11, 13, 18, 20}));
    f.begin(textBytes("aba"), true, 23, false);
    EXPECT_EQ(f.all(false), (Positions{20, 18, 13, 11, 9}));
}

TEST(SearchPass, BackwardStartsBelowTheShownBytesOrAtTheEnd) {
    const Bytes kq = textBytes("KQ");
    auto fileWith = [](EngineFixture& f, std::initializer_list<FilePos> at) {
        Bytes content(1000, '.');
        for (FilePos p : at) std::copy_n("KQ", 2, content.begin() + std::ptrdiff_t(p));
        f.setMain(content);
    };
    EngineFixture f;
    fileWith(f, {300, 610, 998});  // 998: the file's last two bytes
    // Fewer than 512 bytes follow the top: the search covers the whole file.
    f.begin(kq, false, 700, false);
    EXPECT_EQ(f.all(false), (Positions{998, 610, 300}));
    // From top 100 the bytes 100 .. 611 are shown, and everything before them.
    f.begin(kq, false, 100, false);
    EXPECT_EQ(f.all(false), (Positions{610, 300}));
    // Exactly 512 bytes after the top: still not the whole file.
    f.begin(kq, false, 488, false);
    EXPECT_EQ(f.all(false), (Positions{998, 610, 300}));
    f.begin(kq, false, 487, false);
    EXPECT_EQ(f.all(false), (Positions{610, 300}));
    // Forward, the first byte shown is the first candidate.
    f.begin(kq, false, 610, true);
    EXPECT_EQ(f.all(true), (Positions{610, 998}));

    EngineFixture g;
    fileWith(g, {611});  // ends at 612, one past the bytes shown from top 100
    g.begin(kq, false, 100, false);
    EXPECT_EQ(g.next(false), kNone);
    // From top 400 the limit (912) lies in the file's last, short sector.
    g.begin(kq, false, 400, false);
    EXPECT_EQ(g.next(false), 611u);
}

TEST(SearchPass, CaseFoldingFoldsOnlyLettersAndThreeUmlauts) {
    EngineFixture f;
    Bytes all(256);
    for (int b = 0; b < 256; ++b) all[b] = std::uint8_t(b);
    f.setMain(all);
    for (int b = 0; b < 256; ++b) {
        Positions expected;
        for (int c = 0; c < 256; ++c) {
            const bool lettersOfOneCase = (b == c) || (b >= 'a' && b <= 'z' && c == b - 32) ||
                                          (b >= 'A' && b <= 'Z' && c == b + 32) ||
                                          (b == 0xE4 && c == 0xC4) || (b == 0xC4 && c == 0xE4) ||
                                          (b == 0xF6 && c == 0xD6) || (b == 0xD6 && c == 0xF6) ||
                                          (b == 0xFC && c == 0xDC) || (b == 0xDC && c == 0xFC);
            if (lettersOfOneCase) expected.push_back(FilePos(c));
        }
        f.begin(Bytes{std::uint8_t(b)}, true, 0, true);
        EXPECT_EQ(f.all(true), expected) << "byte " << b;
        f.begin(Bytes{std::uint8_t(b)}, false, 0, true);
        EXPECT_EQ(f.all(true), Positions{FilePos(b)}) << "exact byte " << b;
    }
}

TEST(SearchPass, LongRunsOfTheFirstByteAndAnchorOnlyHits) {
    // Zero runs under a pattern that begins with zero, and data that meets
    // the rare anchors everywhere but never the whole pattern.
    EngineFixture f;
    Bytes content(700000, 0);
    const Bytes pattern{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    for (std::size_t p = 1000; p + 6 < 300000; p += 7) {
        content[p + 1] = 0x11;
        content[p + 5] = 0x55;  // both anchors of a candidate, not the pattern
    }
    std::copy(pattern.begin(), pattern.end(), content.begin() + 650001);
    f.setMain(content);
    f.begin(pattern, false, 0, true);
    EXPECT_EQ(f.all(true), (Positions{650001}));
    f.begin(pattern, false, content.size(), false);
    EXPECT_EQ(f.all(false), (Positions{650001}));
}

TEST(SearchPass, FailedReadIsReportedAndTheSearchGoesOnOrStops) {
    EngineFixture f;
    Bytes content(3 * kSearchBlockSize, 'x');
    std::copy_n("NEEDLE", 6, content.begin() + 100);     // in the block whose read fails
    std::copy_n("NEEDLE", 6, content.begin() + 600000);  // beyond it
    f.setMain(content);
    f.io.failReadAt = 0;  // the read of the first block fails, delivering nothing
    int reports = 0;
    bool stop = false;
    struct Context { int* reports; bool* stop; } context{&reports, &stop};
    f.source.readFailed = [](void* c) {
        auto* ctx = static_cast<Context*>(c);
        ++*ctx->reports;
        return *ctx->stop;
    };
    f.source.context = &context;

    f.begin(textBytes("NEEDLE"), false, 0, true);
    EXPECT_EQ(f.next(true), 600000u);
    EXPECT_EQ(reports, 1);

    stop = true;
    f.begin(textBytes("NEEDLE"), false, 0, true);
    EXPECT_EQ(searchPasses(f.state, f.source, true, f.block.data()), PassResult::Stopped);
    EXPECT_EQ(reports, 2);
}

// A Journal File that cannot be read stops the search in both directions:
// going on over the Main File's bytes alone would find what the view does
// not show (here a match the journal's version of its page overwrote).
TEST(SearchPass, AJournalFileThatCannotBeReadStopsTheSearch) {
    EngineFixture f;
    Bytes content(2 * kSearchBlockSize, 'x');
    std::copy_n("NEEDLE", 6, content.begin() + 5000);
    f.setMain(content);
    f.openJournal();
    f.addJournalPage(4608, Bytes(512, 'y'));
    f.begin(textBytes("NEEDLE"), false, 0, true);
    EXPECT_EQ(f.next(true), kNone) << "the journal's page hides the Main File's match";

    f.io.failRead[f.mainPath + ".jnl"] = {30, EIO};
    for (bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "forward" : "backward");
        f.window = std::make_unique<JournalOverlayWindow>();
        f.source.journalWindow = f.window.get();
        f.begin(textBytes("NEEDLE"), false, forward ? 0 : content.size(), forward);
        EXPECT_EQ(searchPasses(f.state, f.source, forward, f.block.data()), PassResult::Stopped);
    }
}

// The engine against the naive reference: random contents over a small
// alphabet (so that matches are frequent and overlap), random patterns and
// start positions, small blocks so that every search crosses many block
// boundaries, in both directions, with changes of direction after a match.
TEST(SearchPass, AgreesWithNaiveSearchOnRandomFiles) {
    std::mt19937 rng(20261206);
    const std::uint8_t alphabet[] = {'a', 'b', 'A', 'B', 0xE4, 0xC4, 0x00, 'z'};
    const std::uint32_t blockSizes[] = {1024, 1536, 2048, 4096, kSearchBlockSize};
    for (int round = 0; round < 400; ++round) {
        EngineFixture f;
        const std::size_t size = rng() % 6000;
        Bytes content(size);
        const int letters = 2 + int(rng() % 6);
        for (auto& b : content) b = alphabet[rng() % letters];
        f.setMain(content);
        f.source.blockSize = blockSizes[rng() % 5];

        Bytes pattern;
        const std::size_t length = 1 + (rng() % 8 == 0 ? rng() % 254 : rng() % 6);
        if (size >= length && rng() % 2) {
            const std::size_t from = rng() % (size - length + 1);
            pattern.assign(content.begin() + std::ptrdiff_t(from), content.begin() + std::ptrdiff_t(from + length));
        } else {
            for (std::size_t i = 0; i < length; ++i) pattern.push_back(alphabet[rng() % letters]);
        }
        const bool fold = rng() % 2;
        const bool forward = rng() % 2;
        const FilePos top = size == 0 ? 0 : (rng() % (size + 1) / 512 * 512) + rng() % 512;
        const Positions matches = allMatches(content, pattern, fold);
        SCOPED_TRACE(::testing::Message() << "round " << round << " size " << size << " length " << length
                                          << " fold " << fold << " forward " << forward << " top " << top
                                          << " block " << f.source.blockSize);

        f.begin(pattern, fold, top, forward);
        Positions expected;
        if (forward) {
            for (FilePos p : matches) if (p >= top) expected.push_back(p);
        } else {
            const FilePos limit = top <= size && size - top >= 512 ? top + 512 : size;
            for (FilePos p : matches) if (p + length <= limit) expected.insert(expected.begin(), p);
        }
        // Some matches in the first direction, then the other way from the last one.
        const std::size_t firstRun = expected.empty() ? 0 : rng() % (expected.size() + 1);
        const Positions got = f.all(forward, firstRun == 0 ? 100000 : firstRun);
        if (firstRun == 0) {
            ASSERT_EQ(got, expected);
            continue;
        }
        ASSERT_EQ(got, Positions(expected.begin(), expected.begin() + std::ptrdiff_t(firstRun)));
        const FilePos last = got.back();
        continueFromLastMatch(f.state, !forward);
        Positions back;
        if (forward) {  // now backward: matches ending at or below the last one's first byte
            for (FilePos p : matches) if (p + length <= last + 1) back.insert(back.begin(), p);
        } else {  // now forward: matches from the last one's last byte on
            for (FilePos p : matches) if (p >= last + length - 1) back.push_back(p);
        }
        ASSERT_EQ(f.all(!forward), back);
    }
}

}  // namespace
}  // namespace quorby::testing
