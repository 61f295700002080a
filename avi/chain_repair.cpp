#include "avi/chain_repair.h"

#include <vector>

#include "avi/chain_walk.h"

namespace quorby {
namespace {

constexpr std::uint32_t kWindow = 1024;
constexpr std::uint32_t kForwardLimit = 1017;

bool bytesAt(RiffContent& content, FilePos pos, std::uint8_t* out, std::uint32_t n) {
    std::uint32_t got = 0;
    if (pos >= content.size() || content.size() - pos < n) return false;
    return content.read(pos, out, n, &got) == 0 && got == n;
}

bool packetList(FourCc listType) { return listType == fourCc("movi") || listType == fourCc("rec "); }

// The chunk at `broken` made to end at `found` (an even position): the
// distance gives the size, or one less with a pad byte after the data.
// A size whose low 16 bits still agree with one of the two was damaged only
// in its high bits. Otherwise a byte other than zero before `found` is data,
// not a pad byte. Packets end where their codec ends them (a zero pad after
// a last byte that is not zero); the structures of the header lists all
// have even sizes.
std::uint32_t sizeEndingAt(RiffContent& content, const ChainBreak& at, std::uint32_t oldSize, FilePos found) {
    const std::uint32_t d = std::uint32_t(found - at.broken - 8);
    if (d == 0 || (d & 1) != 0) return d;
    if ((oldSize & 0xFFFF) == (d & 0xFFFF)) return d;
    if ((oldSize & 0xFFFF) == ((d - 1) & 0xFFFF)) return d - 1;
    if (!packetList(at.listType) || d < 2) return d;
    std::uint8_t last[2];
    if (!bytesAt(content, found - 2, last, 2)) return d;
    if (last[1] != 0) return d;
    return last[0] != 0 ? d - 1 : d;
}

bool reachable(const ChainBreak& at, FilePos candidate) {
    if (candidate < at.broken + 8 || candidate > at.end || (candidate & 1) != 0) return false;
    return candidate - at.broken - 8 <= 0xFFFFFFFFu;
}

// The nearest position around `landing` (the two pages from its page,
// forward first at each distance) where the chain goes on; with `strict`
// off, any known chunk id will do.
FilePos searchAround(RiffContent& content, const ChainBreak& at, const AviFacts& facts, bool strict) {
    const FilePos page = pageStart(at.landing);
    std::uint8_t window[kWindow] = {};
    std::uint32_t got = 0;
    if (content.read(page, window, kWindow, &got) != 0) return kNoPos;
    const std::uint32_t from = std::uint32_t(at.landing - page);
    auto fits = [&](std::uint32_t offset) {
        const FilePos candidate = page + offset;
        if (!reachable(at, candidate)) return false;
        if (candidate == at.end) return true;
        if (offset + 4 > got || !isKnownChunkId(le32(window + offset), facts)) return false;
        return !strict || chainGoesOnAt(content, candidate, at.end, at.listType, facts);
    };
    for (std::uint32_t d = 0; d < kChainRepairDistances; ++d) {
        if (from + d < kForwardLimit && fits(from + d)) return page + from + d;
        if (d > 0 && d <= from && fits(from - d)) return page + from - d;
    }
    return kNoPos;
}

// A chunk whose size reaches past its list's end: the first position after
// its data start where the chain goes on, within kOverrunSearch bytes.
FilePos searchForward(RiffContent& content, const ChainBreak& at, const AviFacts& facts) {
    const FilePos first = at.broken + 8;
    if (first > at.end) return kNoPos;
    const FilePos span = at.end - first < kOverrunSearch ? at.end - first : kOverrunSearch;
    std::vector<std::uint8_t> bytes(std::size_t(span) + 4, 0);
    std::uint32_t got = 0;
    if (span > 0 && content.read(first, bytes.data(), std::uint32_t(span), &got) != 0) return kNoPos;
    for (FilePos off = 0; off + 4 <= got; off += 2) {
        if (isKnownChunkId(le32(&bytes[off]), facts) && chainGoesOnAt(content, first + off, at.end, at.listType, facts))
            return first + off;
    }
    return first + span == at.end ? at.end : kNoPos;
}

}  // namespace

bool chainGoesOnAt(RiffContent& content, FilePos pos, FilePos end, FourCc listType, const AviFacts& facts) {
    if (pos == end) return true;
    std::uint8_t header[8];
    if (pos > end || end - pos < 8 || !bytesAt(content, pos, header, 8)) return false;
    if (!idFitsList(le32(header), listType, facts)) return false;
    return followingChunkPos(pos, le32(header + 4)) <= end;
}

ChainRepair findChainRepair(RiffContent& content, const ChainBreak& at, const AviFacts& facts,
                            IndexPlaces* places) {
    ChainRepair repair;
    std::uint8_t header[8];
    if (!bytesAt(content, at.broken, header, 8)) return repair;
    const FourCc id = le32(header);
    repair.oldSize = le32(header + 4);
    // A size that leads exactly to the end of its list is right, whatever follows the list.
    if (at.landing == at.end) {
        repair.verdict = ChainVerdict::SizeRight;
        return repair;
    }

    IndexedChunk indexed;
    if (places != nullptr && indexedChunkAt(content, *places, at.broken, &indexed) && indexed.id == id) {
        if (indexed.size == repair.oldSize) {
            repair.verdict = ChainVerdict::SizeRight;
            return repair;
        }
        const FilePos target = followingChunkPos(at.broken, indexed.size);
        if (target <= at.end && chainGoesOnAt(content, target, at.end, at.listType, facts)) {
            repair.verdict = ChainVerdict::NewSize;
            repair.found = target;
            repair.newSize = indexed.size;
            repair.fromIndex = true;
            return repair;
        }
    }

    const bool overrun = at.landing > at.end;
    if (!overrun && at.landing < at.end) {
        // Only the id at the landing position is damaged when its size leads on.
        std::uint8_t landing[8];
        if (bytesAt(content, at.landing, landing, 8)) {
            const FilePos next = followingChunkPos(at.landing, le32(landing + 4));
            IndexedChunk there;
            const bool indexedThere = places != nullptr && indexedChunkAt(content, *places, at.landing, &there) &&
                                      there.size == le32(landing + 4);
            if (next <= at.end && (indexedThere || chainGoesOnAt(content, next, at.end, at.listType, facts))) {
                repair.verdict = ChainVerdict::SizeRight;
                return repair;
            }
        }
    }

    FilePos found = overrun ? searchForward(content, at, facts) : searchAround(content, at, facts, true);
    if (found == kNoPos && !overrun) found = searchAround(content, at, facts, false);
    if (found == kNoPos) return repair;
    repair.verdict = ChainVerdict::NewSize;
    repair.found = found;
    repair.newSize = sizeEndingAt(content, at, repair.oldSize, found);
    return repair;
}

}  // namespace quorby
