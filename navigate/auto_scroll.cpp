#include "navigate/auto_scroll.h"

#include "navigate/page_moves.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

constexpr std::uint32_t kAllowAutoScroll = 2;  // settings.scrolling bit 1

void autoScroll(AppState& app, bool down) {
    NavigationState& nav = app.nav;
    if (!(app.settings.scrolling & kAllowAutoScroll) || nav.autoScrollActive) return;
    if (app.view.pageLength == 0) return;
    nav.autoScrollActive = true;
    nav.autoScrollStopRequested = false;
    enterTemporaryMode(app, TemporaryMode::AutoScroll);
    for (;;) {
        if (app.platform->pollPendingInput()) break;  // ESC
        if (nav.autoScrollStopRequested || app.view.pageLength == 0) break;
        if ((down ? pageDown(app) : pageUp(app)) != 0) break;
        redrawView(app);
        app.platform->presentNow();  // every page is seen, whatever the poll's pace
    }
    nav.autoScrollActive = false;
    nav.autoScrollStopRequested = false;
    restorePermanentMode(app);
    redrawView(app);
}

}  // namespace

void autoScrollDownCommand(AppState& app) { autoScroll(app, true); }
void autoScrollUpCommand(AppState& app) { autoScroll(app, false); }

bool autoScrollTakesKey(AppState& app, int character) {
    if (!app.nav.autoScrollActive || (character != ' ' && character != 27)) return false;
    app.nav.autoScrollStopRequested = true;
    return true;
}

}  // namespace quorby
