#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "journal/journal_overlay.h"
#include "tests/search/search_fixture.h"

namespace quorby::testing {
namespace {

using Positions = std::vector<FilePos>;

Bytes pageOf(const Bytes& content, FilePos pos, std::size_t length = 512) {
    return Bytes(content.begin() + std::ptrdiff_t(pos), content.begin() + std::ptrdiff_t(pos + length));
}

void put(Bytes& b, FilePos at, const std::string& text) {
    std::copy(text.begin(), text.end(), b.begin() + std::ptrdiff_t(at));
}

TEST(JournalOverlay, ChangesOnThePageTwoBlocksShare) {
    // The page 261632 .. 262143 ends the first forward block and begins the
    // second; a match that starts in it and ends in the next page lies only
    // in the second block, which must see the page's journal version too.
    EngineFixture f;
    Bytes main(600000, '-');
    put(main, 262144, "RBY");
    f.setMain(main);
    f.openJournal();
    Bytes shared = pageOf(main, 261632);
    put(shared, 509, "QUO");
    f.addJournalPage(261632, shared);
    Bytes further = pageOf(main, 262656);
    put(further, 0, "QUORBY");
    f.addJournalPage(262656, further);

    f.begin(textBytes("QUORBY"), false, 0, true);
    EXPECT_EQ(f.all(true), (Positions{262141, 262656}));
    // Backward from the end: blocks end at 600000, then 338368 + 512 ...
    f.begin(textBytes("QUORBY"), false, main.size(), false);
    EXPECT_EQ(f.all(false), (Positions{262656, 262141}));
}

// The search and the compare share one window and count their tokens each
// on its own: a window kept under a token is read again once the Journal
// File changed, whatever the token.
TEST(JournalOverlay, AKeptWindowIsReadAgainAfterTheJournalChanged) {
    EngineFixture f;
    const Bytes main(4096, '-');
    f.setMain(main);
    f.openJournal();
    Bytes page = pageOf(main, 1024);
    put(page, 0, "OLD");
    const FilePos record = f.addJournalPage(1024, page);
    auto shownAt1024 = [&f, &main] {
        Bytes block = main;
        FilePos chain = f.journal.header.first;
        EXPECT_EQ(overlayJournalChanges(f.journal, *f.window, chain, true, 0, block.data(), 4096, 7), 0);
        return std::string(block.begin() + 1024, block.begin() + 1027);
    };
    EXPECT_EQ(shownAt1024(), "OLD");
    JournalRecord r;
    ASSERT_EQ(readRecord(f.journal, record, r), 0);
    std::memcpy(r.data, "NEW", 3);
    ASSERT_EQ(writeRecord(f.journal, r), 0);
    EXPECT_EQ(shownAt1024(), "NEW");
}

TEST(JournalOverlay, KeepsItsChainPositionForTheNextBlockAndStopsOnABrokenChain) {
    EngineFixture f;
    Bytes main(4096, 0);
    f.setMain(main);
    f.openJournal();
    const FilePos r512 = f.addJournalPage(512, Bytes(512, 1));
    const FilePos r1536 = f.addJournalPage(1536, Bytes(512, 2));
    const FilePos r3072 = f.addJournalPage(3072, Bytes(512, 3));

    Bytes block(2048, 0);
    FilePos chain = f.journal.header.first;
    ASSERT_EQ(overlayJournalChanges(f.journal, *f.window, chain, true, 0, block.data(), 2048), 0);
    EXPECT_EQ(block[512], 1);
    EXPECT_EQ(block[1536], 2);
    EXPECT_EQ(chain, r1536) << "the page 1536 lies in the next block (from 1536) as well";

    chain = f.journal.header.lastPtr;
    std::fill(block.begin(), block.end(), 0);
    ASSERT_EQ(overlayJournalChanges(f.journal, *f.window, chain, false, 2048, block.data(), 2048), 0);
    EXPECT_EQ(block[3072 - 2048], 3);
    EXPECT_EQ(chain, r1536) << "the first record that meets the block ending at 2560";
    chain = r512;
    ASSERT_EQ(overlayJournalChanges(f.journal, *f.window, chain, false, 0, block.data(), 512), 0);
    EXPECT_EQ(chain, kEmptyPtr);

    // A NextPtr that points back down would loop: the walk ends instead.
    JournalRecord last;
    ASSERT_EQ(readRecordHeader(f.journal, r3072, kRecordFullHeader, last), 0);
    last.nextPtr = r512;
    ASSERT_EQ(writeRecordHeader(f.journal, last, kRecordAddressLinks), 0);
    chain = f.journal.header.first;
    Bytes big(8192, 0);
    EXPECT_EQ(overlayJournalChanges(f.journal, *f.window, chain, true, 0, big.data(), 8192), 1);
    EXPECT_EQ(big[3072], 3) << "what was laid before the break stays";
    EXPECT_EQ(chain, kEmptyPtr);
}

// Main File and journal pages at random (some with the flag that shows the
// Main File's bytes), file sizes that are no multiple of 512, small blocks:
// the search must agree with the naive search over the content the view
// shows (journal pages over the Main File), and without the overlay with
// the naive search over the Main File.
TEST(JournalOverlay, AgreesWithNaiveSearchOverTheShownContent) {
    std::mt19937 rng(7);
    const std::uint8_t alphabet[] = {'x', 'y', 'X', 'Y'};
    for (int round = 0; round < 153; ++round) {
        EngineFixture f;
        // The last rounds: blocks of up to 96 KiB with every page changed,
        // more records than one journal read window holds.
        const bool dense = round >= 150;
        const std::size_t size = dense ? 300000 + rng() % 100000 : 1 + rng() % 9000;
        Bytes main(size);
        for (auto& b : main) b = alphabet[rng() % 2];
        f.setMain(main);
        f.openJournal();
        f.source.blockSize = dense ? 65536 + 32768 * std::uint32_t(round % 2) : 1024 + 512 * (rng() % 4);
        Bytes shown = main;
        // Pages stored in address order lie in the Journal File in chain
        // order; stored in shuffled order they lie anywhere.
        std::vector<FilePos> order;
        for (FilePos adr = 0; adr < size; adr += 512) {
            if (dense || rng() % 3 == 0) order.push_back(adr);
        }
        if (round % 2) std::shuffle(order.begin(), order.end(), rng);
        for (FilePos adr : order) {
            Bytes data(std::min<std::size_t>(512, size - adr));
            for (auto& b : data) b = alphabet[rng() % 4];
            const bool mainContent = rng() % 5 == 0;
            f.addJournalPage(adr, data, kFlagInEffect | (mainContent ? kFlagShowMainFile : kFlagUnwritten));
            if (!mainContent) std::copy(data.begin(), data.end(), shown.begin() + std::ptrdiff_t(adr));
        }
        Bytes pattern;
        const std::size_t length = dense ? 10 : 1 + rng() % 5;  // dense: tens of matches, not thousands
        for (std::size_t i = 0; i < length; ++i) pattern.push_back(alphabet[rng() % 4]);
        const bool fold = dense || rng() % 2;
        const Positions matches = allMatches(shown, pattern, fold);
        SCOPED_TRACE(::testing::Message() << "round " << round << " size " << size << " block "
                                          << f.source.blockSize);

        f.begin(pattern, fold, 0, true);
        ASSERT_EQ(f.all(true), matches);
        f.begin(pattern, fold, size, false);
        ASSERT_EQ(f.all(false), Positions(matches.rbegin(), matches.rend()));
        // Without the overlay the Main File's own bytes are searched.
        f.begin(pattern, fold, 0, true);
        f.state.overlayJournal = false;
        ASSERT_EQ(f.all(true), allMatches(main, pattern, fold));
    }
}

}  // namespace
}  // namespace quorby::testing
