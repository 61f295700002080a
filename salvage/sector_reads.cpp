#include "salvage/sector_reads.h"

#include <cerrno>
#include <cstring>

namespace quorby {
namespace {

bool unreadableMedium(const SystemError& e) { return isMediumError(e.sysErrno); }

struct Salvage {
    FileIo& files;
    FileHandle handle;
    UnreadableSectors& known;
    FilePos base;          // the position of buf[0]
    std::uint8_t* buf;
    ReadGaps& gaps;
    FilePos filledEnd;     // the end of what was delivered so far
    bool endOfFile = false;
    bool failedRead = false;  // a read failed during this call
};

void addGap(ReadGaps& g, std::uint32_t offset, std::uint32_t length) {
    if (g.count > 0 && g.offset[g.count - 1] + g.length[g.count - 1] == offset) {
        g.length[g.count - 1] += length;
        return;
    }
    if (g.count == ReadGaps::kCapacity) {  // the last gap grows over what lies between
        g.length[g.count - 1] = offset + length - g.offset[g.count - 1];
        return;
    }
    g.offset[g.count] = offset;
    g.length[g.count] = length;
    ++g.count;
}

// A stretch arrived whole (`got` of `want` bytes; fewer: the file ends).
void delivered(Salvage& s, FilePos pos, std::uint32_t got, std::uint32_t want) {
    if (pos + got > s.filledEnd) s.filledEnd = pos + got;
    if (got < want) s.endOfFile = true;
}

void unreadableSector(Salvage& s, FilePos pos, std::uint32_t length, bool remember) {
    std::memset(s.buf + (pos - s.base), 0, length);
    addGap(s.gaps, std::uint32_t(pos - s.base), length);
    if (remember) {
        const FilePos sector = FilePos(s.known.sectorSize);
        const FilePos from = pos & ~(sector - 1);
        (void)addRange(s.known.ranges, from, from + sector);  // a full set: tried again next time
    }
    if (pos + length > s.filledEnd) s.filledEnd = pos + length;
}

// [pos, pos + length): read whole unless `tried`, else (or when that fails)
// in two halves split at a sector boundary, down to single sectors.
void readSpan(Salvage& s, FilePos pos, std::uint32_t length, bool tried) {
    if (s.endOfFile || length == 0) return;
    const FilePos sector = FilePos(s.known.sectorSize);
    const FilePos end = pos + length;
    const FilePos firstBoundary = (pos & ~(sector - 1)) + sector;
    const bool single = end <= firstBoundary;
    std::uint8_t* at = s.buf + (pos - s.base);
    std::uint32_t got = 0;
    if (single) {
        if (inRanges(s.known.ranges, pos)) {
            unreadableSector(s, pos, length, false);
        } else if (!tried && s.files.readAt(s.handle, pos, at, length, &got) == 0) {
            delivered(s, pos, got < length ? got : length, length);
        } else {
            s.failedRead = true;
            unreadableSector(s, pos, length, true);
        }
        return;
    }
    if (!tried && !overlapsRanges(s.known.ranges, pos, end)) {
        if (s.files.readAt(s.handle, pos, at, length, &got) == 0) {
            delivered(s, pos, got < length ? got : length, length);
            return;
        }
        s.failedRead = true;
    }
    // The middle, rounded down to a sector boundary, but past the first one.
    FilePos middle = (pos + length / 2) & ~(sector - 1);
    if (middle <= pos) middle = firstBoundary;
    readSpan(s, pos, std::uint32_t(middle - pos), false);
    readSpan(s, middle, std::uint32_t(end - middle), false);
}

}  // namespace

void forgetUnreadable(UnreadableSectors& known, std::uint32_t sectorSize) {
    clearRanges(known.ranges);
    const bool powerOfTwo = sectorSize != 0 && (sectorSize & (sectorSize - 1)) == 0;
    known.sectorSize = powerOfTwo ? sectorSize : kDefaultSectorSize;
}

bool inGap(const ReadGaps& gaps, std::uint32_t offset) {
    for (int i = 0; i < gaps.count; ++i)
        if (offset >= gaps.offset[i] && offset - gaps.offset[i] < gaps.length[i]) return true;
    return false;
}

bool nextReadableRun(const ReadGaps& gaps, std::uint32_t from, std::uint32_t end, std::uint32_t* runStart,
                     std::uint32_t* runEnd) {
    // Gaps are in ascending order: skip those that end at or before `from`,
    // step over one that holds it.
    for (int i = 0; i < gaps.count && from < end; ++i) {
        const std::uint32_t gapEnd = gaps.offset[i] + gaps.length[i];
        if (gapEnd <= from) continue;
        if (gaps.offset[i] <= from) {
            from = gapEnd;
            continue;
        }
        *runStart = from;
        *runEnd = gaps.offset[i] < end ? gaps.offset[i] : end;
        return true;
    }
    if (from >= end) return false;
    *runStart = from;
    *runEnd = end;
    return true;
}

void coverGap(ReadGaps& g, std::uint32_t offset, std::uint32_t length) {
    const std::uint32_t end = offset + length;
    for (int i = 0; i < g.count; ++i) {
        const std::uint32_t gapStart = g.offset[i];
        const std::uint32_t gapEnd = gapStart + g.length[i];
        if (end <= gapStart || offset >= gapEnd) continue;
        const bool keepsHead = gapStart < offset;
        const bool keepsTail = end < gapEnd;
        if (keepsHead && keepsTail) {
            if (g.count == ReadGaps::kCapacity) return;
            for (int k = g.count; k > i + 1; --k) {
                g.offset[k] = g.offset[k - 1];
                g.length[k] = g.length[k - 1];
            }
            ++g.count;
            g.length[i] = offset - gapStart;
            g.offset[i + 1] = end;
            g.length[i + 1] = gapEnd - end;
            return;
        }
        if (keepsHead) {
            g.length[i] = offset - gapStart;
        } else if (keepsTail) {
            g.offset[i] = end;
            g.length[i] = gapEnd - end;
        } else {
            for (int k = i; k + 1 < g.count; ++k) {
                g.offset[k] = g.offset[k + 1];
                g.length[k] = g.length[k + 1];
            }
            --g.count;
            --i;
        }
    }
}

void coverGapOf(void* readGaps, std::uint32_t offset, std::uint32_t length) {
    coverGap(*static_cast<ReadGaps*>(readGaps), offset, length);
}

int salvageRead(FileIo& files, FileHandle h, UnreadableSectors& known, FilePos pos, void* buf, std::uint32_t n,
                std::uint32_t* done, ReadGaps* gaps) {
    gaps->count = 0;
    *done = 0;
    if (n == 0) return 0;
    auto* bytes = static_cast<std::uint8_t*>(buf);
    bool tried = false;
    if (!overlapsRanges(known.ranges, pos, pos + n)) {
        // Once, and once more after a medium error: a drive may deliver at the
        // retry. A read the user gave up, or one refused, is not repeated.
        std::uint32_t got = 0;
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (files.readAt(h, pos, bytes, n, &got) == 0) {
                *done = got < n ? got : n;
                return 0;
            }
            if (!unreadableMedium(files.lastError())) break;
        }
        // Only a medium that fails is read sector by sector; a file that
        // cannot be read at all (no access, a device gone) fails as a whole.
        if (!unreadableMedium(files.lastError())) {
            *done = got < n ? got : n;
            return 1;
        }
        tried = true;
    }
    Salvage s{files, h, known, pos, bytes, *gaps, pos};
    s.failedRead = tried;
    readSpan(s, pos, n, tried);
    *done = std::uint32_t(s.filledEnd - pos);
    // Only sectors known from before: no read failed now to tell why.
    if (gaps->count != 0 && !s.failedRead) files.setLastError({kCodeReadError, EIO});
    return 0;
}

void addGapsAt(ByteRanges& ranges, FilePos pos, const ReadGaps& gaps) {
    for (int i = 0; i < gaps.count; ++i) (void)addRange(ranges, pos + gaps.offset[i], pos + gaps.offset[i] + gaps.length[i]);
}

}  // namespace quorby
