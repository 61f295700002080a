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

bool inIdx1(RiffContent& content, IndexPlaces& places, FilePos chunk, IndexedChunk* out) {
    std::uint8_t size[4];
    if (places.idx1Pos == kNoPos || !bytesAt(content, places.idx1Pos + 4, size, 4)) return false;
    if (chunk < places.idx1Base || chunk - places.idx1Base > 0xFFFFFFFFu) return false;
    const std::uint32_t offset = std::uint32_t(chunk - places.idx1Base);
    // Entries that would lie past the end of the file are not looked at.
    const FilePos inFile = (content.size() - places.idx1Pos - 8) / 16;
    const std::uint32_t count = le32(size) / 16 < inFile ? le32(size) / 16 : std::uint32_t(inFile);
    IndexEntries entries(content, places.idx1Pos + 8, 16, count);
    const std::uint32_t first = places.idx1Next < count ? places.idx1Next : 0;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint32_t i = first + k < count ? first + k : first + k - count;
        const std::uint8_t* e = entries.entry(i);
        if (e == nullptr) continue;
        if (le32(e + 8) == offset && le32(e + 12) != 0) {
            out->id = le32(e);
            out->size = le32(e + 12);
            places.idx1Next = i;
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

bool inSuperIndex(RiffContent& content, FilePos indx, std::uint32_t& next, FilePos chunk, IndexedChunk* out) {
    std::uint8_t header[32];
    if (indx == 0 || !bytesAt(content, indx, header, sizeof header)) return false;
    const FilePos end = indx + 8 + FilePos(le32(header + 4));
    const std::uint32_t inUse = le32(header + 12);
    const FilePos room = end < indx + 32 ? 0 : (end - indx - 32) / 16;
    const std::uint32_t entries = room < inUse ? std::uint32_t(room) : inUse;
    const std::uint32_t first = next < entries ? next : 0;
    for (std::uint32_t k = 0; k < entries; ++k) {
        const std::uint32_t i = first + k < entries ? first + k : first + k - entries;
        std::uint8_t e[16];
        if (!bytesAt(content, indx + 32 + 16 * FilePos(i), e, 16)) continue;
        if (inStandardIndex(content, le64(e), chunk, out)) {
            next = i;
            return true;
        }
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

bool indexedChunkAt(RiffContent& content, IndexPlaces& places, FilePos chunk, IndexedChunk* out) {
    return inIdx1(content, places, chunk, out) ||
           inSuperIndex(content, places.superIndexPos[0], places.superNext[0], chunk, out) ||
           inSuperIndex(content, places.superIndexPos[1], places.superNext[1], chunk, out);
}

}  // namespace quorby
