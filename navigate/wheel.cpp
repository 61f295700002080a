#include "navigate/wheel.h"

#include "core/keys.h"
#include "navigate/page_moves.h"

namespace quorby {

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
    nav.wheelStep[index] = bytes & ~FilePos{511};
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

int wheelModifierIndex(std::uint32_t modifiers) {
    const bool ctrl = modifiers & kCtrl, shift = modifiers & kShift;
    if (ctrl && shift) return kWheelCtrlShift;
    if (ctrl) return kWheelCtrl;
    if (shift) return kWheelShift;
    return kWheelPlain;
}

void mouseWheel(AppState& app, int delta, std::uint32_t modifiers) {
    if (app.view.pageLength == 0) return;
    NavigationState& nav = app.nav;
    nav.wheelRemainder += delta;
    const int notches = nav.wheelRemainder / 120;
    nav.wheelRemainder %= 120;
    if (notches == 0) return;
    const bool towardsBegin = notches > 0;
    const FilePos count = FilePos(towardsBegin ? notches : -notches);
    const int index = wheelModifierIndex(modifiers);
    FilePos step = nav.wheelStep[index];
    int result = 1;
    if (nav.wheelInPage[index]) {
        // viewOffset keeps the resolution's multiple.
        const FilePos multiple = nav.offsetMultiple;
        step = step < multiple ? multiple : step - step % multiple;
        FilePos moved = 0;
        result = towardsBegin ? scrollViewUp(app, step * count, &moved) : scrollViewDown(app, step * count, &moved);
    } else {
        const FilePos distance = step * count;
        const FilePos page = app.view.pagePos;
        FilePos target;
        if (towardsBegin) target = page < distance ? 0 : page - distance;
        else target = lastViewStart(app) - page < distance ? lastViewStart(app) : page + distance;
        if (target != firstShownPos(app)) result = showFromPosition(app, target);
    }
    if (result == 0) redrawView(app);
}

}  // namespace quorby
