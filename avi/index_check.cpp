#include "avi/index_check.h"

#include <string>

#include "avi/chunk_id_window.h"
#include "avi/index_entries.h"
#include "avi/standard_entries.h"

namespace quorby {
namespace {

constexpr char kBeyondEnd[] = "   File-Pointer beyond End of File !";
constexpr char kStopped[] = "   Stopped by User !";

// The four bytes at `pos`, or false when they do not lie wholly in the file.
bool idAt(RiffContent& content, FilePos pos, FourCc* id) {
    std::uint8_t b[4] = {};
    std::uint32_t got = 0;
    if (pos >= content.size() || content.size() - pos < 4) return false;
    if (content.read(pos, b, 4, &got) != 0 || got < 4) return false;
    *id = le32(b);
    return true;
}

// `n` bytes at `pos` wholly inside the file.
bool bytesAt(RiffContent& content, FilePos pos, std::uint8_t* out, std::uint32_t n) {
    std::uint32_t got = 0;
    if (pos >= content.size() || content.size() - pos < n) return false;
    return content.read(pos, out, n, &got) == 0 && got == n;
}

// The chunk of the expected id that follows the previous entry's chunk
// (data position `prevData`): JUNK and the packets of other streams are
// stepped over, at most kRepairSteps chunks; chunk ends rounded to even
// positions. A chain that passes `claimed` (the chunk the wrong entry names)
// shows the entry right and that chunk's id damaged. Result: its position,
// or kNoPos.
constexpr int kRepairSteps = 256;

FilePos followingChunk(RiffContent& content, FilePos prevData, FourCc expected, FilePos claimed) {
    std::uint8_t size[4];
    if (prevData < 4 || !bytesAt(content, prevData - 4, size, 4)) return kNoPos;
    FilePos candidate = prevData + le32(size);
    candidate += candidate & 1;
    FourCc id = 0;
    for (int step = 0; step < kRepairSteps && candidate != claimed && idAt(content, candidate, &id); ++step) {
        if (id == expected) return candidate;
        if (!isPrintableFourCc(id) || !bytesAt(content, candidate + 4, size, 4)) break;
        candidate = followingChunkPos(candidate, le32(size));
    }
    return kNoPos;
}

// What a wrong standard index entry is repaired from: the previous entry's
// data position (its chunk found right), the entry's own size, and the
// chunk the next entry names (kNoPos for the last entry).
struct EntryRepair {
    FilePos entry = 0;      // the entry's offset field
    FilePos base = 0;
    FilePos prevData = kNoPos;
    FourCc expected = 0;
    std::uint32_t size = 0;
    FilePos nextChunk = kNoPos;
    FilePos claimed = 0;    // the chunk the entry names now
};

constexpr std::uint32_t kEntrySizeMask = 0x7FFFFFFF;  // bit 31 marks a delta frame

// With repair on: the entry set to the chunk that follows the previous one,
// when that chunk is the one the entry describes: the expected id, the
// entry's size, and lying before the chunk the next entry names. Writes the
// rest of the "Trying to repair" line. Result: the entry's new data
// position, or kNoPos when nothing was changed.
FilePos repairEntry(IndexCheckPort& port, const EntryRepair& r) {
    AviReport& report = port.report();
    report.append("   Trying to repair ");
    RiffContent& content = port.content();
    const FilePos found = r.prevData == kNoPos ? kNoPos : followingChunk(content, r.prevData, r.expected, r.claimed);
    std::uint8_t size[4];
    bool described = found != kNoPos && found >= r.base && found + 8 - r.base <= 0xFFFFFFFFu &&
                     bytesAt(content, found + 4, size, 4) && le32(size) == r.size;
    if (described && r.nextChunk != kNoPos) described = followingChunkPos(found, r.size) <= r.nextChunk;
    std::uint8_t offset[4];
    putLe32(offset, std::uint32_t(found + 8 - r.base));
    if (!described || port.storeBytes(r.entry, offset, 4) != 0) {
        reportLine(report, "   No Success !");
        return kNoPos;
    }
    reportLine(report, "   Success !");
    return found + 8;
}

// An idx1 entry's chunk: its id at the data position; a "rec " entry
// names the "LIST" chunk of type "rec " there.
bool idx1EntryHolds(RiffContent& content, FilePos data, FourCc id) {
    FourCc there = 0;
    if (!idAt(content, data, &there)) return false;
    if (id != fourCc("rec ")) return there == id;
    return there == fourCc("LIST") && idAt(content, data + 8, &there) && there == id;
}

}  // namespace

void reportResult(AviReport& report, std::uint32_t errors) {
    if (errors == 0) reportLine(report, "      No Errors !");
    else reportLine(report, "There are " + std::to_string(errors) + " Errors !");
}

StandardIndexEnd checkStandardIndex(IndexCheckPort& port, FilePos pos, bool repair, std::uint32_t* errors) {
    RiffContent& content = port.content();
    AviReport& report = port.report();
    std::uint8_t header[32];
    if (!bytesAt(content, pos, header, sizeof header)) {
        reportPosLine(report, pos, kBeyondEnd);
        ++*errors;
        return StandardIndexEnd::PastEnd;
    }
    const std::uint32_t chunkSize = le32(header + 4);
    std::uint32_t inUse = le32(header + 12);
    const FourCc id = le32(header + 16);
    const FilePos base = le64(header + 20);
    // Entries the chunk itself does not hold are not read.
    const std::uint32_t room = chunkSize < 24 ? 0 : (chunkSize - 24) / 8;
    if (inUse > room) inUse = room;
    IndexEntries entries(content, pos + 32, 8, inUse);
    ChunkIdWindow ids(content);
    // The previous entry's data position, when its chunk was found right.
    FilePos prevData = kNoPos;
    for (std::uint32_t i = 0; i < inUse; ++i) {
        const FilePos entry = pos + 32 + 8 * FilePos(i);
        const std::uint8_t* e = entries.entry(i);
        if (e == nullptr) {
            reportPosLine(report, entry, kBeyondEnd);
            ++*errors;
            return StandardIndexEnd::PastEnd;
        }
        FilePos data = base + le32(e);
        const std::uint32_t size = le32(e + 4) & kEntrySizeMask;
        const FilePos chunk = data - 8;
        // The ids of the next entries' chunks that follow closely are read
        // with this one.
        FilePos reachEnd = chunk + 4;
        for (std::uint32_t k = i + 1; k < inUse && !ids.holds(chunk); ++k) {
            const std::uint8_t* next = entries.held(k);
            if (next == nullptr || !extendReach(chunk, reachEnd, base + le32(next) - 8)) break;
        }
        FourCc there = 0;
        bool right = ids.idAt(chunk, reachEnd, &there) && there == id;
        if (!right) {
            reportPosLine(report, chunk, "   Wrong Data !");
            reportPosLine(report, entry - 8, "   (Index Entry)");
            port.flush();
            ++*errors;
            if (repair && i > 0) {
                EntryRepair r{entry, base, prevData, id, size, kNoPos, chunk};
                if (i + 1 < inUse) {
                    const std::uint8_t* next = entries.entry(i + 1);
                    if (next != nullptr) r.nextChunk = base + le32(next) - 8;
                }
                const FilePos repaired = repairEntry(port, r);
                if (repaired != kNoPos) {
                    data = repaired;
                    right = true;
                }
            }
            const bool goOn = port.goOnAfterError();
            // A repair or the question may have changed the content.
            entries.forget();
            ids.forget();
            if (!goOn) return StandardIndexEnd::StoppedByNo;
        }
        prevData = right ? data : kNoPos;
        report.reached(data);
        if (report.stopRequested()) {
            reportLine(report, kStopped);
            port.flush();
            return StandardIndexEnd::StoppedByUser;
        }
    }
    return StandardIndexEnd::Done;
}

CheckOutcome checkSuperIndexes(IndexCheckPort& port, const AviFacts& facts, const IndexCheckOptions& options) {
    RiffContent& content = port.content();
    AviReport& report = port.report();
    CheckOutcome out;
    bool stoppedOnce = false;
    if (facts.superIndexPos[0] == 0) return out;
    for (FilePos indx : facts.superIndexPos) {
        if (indx == 0) continue;
        // The super index as a window of 2048 bytes from its page's start:
        // entries beyond it are not checked.
        const FilePos windowEnd = pageStart(indx) + 2048;
        std::uint8_t header[32];
        if (!bytesAt(content, indx, header, sizeof header)) {
            reportPosLine(report, indx, kBeyondEnd);
            ++out.errors;
            return out;
        }
        const std::uint32_t chunkSize = le32(header + 4);
        const std::uint32_t inUse = le32(header + 12);
        const std::uint8_t stream[2] = {header[16], header[17]};
        for (std::uint32_t i = 0; i < inUse; ++i) {
            const FilePos entry = indx + 32 + 16 * FilePos(i);
            std::uint8_t e[16];
            if (entry + 16 > windowEnd || entry + 16 > indx + 8 + FilePos(chunkSize) || !bytesAt(content, entry, e, 16))
                break;
            const FilePos offset = le64(e);
            FourCc id = 0;
            if (offset >= content.size() || !idAt(content, offset, &id)) {
                reportPosLine(report, offset, kBeyondEnd);
                ++out.errors;
                return out;
            }
            reportPosLine(report, offset, fourCcText(id));
            report.reached(offset);
            const bool isIndex = (id & 0xFF) == 'i' && (id >> 8 & 0xFF) == 'x' && (id >> 16 & 0xFF) == stream[0] &&
                                 (id >> 24 & 0xFF) == stream[1];
            if (!isIndex) {
                reportLine(report, "   Data Index not found !");
                ++out.errors;
                if (!port.goOnAfterError()) return out;
            } else if (options.dataIndexes) {
                const StandardIndexEnd end = checkStandardIndex(port, offset, options.repair, &out.errors);
                if (end == StandardIndexEnd::StoppedByUser) {
                    if (stoppedOnce) {
                        reportLine(report, kStopped);
                        reportResult(report, out.errors);
                        out.end = CheckEnd::Result;
                        return out;
                    }
                    stoppedOnce = true;
                }
            } else if (report.stopRequested()) {
                reportLine(report, kStopped);
                reportResult(report, out.errors);
                out.end = CheckEnd::Result;
                return out;
            }
        }
    }
    reportResult(report, out.errors);
    out.end = CheckEnd::Result;
    out.standardIndexesRight = options.dataIndexes && out.errors == 0 && !stoppedOnce;
    return out;
}

CheckOutcome checkIdx1(IndexCheckPort& port, const AviFacts& facts, bool standardIndexesRight) {
    RiffContent& content = port.content();
    AviReport& report = port.report();
    CheckOutcome out;
    if (facts.idx1Pos == kNoPos) return out;
    std::uint8_t size[4];
    if (!bytesAt(content, facts.idx1Pos + 4, size, 4)) return out;
    const FilePos base = facts.moviBase == kNoPos ? 0 : facts.moviBase;
    const std::uint32_t entries = le32(size) / 16;
    StandardEntries verified[2] = {{content, standardIndexesRight ? facts.superIndexPos[0] : 0},
                                   {content, standardIndexesRight ? facts.superIndexPos[1] : 0}};
    IndexEntries block(content, facts.idx1Pos + 8, 16, entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const FilePos entry = facts.idx1Pos + 8 + 16 * FilePos(i);
        const std::uint8_t* e = block.entry(i);
        if (e == nullptr) {
            reportPosLine(report, entry, kBeyondEnd);
            ++out.errors;
            return out;
        }
        const FourCc id = le32(e);
        const std::uint32_t length = le32(e + 12);
        if (length == 0 || (id & 0xFFFF) == (fourCc("7Fxx") & 0xFFFF)) continue;
        const FilePos data = base + le32(e + 8);
        const bool known = verified[0].names(data, id) || verified[1].names(data, id);
        if (!known && !idx1EntryHolds(content, data, id)) {
            reportPosLine(report, data, "   Wrong Data !");
            reportPosLine(report, entry + 8, "   (Index Entry)");
            port.flush();
            ++out.errors;
            const bool goOn = port.goOnAfterError();
            block.forget();
            if (!goOn) return out;
        }
        report.reached(data);
        if (report.stopRequested()) {
            reportLine(report, kStopped);
            break;
        }
    }
    reportResult(report, out.errors);
    out.end = CheckEnd::Result;
    return out;
}

}  // namespace quorby
