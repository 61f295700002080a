// The engine's pass that gives every match of a block, none overlapping
// another, as Replace All uses it: measured against a naive scan that takes
// the first match from the start, then goes on after its end.
#include <gtest/gtest.h>

#include <random>

#include "tests/search/search_fixture.h"

namespace quorby::testing {
namespace {

using Positions = std::vector<FilePos>;

// Non-overlapping matches from `from` on, each wholly below `to`.
Positions naiveNonOverlapping(const Bytes& content, const Bytes& pattern, bool fold, FilePos from, FilePos to) {
    Positions out;
    for (FilePos p = from; p + pattern.size() <= to;) {
        bool same = true;
        for (std::size_t i = 0; i < pattern.size() && same; ++i)
            same = fold ? foldByte(content[p + i]) == foldByte(pattern[i]) : content[p + i] == pattern[i];
        if (same) {
            out.push_back(p);
            p += pattern.size();
        } else {
            ++p;
        }
    }
    return out;
}

bool collect(void* context, FilePos pos) {
    static_cast<Positions*>(context)->push_back(pos);
    return false;
}

// Every match of [from, fileSize) through passAllMatches, block after block.
Positions passAll(EngineFixture& f, const Bytes& pattern, bool fold, FilePos from) {
    f.begin(pattern, fold, 0, true);
    startPositionsAt(f.state, from, f.source.fileSize, true);
    Positions got;
    for (int guard = 0; guard < 100000; ++guard) {
        const PassResult r = passAllMatches(f.state, f.source, f.block.data(), collect, &got);
        if (r != PassResult::More) {
            EXPECT_EQ(r, PassResult::AtEnd);
            break;
        }
    }
    return got;
}

TEST(AllMatchesPass, RunsOfThePatternAreTakenOneAfterTheOtherAcrossBlocks) {
    // "aaaaa" holds two "aa" that do not overlap; a run across a block edge
    // is split where the scan from the file's start splits it.
    const FilePos size = 5000;
    Bytes content(size, '.');
    for (FilePos at : {FilePos(10), FilePos(509), FilePos(1021), FilePos(2040)})
        for (int k = 0; k < 5; ++k) content[at + k] = 'a';
    EngineFixture f;
    f.setMain(content);
    f.source.blockSize = 1024;  // forward blocks at 0, 512, 1024, ... each 1024 long
    const Bytes pattern = textBytes("aa");
    EXPECT_EQ(passAll(f, pattern, false, 0), naiveNonOverlapping(content, pattern, false, 0, size));
    EXPECT_EQ(passAll(f, pattern, false, 0).size(), 8u);
    // The range's end (the file size the source is given) cuts a match off.
    f.source.fileSize = 1024;
    EXPECT_EQ(passAll(f, pattern, false, 511), (Positions{511, 1021}));
}

TEST(AllMatchesPass, AgreesWithTheNaiveScanOnRandomFilesAndRanges) {
    std::mt19937 rng(20261207);
    const std::uint8_t alphabet[] = {'a', 'b', 'A', 'B', 0xE4, 0xC4, 0x00, 'z'};
    const std::uint32_t blockSizes[] = {1024, 1536, 2048, 4096, kSearchBlockSize};
    for (int round = 0; round < 300; ++round) {
        EngineFixture f;
        const std::size_t size = rng() % 9000;
        Bytes content(size);
        const int letters = 2 + int(rng() % 6);
        for (auto& b : content) b = alphabet[rng() % letters];
        f.setMain(content);
        f.source.blockSize = blockSizes[rng() % 5];
        Bytes pattern;
        const std::size_t length = 1 + rng() % 5;
        for (std::size_t i = 0; i < length; ++i) pattern.push_back(alphabet[rng() % letters]);
        const bool fold = rng() % 2;
        const FilePos from = size == 0 ? 0 : rng() % size;
        const FilePos to = from + (size == from ? 0 : rng() % (size - from + 1));
        f.source.fileSize = to;
        SCOPED_TRACE(::testing::Message() << "round " << round << " size " << size << " length " << length
                                          << " fold " << fold << " from " << from << " to " << to << " block "
                                          << f.source.blockSize);
        ASSERT_EQ(passAll(f, pattern, fold, from), naiveNonOverlapping(content, pattern, fold, from, to));
    }
}

}  // namespace
}  // namespace quorby::testing
