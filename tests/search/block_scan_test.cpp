#include "search/block_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quorby {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What the user sees of "Match case" off: a..z are A..Z, and the three
// umlauts of Latin-1 are their capitals; every other byte is only itself.
std::uint8_t upper(std::uint8_t b) {
    if (b >= 'a' && b <= 'z') return std::uint8_t(b - 32);
    if (b == 0xE4 || b == 0xF6 || b == 0xFC) return std::uint8_t(b - 32);
    return b;
}

// The same letter in the other case; any other byte as it is.
std::uint8_t otherCase(std::uint8_t b) {
    if (upper(b) != b) return upper(b);
    if ((b >= 'A' && b <= 'Z') || b == 0xC4 || b == 0xD6 || b == 0xDC) return std::uint8_t(b + 32);
    return b;
}

bool matchesAt(const Bytes& content, std::size_t p, const Bytes& pattern, bool fold) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::uint8_t a = content[p + i], b = pattern[i];
        if (fold ? upper(a) != upper(b) : a != b) return false;
    }
    return true;
}

// The last match that ends at or before `end`, or kNoMatch.
std::uint32_t lastMatch(const Bytes& content, std::size_t end, const Bytes& pattern, bool fold) {
    std::uint32_t found = kNoMatch;
    for (std::size_t p = 0; p + pattern.size() <= end; ++p)
        if (matchesAt(content, p, pattern, fold)) found = std::uint32_t(p);
    return found;
}

// The first match from `from` on that ends at or before `end`, or kNoMatch.
std::uint32_t firstMatch(const Bytes& content, std::size_t from, std::size_t end, const Bytes& pattern, bool fold) {
    for (std::size_t p = from; p + pattern.size() <= end; ++p)
        if (matchesAt(content, p, pattern, fold)) return std::uint32_t(p);
    return kNoMatch;
}

// Random blocks full of the pattern's own bytes in both cases (so that the
// scan's anchor bytes meet often without the whole pattern), with copies of
// the pattern and copies spoilt in one byte planted, and random limits, many
// of them just below, at and above a planted copy's end. Each scan gets a
// buffer exactly as long as its limit, so a read beyond it is caught.
TEST(BlockScan, BackwardAndForwardAgreeWithAPlainLoopOnRandomBlocks) {
    std::mt19937 rng(61206);
    const std::uint8_t letters[] = {'Q', 'x', 'Z', 'a', 'e', 0xE4, 0xC4, 0xDC, 0x00, 0xFF, ' ', 0xDF, '7'};
    for (int round = 0; round < 300; ++round) {
        const std::size_t length = 1 + (rng() % 10 == 0 ? rng() % 254 : rng() % 8);
        Bytes pattern(length);
        for (auto& b : pattern) b = rng() % 3 ? letters[rng() % sizeof letters] : std::uint8_t(rng());
        const bool fold = rng() % 2;
        const std::size_t size = rng() % 3000;
        Bytes content(size);
        for (auto& b : content) {
            const std::uint8_t p = pattern[rng() % length];
            b = rng() % 2 ? std::uint8_t(rng()) : rng() % 2 ? otherCase(p) : p;
        }
        std::vector<std::size_t> ends = {0, size, size / 2};
        for (int k = int(rng() % 5); k > 0 && size >= length; --k) {
            const std::size_t at = rng() % (size - length + 1);
            for (std::size_t i = 0; i < length; ++i)
                content[at + i] = fold && rng() % 2 ? otherCase(pattern[i]) : pattern[i];
            if (rng() % 3 == 0) content[at + rng() % length] ^= std::uint8_t(1 + rng() % 255);  // spoilt
            for (std::size_t e : {at + length - 1, at + length, at + length + 1})
                if (e <= size) ends.push_back(e);
        }
        for (int k = 0; k < 12; ++k) ends.push_back(rng() % (size + 1));

        ScanPattern scan;
        prepareScan(scan, pattern.data(), std::uint32_t(length), fold);
        for (std::size_t end : ends) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " length " << length << " fold " << fold
                                              << " size " << size << " end " << end);
            const Bytes block(content.begin(), content.begin() + std::ptrdiff_t(end));
            ASSERT_EQ(scanBackward(scan, block.data(), std::uint32_t(end)), lastMatch(content, end, pattern, fold));
            const std::size_t from = end == 0 ? 0 : rng() % end;
            ASSERT_EQ(scanForward(scan, block.data(), std::uint32_t(from), std::uint32_t(end)),
                      firstMatch(content, from, end, pattern, fold));
        }
    }
}

}  // namespace
}  // namespace quorby
