#include "search/compare_scan.h"

#include <bit>
#include <cstring>

namespace quorby {
namespace {

// The other source's end, as a Main File position (negative when it ends
// before Main File position 0).
std::int64_t otherEndAsMain(const CompareScan& scan) { return std::int64_t(scan.other.size) - scan.shift; }

// Bytes of a gap on either side compare equal: the other side's bytes are
// copied over them. The gaps go into the scan's list.
void passOverGaps(CompareScan& scan, FilePos otherPos, const ReadGaps& mainGaps, const ReadGaps& otherGaps,
                  std::uint8_t* mainBlock, std::uint8_t* otherBlock) {
    for (int i = 0; i < mainGaps.count; ++i)
        std::memcpy(mainBlock + mainGaps.offset[i], otherBlock + mainGaps.offset[i], mainGaps.length[i]);
    for (int i = 0; i < otherGaps.count; ++i)
        std::memcpy(otherBlock + otherGaps.offset[i], mainBlock + otherGaps.offset[i], otherGaps.length[i]);
    if (scan.skipped == nullptr) return;
    addGapsAt(*scan.skipped, scan.nextPos, mainGaps);
    addGapsAt(*scan.skipped, otherPos, otherGaps);
}

// Sources of different lengths that agree up to the shorter one's end end in
// a length difference wherever the scan began, as cmp reports it: a start
// past both ends (two short files) changes nothing about that.
CompareOutcome finish(CompareScan& scan) {
    const std::int64_t otherEnd = otherEndAsMain(scan);
    const std::int64_t mainEnd = std::int64_t(scan.main.size);
    if (otherEnd == mainEnd) return CompareOutcome::Equal;
    scan.mainEndsFirst = mainEnd < otherEnd;
    scan.foundPos = scan.endPos;
    return CompareOutcome::LengthsDiffer;
}

}  // namespace

std::uint32_t firstDifference(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t n) {
    // memcmp finds equal chunks fastest; only the chunk that differs is
    // searched byte by byte (eight at a time).
    constexpr std::uint32_t kChunk = 4096;
    std::uint32_t at = 0;
    while (at < n) {
        const std::uint32_t length = n - at < kChunk ? n - at : kChunk;
        if (std::memcmp(a + at, b + at, length) != 0) break;
        at += length;
    }
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= n; at += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + at, 8);
            std::memcpy(&y, b + at, 8);
            if (x != y) return at + std::uint32_t(std::countr_zero(x ^ y) / 8);
        }
    }
    for (; at < n; ++at)
        if (a[at] != b[at]) return at;
    return n;
}

int readSourceBytes(const CompareSource& source, FilePos pos, std::uint8_t* out, std::uint32_t n,
                    FilePos& chainPos, std::uint64_t token, ReadGaps* gaps) {
    std::uint32_t done = 0;
    if (gaps != nullptr) gaps->count = 0;
    ReadGaps own;
    if (source.unreadable != nullptr
            ? salvageRead(*source.files, source.handle, *source.unreadable, pos, out, n, &done, gaps ? gaps : &own) != 0
            : source.files->readAt(source.handle, pos, out, n, &done) != 0)
        return 1;
    if (done < n) {
        source.files->setLastError({kCodeReachedEndOfFile, 0});
        return 1;
    }
    // Bytes without the journal's changes would compare what the view does not show.
    // A change laid over an unreadable sector makes those bytes comparable.
    if (source.journal != nullptr) {
        const OverlayLaid laid{gaps != nullptr && gaps->count != 0 ? coverGapOf : nullptr, gaps};
        return overlayJournalChanges(*source.journal, *source.window, chainPos, true, pos, out, n, token, laid);
    }
    return 0;
}

void startCompareScan(CompareScan& scan, FilePos startPos) {
    FilePos from = startPos;
    if (scan.shift < 0 && from < FilePos(-scan.shift)) from = FilePos(-scan.shift);
    const std::int64_t otherEnd = otherEndAsMain(scan);
    FilePos end = scan.main.size;
    if (otherEnd < std::int64_t(end)) end = otherEnd > 0 ? FilePos(otherEnd) : 0;
    scan.startPos = startPos;
    scan.nextPos = from;
    scan.endPos = end;
    scan.mainEndsFirst = false;
    scan.mainChain = scan.main.journal ? scan.main.journal->header.first : kEmptyPtr;
    scan.otherChain = scan.other.journal ? scan.other.journal->header.first : kEmptyPtr;
}

CompareOutcome compareNextBlock(CompareScan& scan, std::uint8_t* mainBlock, std::uint8_t* otherBlock,
                                std::uint32_t* compared) {
    *compared = 0;
    if (scan.nextPos >= scan.endPos) return finish(scan);
    const FilePos left = scan.endPos - scan.nextPos;
    const std::uint32_t n = left < scan.blockSize ? std::uint32_t(left) : scan.blockSize;
    ReadGaps mainGaps, otherGaps;
    if (readSourceBytes(scan.main, scan.nextPos, mainBlock, n, scan.mainChain, scan.token, &mainGaps) != 0)
        return CompareOutcome::MainReadFailed;
    const FilePos otherPos = FilePos(std::int64_t(scan.nextPos) + scan.shift);
    if (readSourceBytes(scan.other, otherPos, otherBlock, n, scan.otherChain, scan.token, &otherGaps) != 0)
        return CompareOutcome::OtherReadFailed;
    if (mainGaps.count != 0 || otherGaps.count != 0)
        passOverGaps(scan, otherPos, mainGaps, otherGaps, mainBlock, otherBlock);
    *compared = n;
    const std::uint32_t at = firstDifference(mainBlock, otherBlock, n);
    if (at < n) {
        scan.foundPos = scan.nextPos + at;
        scan.nextPos = scan.foundPos + 1;
        return CompareOutcome::Difference;
    }
    scan.nextPos += n;
    return scan.nextPos >= scan.endPos ? finish(scan) : CompareOutcome::More;
}

}  // namespace quorby
