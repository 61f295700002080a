#include "avi/stream_list.h"

namespace quorby {
namespace {

constexpr FourCc kList = fourCc("LIST");

struct Header {
    FourCc id = 0;
    std::uint32_t size = 0;
    FourCc type = 0;
};

bool headerAt(RiffContent& content, FilePos pos, FilePos end, Header* h) {
    std::uint8_t b[12] = {};
    std::uint32_t got = 0;
    if (pos >= end || end - pos < 8 || content.read(pos, b, sizeof b, &got) != 0 || got < 8) return false;
    h->id = le32(b);
    h->size = le32(b + 4);
    h->type = got >= 12 ? le32(b + 8) : 0;
    return true;
}

FilePos endOf(FilePos pos, const Header& h, FilePos limit) {
    const FilePos end = followingChunkPos(pos, h.size);
    return end < limit ? end : limit;
}

FourCc usualId(int number, FourCc type) {
    const char* kind = type == fourCc("vids") || type == fourCc("iavs") ? "dc"
                       : type == fourCc("auds")                         ? "wb"
                       : type == fourCc("txts")                         ? "tx"
                                                                        : "??";
    return FourCc('0' + number / 10 % 10) | FourCc('0' + number % 10) << 8 | FourCc(std::uint8_t(kind[0])) << 16 |
           FourCc(std::uint8_t(kind[1])) << 24;
}

void readStreamList(RiffContent& content, FilePos pos, FilePos end, StreamList& list) {
    if (list.count == StreamList::kMaxStreams) return;
    StreamEntry& s = list.streams[list.count++];
    Header h;
    for (; headerAt(content, pos, end, &h); pos = followingChunkPos(pos, h.size)) {
        if (h.id != fourCc("strh")) continue;
        s.type = h.type;  // the stream type is the first field of the header's data
        break;
    }
}

int streamNumber(FourCc id) {
    const int tens = int(id & 0xFF) - '0', ones = int(id >> 8 & 0xFF) - '0';
    if (tens < 0 || tens > 9 || ones < 0 || ones > 9) return -1;
    return tens * 10 + ones;
}

// The first packets of each stream in [pos, end); "rec " lists entered.
void findPacketIds(RiffContent& content, FilePos pos, FilePos end, StreamList& list, int& budget, int& unseen,
                   bool inRec = false) {
    Header h;
    for (; unseen > 0 && budget > 0 && headerAt(content, pos, end, &h); pos = followingChunkPos(pos, h.size)) {
        --budget;
        if (h.id == kList && h.type == fourCc("rec ") && !inRec) {
            findPacketIds(content, pos + 12, endOf(pos, h, end), list, budget, unseen, true);
            continue;
        }
        const int n = streamNumber(h.id);
        if (n >= 0 && n < list.count && !list.streams[n].seen) {
            list.streams[n].id = h.id;
            list.streams[n].seen = true;
            --unseen;
        }
    }
}

}  // namespace

StreamList listStreams(RiffContent& content) {
    StreamList list;
    Header riff;
    if (!headerAt(content, 0, content.size(), &riff)) return list;
    const FilePos riffEnd = endOf(0, riff, content.size());
    Header h;
    FilePos movi = kNoPos;
    for (FilePos pos = 12; movi == kNoPos && headerAt(content, pos, riffEnd, &h); pos = followingChunkPos(pos, h.size)) {
        if (h.id != kList) continue;
        if (h.type == fourCc("movi")) movi = pos;
        if (h.type != fourCc("hdrl")) continue;
        const FilePos hdrlEnd = endOf(pos, h, riffEnd);
        Header s;
        for (FilePos at = pos + 12; headerAt(content, at, hdrlEnd, &s); at = followingChunkPos(at, s.size))
            if (s.id == kList && s.type == fourCc("strl")) readStreamList(content, at + 12, endOf(at, s, hdrlEnd), list);
    }
    for (int n = 0; n < list.count; ++n) list.streams[n].id = usualId(n, list.streams[n].type);
    if (movi != kNoPos && headerAt(content, movi, riffEnd, &h)) {
        int budget = kStreamListPackets;
        int unseen = list.count;
        findPacketIds(content, movi + 12, endOf(movi, h, riffEnd), list, budget, unseen);
    }
    return list;
}

}  // namespace quorby
