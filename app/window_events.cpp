#include "app/window_events.h"

#include "app/dispatch.h"
#include "app/info_cell_lifetime.h"
#include "app/key_modes.h"
#include "app/shell_commands.h"
#include "compare/alignment.h"
#include "compare/compare_commands.h"
#include "edit/enter_char.h"
#include "inspect/value_inspector.h"
#include "navigate/mouse.h"
#include "navigate/page_moves.h"
#include "navigate/scroll_bar_actions.h"
#include "navigate/wheel.h"
#include "resources/menus.h"
#include "document/shown_state.h"
#include "navigate/unchanged_view.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"
#include "view/view_font.h"

namespace quorby {

void onCommand(AppState& app, int code) { dispatchCommand(app, code); }

bool onKeyDown(AppState& app, Key key, std::uint32_t modifiers) {
    int code = acceleratorCode(key, modifiers);
    if (code == 0) return false;
    dispatchCommand(app, code);
    return true;
}

void onKeyUp(AppState& app, Key) {
    // The views of F5 and F6 last while the key is held.
    endUnchangedFile(app);
    endCompareData(app);
    followShownState(app);
}

void onChar(AppState& app, int character) {
    if (offerKeyToModes(app, character)) return;
    const std::uint32_t infoMark = infoCellMark(app);
    enterChar(app, character);
    endInfoCellText(app, infoMark);
    endOfCommand(app);
}

void onMouseMove(AppState& app, int x, int y, bool leftDown, bool shiftDown) {
    if (app.shell.doubleClickFlag) return;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
    if (leftDown || shiftDown) mouseDrag(app, x, y);
    inspect::followCursor(app);
}

void onLeftButtonDown(AppState& app, int x, int y, std::uint32_t) {
    app.shell.doubleClickFlag = false;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
    mouseLeftDown(app, x, y);
    inspect::followCursor(app);
    followShownState(app);
}

void onLeftButtonUp(AppState& app, int x, int y) {
    if (app.shell.doubleClickFlag) return;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
    mouseLeftUp(app, x, y);
    inspect::followCursor(app);
    followShownState(app);
}

void onLeftDoubleClick(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = true;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
    // The mouse handler names the command of the double-click action (the
    // command table runs it) or the point it picked for the comparison.
    const DoubleClickResult result = mouseDoubleClick(app, x, y);
    if (result.pointPicked) pickPoint(app, result.position);
    if (result.command != kCmdNone) dispatchCommand(app, result.command);
    followShownState(app);
}

void onRightButtonDown(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = false;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
    mouseRightDown(app, x, y);
    followShownState(app);
}

void onMouseWheel(AppState& app, int delta, std::uint32_t modifiers) {
    app.shell.wheelDelta = delta;
    if (app.view.pageLength != 0) mouseWheel(app, delta, modifiers);
    inspect::followCursor(app);
    followShownState(app);
}

void onScroll(AppState& app, ScrollAction action, std::int32_t thumbPosition) {
    scrollBarAction(app, action, thumbPosition);
    inspect::followCursor(app);
    followShownState(app);
}

void onPaint(AppState& app) {
    drawHeaderAndBottomLine(app);
    updateScrollBar(app);
    drawPage(app);
}

void onResizeRequest(AppState& app, int clientWidth, int clientHeight) {
    fitFontToClientSize(app, clientWidth, clientHeight);
}

void onOverviewClick(AppState& app, int bin) {
    if (app.main.mainHandle == kNoFile || bin < 0 || bin >= kOverviewBins) return;
    // A jump like Goto's: the page is stored first, the view starts at the
    // bin's first page.
    if (showWithCursorAt(app, overviewBinPage(app, bin)) == 0) redrawView(app);
    endOfCommand(app);
}

void onDestroy(AppState& app) { exitSequence(app); }

}  // namespace quorby
