#include "navigate/cursor_moves.h"

#include "navigate/page_moves.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

bool beginMove(AppState& app) {
    if (app.view.pageLength == 0) return false;
    app.view.selectionActive &= ~std::uint32_t(kSelectionKeyboard | kSelectionMovingEnd);
    eraseCursor(app);
    return true;
}

// Puts the cursor on `target` after the view moved (or not); draws what changed.
void finishMove(AppState& app, FilePos viewBefore, FilePos target) {
    const FilePos first = firstShownPos(app);
    if (target >= first && target - first < 512) app.view.cursorOffset = std::uint32_t(target - first);
    limitCursorToFile(app);
    if (first != viewBefore) {
        updateScrollBar(app);
        drawPage(app);
    } else {
        drawCursor(app);
    }
}

bool bytesShown(const AppState& app, FilePos target) {
    const FilePos first = firstShownPos(app);
    return target >= first && target - first < shownByteCount(app);
}

// Moves the cursor onto `target`, scrolling the view by one scroll step in
// the direction of the move when `target` is not shown.
int moveCursorTo(AppState& app, FilePos target, bool forward) {
    const FilePos before = firstShownPos(app);
    if (!bytesShown(app, target)) {
        FilePos moved = 0;
        const int r = forward ? scrollViewDown(app, app.nav.scrollStep, &moved)
                              : scrollViewUp(app, app.nav.scrollStep, &moved);
        if (r != 0 || !bytesShown(app, target)) {
            finishMove(app, before, app.view.cursorPos());
            return 1;
        }
    }
    finishMove(app, before, target);
    return 0;
}

}  // namespace

int cursorLeft(AppState& app) {
    if (!beginMove(app)) return 1;
    const FilePos cur = app.view.cursorPos();
    if (cur == 0) {
        drawCursor(app);
        return 1;
    }
    return moveCursorTo(app, cur - 1, false);
}

int cursorRight(AppState& app) {
    if (!beginMove(app)) return 1;
    const FilePos cur = app.view.cursorPos();
    if (cur >= lastByte(app.main)) {
        drawCursor(app);
        return 1;
    }
    return moveCursorTo(app, cur + 1, true);
}

int cursorUp(AppState& app) {
    if (!beginMove(app)) return 1;
    const FilePos cur = app.view.cursorPos();
    if (cur < 16) {
        drawCursor(app);
        return 1;
    }
    return moveCursorTo(app, cur - 16, false);
}

int cursorDown(AppState& app) {
    if (!beginMove(app)) return 1;
    const FilePos cur = app.view.cursorPos();
    if (cur + 16 <= lastByte(app.main)) return moveCursorTo(app, cur + 16, true);
    // No byte a row further: the view moves down a step and the cursor keeps
    // its byte while it stays in the grid.
    const FilePos before = firstShownPos(app);
    FilePos moved = 0;
    if (scrollViewDown(app, app.nav.scrollStep, &moved) != 0) {
        drawCursor(app);
        return 1;
    }
    finishMove(app, before, cur);
    return 0;
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void cursorLeftCommand(AppState& app) { (void)cursorLeft(app); }
void cursorRightCommand(AppState& app) { (void)cursorRight(app); }
void cursorUpCommand(AppState& app) { (void)cursorUp(app); }
void cursorDownCommand(AppState& app) { (void)cursorDown(app); }

void startOfLineCommand(AppState& app) {
    if (!beginMove(app)) return;
    app.view.cursorOffset &= ~15u;
    drawCursor(app);
}

void endOfLineCommand(AppState& app) {
    if (!beginMove(app)) return;
    app.view.cursorOffset |= 15u;
    limitCursorToFile(app);
    drawCursor(app);
}

void tabCommand(AppState& app) {
    if (app.view.pageLength == 0) {
        app.view.cursorInChars = !app.view.cursorInChars;
        return;
    }
    eraseCursor(app);  // also leaves the second digit
    app.shell.modeFlags &= ~std::uint32_t(kModeSecondDigit);
    app.view.cursorInChars = !app.view.cursorInChars;
    drawCursor(app);
}

namespace {
bool arrowsMoveView(const ShellState& shell) { return shell.modeFlags & kModeArrowsMoveView; }
}  // namespace

void arrowUpCommand(AppState& app) { arrowsMoveView(app.shell) ? viewUpCommand(app) : cursorUpCommand(app); }
void arrowDownCommand(AppState& app) { arrowsMoveView(app.shell) ? viewDownCommand(app) : cursorDownCommand(app); }
void arrowLeftCommand(AppState& app) { arrowsMoveView(app.shell) ? viewLeftCommand(app) : cursorLeftCommand(app); }
void arrowRightCommand(AppState& app) { arrowsMoveView(app.shell) ? viewRightCommand(app) : cursorRightCommand(app); }
void altArrowUpCommand(AppState& app) { arrowsMoveView(app.shell) ? cursorUpCommand(app) : viewUpCommand(app); }
void altArrowDownCommand(AppState& app) { arrowsMoveView(app.shell) ? cursorDownCommand(app) : viewDownCommand(app); }
void altArrowLeftCommand(AppState& app) { arrowsMoveView(app.shell) ? cursorLeftCommand(app) : viewLeftCommand(app); }
void altArrowRightCommand(AppState& app) { arrowsMoveView(app.shell) ? cursorRightCommand(app) : viewRightCommand(app); }

}  // namespace quorby
