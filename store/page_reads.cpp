// Reading the Main File's pages into the view's pageBuffer.
#include <cstring>

#include "state/error_report.h"
#include "store/main_file.h"

namespace quorby {

namespace {

constexpr FilePos kPageMask = ~FilePos(kPageSize - 1);

// Reads one page into half `half` of pageBuffer; the part that did not
// arrive is zeroed. Returns the count, and sets *failed after a reported error.
std::uint32_t readHalf(AppState& app, FilePos pos, int half, bool* failed) {
    std::uint8_t* dest = app.view.pageBuffer + half * kPageSize;
    std::uint32_t count = 0;
    if (app.files->readAt(app.main.mainHandle, pos, dest, kPageSize, &count) != 0) {
        reportError(app, kErrorReading, app.main.mainName);
        *failed = true;
    }
    if (count > std::uint32_t(kPageSize)) count = kPageSize;
    std::memset(dest + count, 0, kPageSize - count);
    return count;
}

void clearChangedBits(AppState& app, int half) {
    std::memset(app.view.changedBits + half * (kPageSize / 8), 0, kPageSize / 8);
    app.view.halfDirty[half] = false;
}

// The first page is the last one: the pair ends with it.
void endPairAtFirstPage(AppState& app) {
    app.view.midPtr = kEmptyPtr;
    app.view.secondPageCount = 0;
    app.view.pageLength = app.view.firstPageCount;
    app.view.viewOffset = 0;
    std::memset(app.view.pageBuffer + kPageSize, 0, kPageSize);
}

bool noMainFile(AppState& app) {
    if (app.main.mainHandle != kNoFile) return false;
    std::memset(app.view.pageBuffer, 0, sizeof app.view.pageBuffer);
    std::memset(app.view.changedBits, 0, sizeof app.view.changedBits);
    app.view.firstPageCount = app.view.secondPageCount = 0;
    app.view.pageLength = 0;
    app.view.midPtr = kEmptyPtr;
    app.view.viewOffset = 0;
    return true;
}

}  // namespace

int readPagePair(AppState& app, FilePos pos) {
    clearChangedBits(app, 0);
    clearChangedBits(app, 1);
    app.view.pagePos = pos & kPageMask;
    if (noMainFile(app)) return 1;
    bool failed = false;
    app.view.firstPageCount = readHalf(app, app.view.pagePos, 0, &failed);
    if (app.view.firstPageCount < std::uint32_t(kPageSize)) {
        endPairAtFirstPage(app);
        return failed ? 1 : 0;
    }
    app.view.midPtr = app.view.pagePos + kPageSize;
    app.view.secondPageCount = readHalf(app, app.view.midPtr, 1, &failed);
    app.view.pageLength = app.view.firstPageCount + app.view.secondPageCount;
    return failed ? 1 : 0;
}

int readFirstPage(AppState& app) {
    clearChangedBits(app, 0);
    if (noMainFile(app)) return 1;
    bool failed = false;
    app.view.firstPageCount = readHalf(app, app.view.pagePos, 0, &failed);
    if (app.view.firstPageCount < std::uint32_t(kPageSize)) {
        endPairAtFirstPage(app);
    } else {
        app.view.midPtr = app.view.pagePos + kPageSize;
        // The second half keeps what it holds; the length follows its count.
        app.view.pageLength = kPageSize + app.view.secondPageCount;
    }
    return failed ? 1 : 0;
}

int readSecondPage(AppState& app) {
    clearChangedBits(app, 1);
    if (noMainFile(app)) return 1;
    if (app.view.firstPageCount < std::uint32_t(kPageSize)) {
        endPairAtFirstPage(app);
        return 0;
    }
    bool failed = false;
    app.view.midPtr = app.view.pagePos + kPageSize;
    app.view.secondPageCount = readHalf(app, app.view.midPtr, 1, &failed);
    app.view.pageLength = app.view.firstPageCount + app.view.secondPageCount;
    return failed ? 1 : 0;
}

}  // namespace quorby
