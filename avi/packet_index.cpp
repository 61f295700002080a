#include "avi/packet_index.h"

#include "avi/index_entries.h"
#include "avi/structure_walk.h"

namespace quorby {
namespace {

class SilentReport : public AviReport {
public:
    void append(std::string_view) override {}
};

bool bytesAt(RiffContent& content, FilePos pos, std::uint8_t* out, std::uint32_t n) {
    std::uint32_t got = 0;
    if (pos >= content.size() || content.size() - pos < n) return false;
    return content.read(pos, out, n, &got) == 0 && got == n;
}

constexpr std::uint32_t kSizeMask = 0x7FFFFFFF;  // bit 31 of a standard index size marks a delta frame

bool inIdx1(RiffContent& content, const IndexPlaces& places, FilePos chunk, IndexedChunk* out) {
    std::uint8_t size[4];
    if (places.idx1Pos == kNoPos || !bytesAt(content, places.idx1Pos + 4, size, 4)) return false;
    if (chunk < places.idx1Base || chunk - places.idx1Base > 0xFFFFFFFFu) return false;
    const std::uint32_t offset = std::uint32_t(chunk - places.idx1Base);
    const std::uint32_t count = le32(size) / 16;
    IndexEntries entries(content, places.idx1Pos + 8, 16, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = entries.entry(i);
        if (e == nullptr) return false;
        if (le32(e + 8) == offset && le32(e + 12) != 0) {
            out->id = le32(e);
            out->size = le32(e + 12);
            return true;
        }
    }
    return false;
}

bool inStandardIndex(RiffContent& content, FilePos ix, FilePos chunk, IndexedChunk* out) {
    std::uint8_t header[32];
    if (!bytesAt(content, ix, header, sizeof header)) return false;
    const std::uint32_t chunkSize = le32(header + 4);
    const std::uint32_t room = chunkSize < 24 ? 0 : (chunkSize - 24) / 8;
    const std::uint32_t inUse = le32(header + 12) < room ? le32(header + 12) : room;
    const FilePos base = le64(header + 20);
    if (chunk + 8 < base || chunk + 8 - base > 0xFFFFFFFFu) return false;
    const std::uint32_t offset = std::uint32_t(chunk + 8 - base);
    IndexEntries entries(content, ix + 32, 8, inUse);
    for (std::uint32_t i = 0; i < inUse; ++i) {
        const std::uint8_t* e = entries.entry(i);
        if (e == nullptr) return false;
        if (le32(e) == offset && (le32(e + 4) & kSizeMask) != 0) {
            out->id = le32(header + 16);
            out->size = le32(e + 4) & kSizeMask;
            return true;
        }
    }
    return false;
}

bool inSuperIndex(RiffContent& content, FilePos indx, FilePos chunk, IndexedChunk* out) {
    std::uint8_t header[32];
    if (indx == 0 || !bytesAt(content, indx, header, sizeof header)) return false;
    const FilePos end = indx + 8 + FilePos(le32(header + 4));
    const std::uint32_t inUse = le32(header + 12);
    for (std::uint32_t i = 0; i < inUse; ++i) {
        const FilePos entry = indx + 32 + 16 * FilePos(i);
        std::uint8_t e[16];
        if (entry + 16 > end || !bytesAt(content, entry, e, 16)) return false;
        if (inStandardIndex(content, le64(e), chunk, out)) return true;
    }
    return false;
}

}  // namespace

IndexPlaces findIndexPlaces(RiffContent& content) {
    AviFacts facts;
    ChunkCursor cursor;
    SilentReport report;
    (void)listStructure(content, cursor, facts, report);  // it ends at the file's end or at a chunk it does not list
    IndexPlaces places;
    places.idx1Pos = facts.idx1Pos;
    places.idx1Base = facts.moviBase == kNoPos ? 0 : facts.moviBase;
    places.superIndexPos[0] = facts.superIndexPos[0];
    places.superIndexPos[1] = facts.superIndexPos[1];
    return places;
}

bool indexedChunkAt(RiffContent& content, const IndexPlaces& places, FilePos chunk, IndexedChunk* out) {
    return inIdx1(content, places, chunk, out) || inSuperIndex(content, places.superIndexPos[0], chunk, out) ||
           inSuperIndex(content, places.superIndexPos[1], chunk, out);
}

}  // namespace quorby
