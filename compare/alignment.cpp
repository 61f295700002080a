#include "compare/alignment.h"

#include "compare/offset_dialog.h"
#include "state/overview_marks.h"
#include "view/compare_display.h"
#include "view/page_render.h"

namespace quorby {
namespace {

FilePos otherSize(const AppState& app) {
    return app.compare.mode == CompareMode::OtherPosition ? app.main.fileSize : app.compare.size;
}

// Whether more than `limit` bytes of the other source lie beyond the shift.
bool otherRemains(const AppState& app, std::int64_t limit) {
    return std::int64_t(otherSize(app)) - app.compare.shift > limit;
}

void step(AppState& app, FilePos& point, FilePos distance) {
    if (app.compare.mode == CompareMode::None) return;
    point += distance;
    applyPoints(app);
}

}  // namespace

void applyPoints(AppState& app, bool refreshDialog) {
    CompareSession& c = app.compare;
    const std::int64_t shift = std::int64_t(c.secondPoint - c.firstPoint);
    // Differences found with another alignment no longer hold.
    if (shift != c.shift) clearFound(app, kOverviewDifference);
    c.shift = shift;
    if (!app.platform) return;
    drawPage(app);
    drawCompareOffset(app);
    if (refreshDialog) refreshOffsetFields(app);
}

void pickPoint(AppState& app, FilePos mainPos) {
    CompareSession& c = app.compare;
    if (c.mode == CompareMode::None) return;
    if (!c.fileShown) {
        c.firstPoint = mainPos;
    } else {
        const std::int64_t other = std::int64_t(mainPos) + c.shift;
        if (other < 0) return;  // the blanks shown before the other source's first byte
        c.secondPoint = FilePos(other);
    }
    applyPoints(app);
}

void compareStepDown(AppState& app) {
    if (otherRemains(app, 17)) step(app, app.compare.secondPoint, 16);
}

void compareStepRight(AppState& app) {
    if (otherRemains(app, 2)) step(app, app.compare.secondPoint, 1);
}

void compareStepUp(AppState& app) { step(app, app.compare.firstPoint, 16); }

void compareStepLeft(AppState& app) { step(app, app.compare.firstPoint, 1); }

}  // namespace quorby
