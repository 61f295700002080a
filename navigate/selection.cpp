#include "navigate/selection.h"

#include "navigate/page_moves.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

// Refreshes the items after F9 or F10 changed a selection that exists.
void syncItemsWithSelection(AppState& app) {
    if (!(app.view.selectionActive & kSelectionExists)) return;
    if (selectionIsUsable(app)) enableSelectionItems(app);
    else greySelectionItems(app);
}

}  // namespace

void enableSelectionItems(AppState& app) {
    for (int code : kSelectionDependentItems) app.platform->setMenuItemEnabled(code, true);
    app.view.selectionActive |= kSelectionItemsEnabled;
}

void greySelectionItems(AppState& app) {
    for (int code : kSelectionDependentItems) app.platform->setMenuItemEnabled(code, false);
    app.view.selectionActive &= ~std::uint32_t(kSelectionItemsEnabled);
}

bool selectionIsUsable(const AppState& app) {
    return (app.view.selectionActive & kSelectionExists) && app.view.selectionEnd > app.view.selectionStart;
}

void selectionStartCommand(AppState& app) {
    if (app.view.pageLength == 0) return;
    app.view.selectionStart = app.view.cursorPos();
    syncItemsWithSelection(app);
    drawPage(app);
}

void selectionEndCommand(AppState& app) {
    if (app.view.pageLength == 0) return;
    app.view.selectionEnd = app.view.cursorPos() + 1;
    app.view.selectionActive |= kSelectionExists;
    syncItemsWithSelection(app);
    drawPage(app);
}

void cancelSelectionCommand(AppState& app) {
    app.view.selectionActive = 0;
    greySelectionItems(app);
    updateScrollBar(app);
    drawPage(app);
}

void selectAllCommand(AppState& app) {
    if (app.main.fileSize == 0) return;
    app.view.selectionStart = 0;
    app.view.selectionEnd = app.main.fileSize;
    app.view.selectionActive = kSelectionExists | kSelectionKeyboard | kSelectionMovingEnd;
    enableSelectionItems(app);
    updateScrollBar(app);
    drawPage(app);
}

// The bookmark is a set bit in changedBits; the page is stored with it like a
// changed page.
void setBookmarkCommand(AppState& app) {
    ViewState& v = app.view;
    if (v.pageLength == 0) return;
    const std::uint32_t k = v.viewOffset + v.cursorOffset;
    if (k >= v.pageLength) return;
    v.setChanged(k);
    v.halfDirty[k < std::uint32_t(kPageSize) ? 0 : 1] = true;
    drawPage(app);
}

void rememberSelectionCommand(AppState& app) {
    app.view.rememberedStart = app.view.selectionStart;
    app.view.rememberedEnd = app.view.selectionEnd;
}

void restoreSelectionCommand(AppState& app) {
    app.view.selectionStart = app.view.rememberedStart;
    app.view.selectionEnd = app.view.rememberedEnd;
    drawPage(app);
}

namespace {

struct Ends {
    FilePos anchor;
    FilePos moving;
};

// Starts a keyboard selection on the cursor byte unless one is being
// extended; `endMoves` chooses which end moves.
Ends keyboardSelection(AppState& app, bool endMoves) {
    ViewState& v = app.view;
    if (!(v.selectionActive & kSelectionKeyboard) || v.selectionEnd <= v.selectionStart) {
        v.selectionStart = v.cursorPos();
        v.selectionEnd = v.selectionStart + 1;
        v.selectionActive |= kSelectionExists | kSelectionKeyboard;
        if (endMoves) v.selectionActive |= kSelectionMovingEnd;
        else v.selectionActive &= ~std::uint32_t(kSelectionMovingEnd);
        enableSelectionItems(app);
    }
    if (v.selectionActive & kSelectionMovingEnd) return {v.selectionStart, v.selectionEnd - 1};
    return {v.selectionEnd - 1, v.selectionStart};
}

// Sets the selection from its two ends, moves the cursor onto the moving
// byte (scrolling by one step when it left the grid) and draws the view.
void applyEnds(AppState& app, Ends e) {
    ViewState& v = app.view;
    if (e.moving > e.anchor) v.selectionActive |= kSelectionMovingEnd;
    else if (e.moving < e.anchor) v.selectionActive &= ~std::uint32_t(kSelectionMovingEnd);
    v.selectionStart = e.moving < e.anchor ? e.moving : e.anchor;
    v.selectionEnd = (e.moving < e.anchor ? e.anchor : e.moving) + 1;

    const FilePos first = firstShownPos(app);
    if (e.moving < first || e.moving - first >= shownByteCount(app)) {
        FilePos moved = 0;
        // A page that cannot be read is reported and the view stays.
        if (e.moving < first) (void)scrollViewUp(app, app.nav.scrollStep, &moved);
        else (void)scrollViewDown(app, app.nav.scrollStep, &moved);
    }
    (void)showWithCursorAt(app, e.moving);
    updateScrollBar(app);
    drawPage(app);
}

void moveBy(AppState& app, bool endMoves, bool forward, FilePos distance) {
    if (app.view.pageLength == 0) return;
    Ends e = keyboardSelection(app, endMoves);
    if (forward) {
        if (e.moving + distance > lastByte(app.main)) {
            drawPage(app);
            return;
        }
        e.moving += distance;
    } else {
        if (e.moving < distance) {
            drawPage(app);
            return;
        }
        e.moving -= distance;
    }
    applyEnds(app, e);
}

// The start of the grid row that holds `pos` (rows begin at the first shown
// byte's position modulo 16).
FilePos rowStart(const AppState& app, FilePos pos) {
    const FilePos phase = firstShownPos(app) % 16;
    if (pos < phase) return 0;
    return pos - (pos - phase) % 16;
}

}  // namespace

void shiftRightCommand(AppState& app) { moveBy(app, true, true, 1); }
void shiftLeftCommand(AppState& app) { moveBy(app, false, false, 1); }
void shiftDownCommand(AppState& app) { moveBy(app, true, true, 16); }
void shiftUpCommand(AppState& app) { moveBy(app, false, false, 16); }

void shiftEndCommand(AppState& app) {
    if (app.view.pageLength == 0) return;
    Ends e = keyboardSelection(app, true);
    ViewState& v = app.view;
    FilePos end = rowStart(app, v.selectionEnd - 1) + 16;
    if (end > app.main.fileSize) end = app.main.fileSize;
    // The end moves: the start is the anchor from now on.
    e.anchor = v.selectionStart;
    e.moving = end - 1;
    applyEnds(app, e);
}

void shiftHomeCommand(AppState& app) {
    if (app.view.pageLength == 0) return;
    Ends e = keyboardSelection(app, false);
    ViewState& v = app.view;
    const FilePos endRow = rowStart(app, v.selectionEnd - 1);
    if (v.selectionStart < endRow) {
        // The end goes back to the start of its row.
        e.anchor = v.selectionStart;
        e.moving = endRow - 1;
    } else {
        e.anchor = v.selectionEnd - 1;
        e.moving = rowStart(app, v.selectionStart);
    }
    applyEnds(app, e);
}

}  // namespace quorby
