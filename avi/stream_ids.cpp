#include "avi/stream_ids.h"

namespace quorby {
namespace {

constexpr FourCc kList = fourCc("LIST");
constexpr FourCc kPrefixMask = 0x00FFFFFF;

FourCc prefixOf(int stream, char kind) {
    return FourCc('0' + stream / 10 % 10) | FourCc('0' + stream % 10) << 8 | FourCc(std::uint8_t(kind)) << 16;
}

struct Prefixes {
    FourCc video = 0, audio = 0;
    bool hasVideo = false, hasAudio = false;
    int counted = 0;
};

// The chunks of [start, end): each read header is handed to `visit`, which
// returns true to enter a list, false to step over (lists nest at most
// kMaxDepth deep); the walk ends at the end, at the content's end, or when
// `visit` sets done.
constexpr int kMaxDepth = 4;

template <typename Visit>
void eachChunk(RiffContent& content, FilePos start, FilePos end, bool& done, Visit visit, int depth = 0) {
    ChunkCursor c;
    c.nextChunkPos = start;
    while (!done && c.nextChunkPos < end && readChunkAt(content, c) == 0) {
        if (visit(c) && !done && depth < kMaxDepth) {
            const FilePos listEnd = followingChunkPos(c.currentChunkPos, c.chunkSize);
            eachChunk(content, c.currentChunkPos + 12, listEnd < end ? listEnd : end, done, visit, depth + 1);
        }
    }
}

void readPrefixes(RiffContent& content, const ChunkCursor& strh, Prefixes& p, AviFacts& facts) {
    std::uint8_t head[8] = {};
    std::uint32_t got = 0;
    if (content.read(strh.currentChunkPos + 8, head, 8, &got) != 0 || got < 8) return;
    const FourCc t = le32(head);
    if (t == fourCc("vids") || t == fourCc("iavs")) {
        facts.videoCompression = le32(head + 4);
        p.video = prefixOf(p.counted++, 'd');
        p.hasVideo = true;
    } else if (t == fourCc("auds")) {
        p.audio = prefixOf(p.counted++, 'w');
        p.hasAudio = true;
    }
}

}  // namespace

int findStreamIds(RiffContent& content, AviFacts& facts) {
    facts.videoIdKnown = facts.audioIdKnown = false;
    facts.videoCompression = 0;
    Prefixes p;
    bool done = false;
    FilePos movi = kNoPos;
    eachChunk(content, 12, content.size(), done, [&](const ChunkCursor& c) {
        if (c.chunkId == kList && c.listType == fourCc("movi")) {
            movi = c.currentChunkPos;
            done = true;
            return false;
        }
        if (c.chunkId == fourCc("strh")) readPrefixes(content, c, p, facts);
        if (c.chunkId == fourCc("avih")) {
            std::uint32_t got = 0;
            facts.hasMainHeader = content.read(c.currentChunkPos, facts.mainHeader, AviFacts::kHeaderBytes, &got) == 0 &&
                                  got >= 56;
        }
        return c.chunkId == kList && (c.listType == fourCc("hdrl") || c.listType == fourCc("strl"));
    });
    if (movi != kNoPos) {
        std::uint8_t size[4] = {};
        std::uint32_t got = 0;
        content.read(movi + 4, size, 4, &got);
        done = false;
        eachChunk(content, movi + 12, followingChunkPos(movi, le32(size)), done, [&](const ChunkCursor& c) {
            if (p.hasVideo && !facts.videoIdKnown && (c.chunkId & kPrefixMask) == p.video) {
                facts.videoDataId = c.chunkId;
                facts.videoIdKnown = true;
            }
            if (p.hasAudio && !facts.audioIdKnown && (c.chunkId & kPrefixMask) == p.audio) {
                facts.audioDataId = c.chunkId;
                facts.audioIdKnown = true;
            }
            done = (facts.videoIdKnown || !p.hasVideo) && (facts.audioIdKnown || !p.hasAudio);
            return c.chunkId == kList && c.listType == fourCc("rec ");
        });
    }
    return facts.videoIdKnown || facts.audioIdKnown ? 0 : 1;
}

}  // namespace quorby
