#include "avi/chain_repair.h"

#include "avi/chain_walk.h"

namespace quorby {
namespace {

constexpr std::uint32_t kWindow = 1024;
constexpr std::uint32_t kForwardLimit = 1017;

bool reachable(FilePos broken, FilePos end, FilePos candidate) {
    if (candidate < broken + 8 || candidate >= end || (candidate & 1) != 0) return false;
    return candidate - broken - 8 <= 0xFFFFFFFFu;
}

}  // namespace

int findChainRepair(RiffContent& content, FilePos broken, std::uint32_t brokenSize, FilePos landing, FilePos end,
                    const AviFacts& facts, ChainRepair* repair) {
    const FilePos landingPage = pageStart(landing);
    std::uint8_t window[kWindow] = {};
    std::uint32_t got = 0;
    if (content.read(landingPage, window, kWindow, &got) != 0) return 1;
    const std::uint32_t at = std::uint32_t(landing - landingPage);
    auto tryOffset = [&](std::uint32_t offset) {
        if (offset + 4 > got) return false;
        const FilePos candidate = landingPage + offset;
        if (!reachable(broken, end, candidate) || !isKnownChunkId(le32(window + offset), facts)) return false;
        repair->found = candidate;
        repair->newSize = std::uint32_t(candidate - broken - 8);
        if ((brokenSize & 1) != 0 && repair->newSize > 0) --repair->newSize;
        return true;
    };
    for (std::uint32_t d = 0; d < kChainRepairDistances; ++d) {
        if (at + d < kForwardLimit && tryOffset(at + d)) return 0;
        if (d > 0 && d <= at && tryOffset(at - d)) return 0;
    }
    return 1;
}

}  // namespace quorby
