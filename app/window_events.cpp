#include "app/window_events.h"

#include "app/dispatch.h"
#include "app/shell_commands.h"
#include "resources/menus.h"
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
    // The original-content view of F5 lasts while the key is held.
    app.shell.originalContentShown = false;
}

void onChar(AppState&, int) {}

void onMouseMove(AppState& app, int x, int y, bool, bool) {
    if (app.shell.doubleClickFlag) return;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
}

void onLeftButtonDown(AppState& app, int x, int y, std::uint32_t) {
    app.shell.doubleClickFlag = false;
    app.shell.leftButtonDown = true;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
}

void onLeftButtonUp(AppState& app, int x, int y) {
    app.shell.leftButtonDown = false;
    if (app.shell.doubleClickFlag) return;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
}

void onLeftDoubleClick(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = true;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
}

void onRightButtonDown(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = false;
    app.shell.mouseX = x;
    app.shell.mouseY = y;
}

void onMouseWheel(AppState& app, int delta, std::uint32_t) { app.shell.wheelDelta = delta; }

void onScroll(AppState&, ScrollAction, std::int32_t) {}

void onPaint(AppState& app) {
    drawHeaderAndBottomLine(app);
    updateScrollBar(app);
    drawPage(app);
}

void onResizeRequest(AppState& app, int clientWidth, int clientHeight) {
    fitFontToClientSize(app, clientWidth, clientHeight);
}

void onDestroy(AppState& app) { exitSequence(app); }

}  // namespace quorby
