#include "navigate/wheel.h"

#include "core/keys.h"
#include "navigate/page_moves.h"

namespace quorby {

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
