#include "view/scroll_bar.h"


namespace quorby {

namespace {
constexpr FilePos kThumbLimit = 32768;
}

std::uint32_t scrollShiftFor(FilePos lastBytePos) {
    FilePos scaled = (lastBytePos & ~FilePos{1023}) / kThumbLimit;
    std::uint32_t bits = 0;
    while (scaled != 0) {
        scaled >>= 1;
        ++bits;
    }
    return bits;
}

std::int32_t scrollMaximumFor(FilePos lastBytePos, std::uint32_t shift) {
    FilePos range = pageStart(lastBytePos) >> shift;
    if (shift != 0) range |= 1023;
    return std::int32_t(range);
}

namespace {

constexpr FilePos kKiB = 1024;
constexpr FilePos kSmallFileLimit = 512 * kKiB;
constexpr FilePos kHugeFileLimit = FilePos{64} << 40;  // 64 TiB

void setInPage(NavigationState& nav, int index, FilePos bytes) {
    bytes &= ~FilePos{15};
    nav.wheelStep[index] = bytes < 16 ? 16 : bytes;
    nav.wheelInPage[index] = true;
}

void setPage(NavigationState& nav, int index, FilePos bytes) {
    nav.wheelStep[index] = pageStart(bytes);
    nav.wheelInPage[index] = false;
}

// In-page below 512 bytes, a page step from 512 on.
void setBySize(NavigationState& nav, int index, FilePos bytes) {
    if (bytes < 512) setInPage(nav, index, bytes);
    else setPage(nav, index, bytes);
}

}  // namespace

void computeWheelSteps(FilePos fileSize, NavigationState& nav) {
    if (fileSize < kSmallFileLimit) {
        setInPage(nav, kWheelPlain, fileSize / 1024);
        setInPage(nav, kWheelCtrl, fileSize / 16384);
        setInPage(nav, kWheelShift, fileSize / 262144);
    } else if (fileSize < kHugeFileLimit) {
        setPage(nav, kWheelPlain, fileSize / 1024);
        setBySize(nav, kWheelCtrl, fileSize / 65536);
        setBySize(nav, kWheelShift, fileSize / 4194304);
    } else {
        setPage(nav, kWheelPlain, 0xFFFFFE00u);
        setPage(nav, kWheelCtrl, 0x0FFFFE00u);
        setPage(nav, kWheelShift, 0x00FFFE00u);
    }
    setInPage(nav, kWheelCtrlShift, 16);
}

void prepareScrollMapping(AppState& app) {
    FilePos last = app.main.fileSize == 0 ? 0 : app.main.fileSize - 1;
    app.nav.scrollShift = scrollShiftFor(last);
    app.nav.scrollMaximum = scrollMaximumFor(last, app.nav.scrollShift);
    computeWheelSteps(app.main.fileSize, app.nav);
    app.nav.wheelRemainder = 0;
}

void updateScrollBar(AppState& app) { showScrollPosition(app, app.view.pagePos + app.view.viewOffset); }

void showScrollPosition(AppState& app, FilePos pos) {
    app.platform->setScrollBar(app.nav.scrollMaximum, scrollThumbFor(pos, app.nav));
}

}  // namespace quorby
