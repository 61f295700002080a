// Reading the Main File's pages into the view's pageBuffer.
#include <cstring>

#include "salvage/byte_ranges.h"
#include "salvage/sector_reads.h"
#include "state/error_report.h"
#include "document/main_file.h"

namespace quorby {

namespace {


// Reads `length` bytes at `pos` into pageBuffer from byte `offset` on; what
// did not arrive (the file ended) is zeroed. Sectors that cannot be read are
// zeros as well and mark their half unreadable; the view shows them as such
// instead of an error. Returns the count, and sets *failed after
// a reported error (a file that cannot be read at all).
std::uint32_t readInto(AppState& app, FilePos pos, std::uint32_t offset, std::uint32_t length, bool* failed) {
    ViewState& v = app.view;
    std::uint8_t* dest = v.pageBuffer + offset;
    for (std::uint32_t half = offset / kPageSize; half < (offset + length) / kPageSize; ++half) v.unreadableHalf[half] = false;
    std::uint32_t count = 0;
    ReadGaps gaps;
    if (salvageRead(*app.files, app.main.mainHandle, app.main.unreadable, pos, dest, length, &count, &gaps) != 0) {
        reportError(app, kErrorReading, app.main.mainName);
        *failed = true;
    } else if (gaps.count != 0) {
        // An unreadable last sector counts only up to the file's end.
        if (pos >= app.main.fileSize) count = 0;
        else if (app.main.fileSize - pos < count) count = std::uint32_t(app.main.fileSize - pos);
        for (int i = 0; i < gaps.count; ++i) {
            const std::uint32_t from = offset + gaps.offset[i];
            const std::uint32_t to = from + gaps.length[i];
            for (std::uint32_t half = from / kPageSize; half * kPageSize < to && half < 2; ++half) v.unreadableHalf[half] = true;
        }
    }
    if (count > length) count = length;
    std::memset(dest + count, 0, length - count);
    return count;
}

// Reads one page into half `half` of pageBuffer.
std::uint32_t readHalf(AppState& app, FilePos pos, int half, bool* failed) {
    return readInto(app, pos, std::uint32_t(half) * kPageSize, kPageSize, failed);
}

void clearChangedBits(ViewState& view, int half) {
    std::memset(view.changedBits + half * (kPageSize / 8), 0, kPageSize / 8);
    view.halfDirty[half] = false;
    view.unreadableHalf[half] = false;
}

// The first page is the last one: the pair ends with it.
void endPairAtFirstPage(ViewState& view) {
    view.midPtr = kEmptyPtr;
    view.secondPageCount = 0;
    view.pageLength = view.firstPageCount;
    view.viewOffset = 0;
    view.unreadableHalf[1] = false;
    std::memset(view.pageBuffer + kPageSize, 0, kPageSize);
}

// The pair at `pos` from the read-ahead bytes, when they hold all of it.
bool pairFromReadAhead(AppState& app, FilePos pos) {
    const MainFileState::ReadAhead& ahead = app.main.readAhead;
    if (ahead.length == 0 || pos < ahead.pos || pos - ahead.pos + kPagePairSize > ahead.length ||
        pos + kPagePairSize > app.main.fileSize || overlapsRanges(app.main.unreadable.ranges, pos, pos + kPagePairSize))
        return false;
    std::memcpy(app.view.pageBuffer, ahead.bytes + (pos - ahead.pos), kPagePairSize);
    return true;
}

bool noMainFile(AppState& app) {
    if (app.main.mainHandle != kNoFile) return false;
    std::memset(app.view.pageBuffer, 0, sizeof app.view.pageBuffer);
    std::memset(app.view.changedBits, 0, sizeof app.view.changedBits);
    app.view.unreadableHalf[0] = app.view.unreadableHalf[1] = false;
    app.view.firstPageCount = app.view.secondPageCount = 0;
    app.view.pageLength = 0;
    app.view.midPtr = kEmptyPtr;
    app.view.viewOffset = 0;
    return true;
}

}  // namespace

// Both pages come in one read of up to 1024 bytes from a multiple of 512, so
// a drive sees whole sectors as before; the second page holds what arrived
// beyond the first 512 bytes.
int readPagePair(AppState& app, FilePos pos) {
    clearChangedBits(app.view, 0);
    clearChangedBits(app.view, 1);
    app.view.pagePos = pageStart(pos);
    if (noMainFile(app)) return 1;
    bool failed = false;
    const std::uint32_t count = pairFromReadAhead(app, app.view.pagePos)
                                    ? std::uint32_t(kPagePairSize)
                                    : readInto(app, app.view.pagePos, 0, std::uint32_t(kPagePairSize), &failed);
    if (count < std::uint32_t(kPageSize)) {
        app.view.firstPageCount = count;
        endPairAtFirstPage(app.view);
        return failed ? 1 : 0;
    }
    app.view.firstPageCount = kPageSize;
    app.view.midPtr = app.view.pagePos + kPageSize;
    app.view.secondPageCount = count - kPageSize;
    app.view.pageLength = count;
    return failed ? 1 : 0;
}

int readFirstPage(AppState& app) {
    clearChangedBits(app.view, 0);
    if (noMainFile(app)) return 1;
    bool failed = false;
    app.view.firstPageCount = readHalf(app, app.view.pagePos, 0, &failed);
    if (app.view.firstPageCount < std::uint32_t(kPageSize)) {
        endPairAtFirstPage(app.view);
    } else {
        app.view.midPtr = app.view.pagePos + kPageSize;
        // The second half keeps what it holds; the length follows its count.
        app.view.pageLength = kPageSize + app.view.secondPageCount;
    }
    return failed ? 1 : 0;
}

int readSecondPage(AppState& app) {
    clearChangedBits(app.view, 1);
    if (noMainFile(app)) return 1;
    if (app.view.firstPageCount < std::uint32_t(kPageSize)) {
        endPairAtFirstPage(app.view);
        return 0;
    }
    app.view.midPtr = app.view.pagePos + kPageSize;
    bool failed = false;
    app.view.secondPageCount = readHalf(app, app.view.midPtr, 1, &failed);
    app.view.pageLength = app.view.firstPageCount + app.view.secondPageCount;
    return failed ? 1 : 0;
}

}  // namespace quorby
