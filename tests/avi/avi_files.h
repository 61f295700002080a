#pragma once
// The AVI files the tests check: the textbook AVI 1.0 layout, and the layout
// a real OpenDML writer puts down (extra chunks in the stream lists, index
// space reserved with JUNK, super indexes, standard indexes in movi, idx1,
// a follow-on RIFF AVIX).
#include <cstring>
#include <vector>

#include "tests/avi/avi_builder.h"

namespace quorby::test {

struct Packet {
    std::size_t pos;  // the chunk header
    std::string id;
    std::uint32_t size;
};

struct BuiltAvi {
    AviBuilder b;
    std::size_t hdrl = 0, avih = 0, moviList[2] = {0, 0}, idx1 = 0, avix = 0;
    std::size_t indx[2] = {0, 0};
    std::vector<std::size_t> ix[2];     // standard indexes per stream, in file order
    std::vector<Packet> packets;        // in file order
    std::vector<std::string> expected;  // the structure report, line by line
    void expect(std::size_t pos, const std::string& label) { expected.push_back(posLine(pos, label)); }
    std::string expectedReport() const {
        std::string s;
        for (const auto& l : expected) s += l;
        return s;
    }
};

// Stream lists of the given types, then a movi list of the given packets of
// `packetSize` bytes each; `moviList` (if given) gets the movi list's position.
inline std::vector<std::uint8_t> streamsAndPackets(const std::vector<const char*>& types,
                                                   const std::vector<const char*>& packets,
                                                   std::uint32_t packetSize = 10, std::size_t* moviList = nullptr) {
    AviBuilder b;
    const std::size_t riff = b.beginList("RIFF", "AVI ");
    const std::size_t hdrl = b.beginList("LIST", "hdrl");
    b.mainHeader(40000, 0, 16, 16);
    for (const char* type : types) {
        const std::size_t strl = b.beginList("LIST", "strl");
        b.streamHeader(type, "abcd");
        b.chunk("strf", 8);
        b.endList(strl);
    }
    b.endList(hdrl);
    const std::size_t movi = b.beginList("LIST", "movi");
    for (const char* id : packets) b.chunk(id, packetSize);
    b.endList(movi);
    b.endList(riff);
    if (moviList) *moviList = movi;
    return b.bytes;
}

inline std::size_t addPacket(BuiltAvi& f, const char* id, std::uint32_t size) {
    const std::size_t at = f.b.chunk(id, size, std::uint8_t(f.packets.size() + 1));
    f.packets.push_back({at, id, size});
    return at;
}

// RIFF AVI: hdrl (avih, a video and an audio stream list), movi with a
// "rec " list first and packets of odd and even sizes, idx1 whose first
// entry is the "rec " list. Offsets relative to movi's list type, or absolute.
inline BuiltAvi textbookAvi(bool absoluteOffsets = false) {
    BuiltAvi f;
    AviBuilder& b = f.b;
    const std::size_t riff = b.beginList("RIFF", "AVI ");
    f.hdrl = b.beginList("LIST", "hdrl");
    f.expect(f.hdrl, "LIST hdrl");
    f.avih = b.mainHeader(40000, 0x110, 320, 240);
    f.expect(f.avih, "   avih");
    for (const char* type : {"vids", "auds"}) {
        const std::size_t strl = b.beginList("LIST", "strl");
        f.expect(strl, "   LIST strl");
        f.expect(b.streamHeader(type, type[0] == 'v' ? "DIVX" : "\0\0\0\0"), "      LIST strh");
        f.expect(b.chunk("strf", type[0] == 'v' ? 40 : 18), "      LIST strf");
        b.endList(strl);
    }
    b.endList(f.hdrl);
    f.moviList[0] = b.beginList("LIST", "movi");
    f.expect(f.moviList[0], "LIST movi");
    const std::size_t rec = b.beginList("LIST", "rec ");
    addPacket(f, "00dc", 101);
    addPacket(f, "01wb", 64);
    b.endList(rec);
    for (int i = 0; i < 3; ++i) {
        addPacket(f, "00dc", 200 + i);
        addPacket(f, "01wb", 33);
    }
    b.endList(f.moviList[0]);
    const std::size_t base = absoluteOffsets ? 0 : f.moviList[0] + 8;
    f.idx1 = b.pos();
    b.put("idx1");
    b.put32(std::uint32_t(16 * (f.packets.size() + 1)));
    b.put("rec ");
    b.put32(0);
    b.put32(std::uint32_t(rec - base));
    b.put32(std::uint32_t(f.packets[1].pos + 8 + f.packets[1].size - rec - 8));
    for (const Packet& p : f.packets) {
        b.put(p.id.c_str());
        b.put32(0x10);
        b.put32(std::uint32_t(p.pos - base));
        b.put32(p.size);
    }
    f.expect(f.idx1, "idx1");
    b.endList(riff);
    return f;
}

// A standard index of `stream` ("00dc"/"01wb") over packets, pointing at
// their data; base offset = the movi list's position.
inline std::size_t standardIndex(BuiltAvi& f, const char* id, const char* chunkId,
                                 const std::vector<Packet>& over, std::size_t base) {
    AviBuilder& b = f.b;
    const std::size_t at = b.pos();
    b.put(id);
    b.put32(std::uint32_t(24 + 8 * over.size()));
    b.put16(2);
    b.bytes.push_back(0);
    b.bytes.push_back(1);
    b.put32(std::uint32_t(over.size()));
    b.put(chunkId);
    b.put64(base);
    b.put32(0);
    for (const Packet& p : over) {
        b.put32(std::uint32_t(p.pos + 8 - base));
        b.put32(p.size);
    }
    return at;
}

// A super index with room for four entries, of which `used` are filled later.
inline std::size_t superIndex(AviBuilder& b, const char* chunkId) {
    const std::size_t at = b.chunk("indx", 24 + 4 * 16);
    b.set32(at + 8, 4 | (0 << 16) | (0u << 24));
    std::memcpy(&b.bytes[at + 16], chunkId, 4);
    return at;
}

inline void addSuperEntry(AviBuilder& b, std::size_t indx, int n, std::size_t ixPos, std::uint32_t ixSize) {
    b.set32(indx + 12, std::uint32_t(n + 1));
    const std::size_t e = indx + 32 + 16 * std::size_t(n);
    b.set64(e, ixPos);
    b.set32(e + 8, ixSize + 8);
    b.set32(e + 12, 1);
}

// One movi list: `frames` pairs of video and audio packets, then ix00 and
// ix01 over them, entered in the super indexes as entry `segment`. Video
// packets of `videoSize` bytes, or of 120 bytes and 7 more each for 0.
inline void moviSegment(BuiltAvi& f, int segment, int frames, bool listed, std::uint32_t videoSize = 0) {
    AviBuilder& b = f.b;
    const std::size_t movi = b.beginList("LIST", "movi");
    f.moviList[segment] = movi;
    if (listed) f.expect(movi, "LIST movi");
    std::vector<Packet> video, audio;
    for (int i = 0; i < frames; ++i) {
        addPacket(f, "00dc", videoSize != 0 ? videoSize : 120 + 7 * std::uint32_t(i));
        video.push_back(f.packets.back());
        addPacket(f, "01wb", 48);
        audio.push_back(f.packets.back());
    }
    const char* ids[2] = {"ix00", "ix01"};
    const char* chunkIds[2] = {"00dc", "01wb"};
    for (int s = 0; s < 2; ++s) {
        const std::size_t ix = standardIndex(f, ids[s], chunkIds[s], s == 0 ? video : audio, movi);
        f.ix[s].push_back(ix);
        addSuperEntry(b, f.indx[s], segment, ix, std::uint32_t(b.pos() - ix - 8));
    }
    b.endList(movi);
}

// The layout of a common OpenDML writer: video strl = strh, strf, indx,
// vprp; audio strl = strh, strf, JUNK, indx, strd; odml/dmlh; JUNK after
// hdrl's lists; LIST INFO; JUNK; movi with ix00/ix01; idx1; RIFF AVIX with a
// second movi.
inline BuiltAvi muxerAvi(int frames = 3, std::uint32_t videoSize = 0) {
    BuiltAvi f;
    AviBuilder& b = f.b;
    const std::size_t riff = b.beginList("RIFF", "AVI ");
    f.hdrl = b.beginList("LIST", "hdrl");
    f.expect(f.hdrl, "LIST hdrl");
    f.avih = b.mainHeader(33366, 0x910, 640, 480);
    f.expect(f.avih, "   avih");
    std::size_t strl = b.beginList("LIST", "strl");
    f.expect(strl, "   LIST strl");
    f.expect(b.streamHeader("vids", "FMP4"), "      LIST strh");
    f.expect(b.chunk("strf", 40), "      LIST strf");
    f.indx[0] = superIndex(b, "00dc");
    f.expect(f.indx[0], "      LIST indx");
    f.expect(b.chunk("vprp", 68), "      vprp");
    b.endList(strl);
    strl = b.beginList("LIST", "strl");
    f.expect(strl, "   LIST strl");
    f.expect(b.streamHeader("auds", "\1\0\0\0"), "      LIST strh");
    f.expect(b.chunk("strf", 18), "      LIST strf");
    f.expect(b.chunk("JUNK", 16), "      JUNK");
    f.indx[1] = superIndex(b, "01wb");
    f.expect(f.indx[1], "      LIST indx");
    f.expect(b.chunk("strd", 11), "      strd");
    b.endList(strl);
    const std::size_t odml = b.beginList("LIST", "odml");
    f.expect(odml, "   LIST odml");
    f.expect(b.chunk("dmlh", 248), "      LIST dmlh");
    b.endList(odml);
    f.expect(b.chunk("JUNK", 60), "   JUNK");
    b.endList(f.hdrl);
    const std::size_t info = b.beginList("LIST", "INFO");
    b.chunk("ISFT", 14);
    b.endList(info);
    f.expect(info, "LIST INFO");
    f.expect(b.chunk("JUNK", 1016), "JUNK");
    moviSegment(f, 0, frames, true, videoSize);
    f.idx1 = b.pos();
    b.put("idx1");
    b.put32(std::uint32_t(16 * f.packets.size()));
    for (const Packet& p : f.packets) {
        b.put(p.id.c_str());
        b.put32(0x10);
        b.put32(std::uint32_t(p.pos - f.moviList[0] - 8));
        b.put32(p.size);
    }
    f.expect(f.idx1, "idx1");
    b.endList(riff);
    f.avix = b.beginList("RIFF", "AVIX");
    f.expect(f.avix, "RIFF");
    moviSegment(f, 1, frames, true, videoSize);
    b.endList(f.avix);
    return f;
}

}  // namespace quorby::test
