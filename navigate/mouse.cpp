#include "navigate/mouse.h"

#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "resources/menus.h"
#include "view/page_render.h"

namespace quorby {

namespace {

constexpr int kNoAnchor = -1;
// The double-click action's bit for picking the points to be superposed.
constexpr std::uint32_t kDoubleClickPicksPoint = 16;

bool isByte(int index) { return index >= 0 && index < kPageSize; }

// The hit test without changing the cursor's column; *inChars gets the
// column the point lies in.
int byteAt(AppState& app, int x, int y, bool* inChars) {
    const bool saved = app.view.cursorInChars;
    HitResult hit;
    const int index = hitTest(app, x, y, &hit);
    if (inChars) *inChars = app.view.cursorInChars;
    app.view.cursorInChars = saved;
    return index;
}

void placeCursor(AppState& app, int index, bool inChars) {
    eraseCursor(app);
    app.view.cursorOffset = std::uint32_t(index);
    app.view.cursorInChars = inChars;
    app.view.selectionActive &= ~std::uint32_t(kSelectionKeyboard | kSelectionMovingEnd);
    drawCursor(app);
}

void selectToByte(AppState& app, int index) {
    ViewState& v = app.view;
    const FilePos pos = firstShownPos(app) + FilePos(index);
    const FilePos anchor = app.nav.anchorPos;
    if (pos > anchor) {
        v.selectionStart = anchor;
        v.selectionEnd = pos + 1;
        v.selectionActive = kSelectionExists | kSelectionKeyboard | kSelectionMovingEnd;
    } else {
        v.selectionStart = pos;
        v.selectionEnd = anchor + 1;
        v.selectionActive = kSelectionExists | kSelectionKeyboard;
    }
    enableSelectionItems(app);
    drawPage(app);
}

int cellColumn(const ViewState& view, int x) { return view.cellWidth > 0 ? x / view.cellWidth : 0; }
int cellRow(const ViewState& view, int y) { return view.rowHeight > 0 ? y / view.rowHeight : 0; }

// On a byte the cursor goes there and `byteMenu` pops up; on the address
// column, the header row or past the file's end the Goto menu; on a blank
// cell between bytes nothing.
void popupAt(AppState& app, int x, int y, int byteMenu) {
    bool inChars = false;
    const int index = app.view.pageLength == 0 ? kHitOutside : byteAt(app, x, y, &inChars);
    if (isByte(index)) {
        placeCursor(app, index, inChars);
        app.platform->popupMenu(byteMenu, cellColumn(app.view, x), cellRow(app.view, y));
    } else if (index == kHitOutside) {
        app.platform->popupMenu(kMenuGoto, cellColumn(app.view, x), cellRow(app.view, y));
    }
}

}  // namespace

void mouseLeftDown(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = false;
    app.nav.dragMoved = false;
    app.nav.anchorIndex = kNoAnchor;
    if (app.view.pageLength == 0) return;
    bool inChars = false;
    const int index = byteAt(app, x, y, &inChars);
    if (!isByte(index)) return;
    app.nav.anchorIndex = index;
    app.nav.anchorInChars = inChars;
    app.nav.anchorPos = firstShownPos(app) + FilePos(index);
    app.nav.lastDragIndex = index;
    drawAnchor(app, index);
}

void mouseDrag(AppState& app, int x, int y) {
    if (app.shell.doubleClickFlag || app.view.pageLength == 0 || app.nav.anchorIndex == kNoAnchor) return;
    const int index = byteAt(app, x, y, nullptr);
    if (!isByte(index) || index == app.nav.lastDragIndex) return;
    app.nav.lastDragIndex = index;
    app.nav.dragMoved = true;
    selectToByte(app, index);
}

void mouseLeftUp(AppState& app, int x, int y) {
    if (app.shell.doubleClickFlag || app.view.pageLength == 0 || app.nav.anchorIndex == kNoAnchor) return;
    if (!app.nav.dragMoved) {
        placeCursor(app, app.nav.anchorIndex, app.nav.anchorInChars);
        return;
    }
    const int index = byteAt(app, x, y, nullptr);
    if (isByte(index)) selectToByte(app, index);
}

void mouseRightDown(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = false;
    popupAt(app, x, y, app.settings.rightClickMenu == 1 ? kMenuSpecials : kMenuEdit);
}

DoubleClickResult mouseDoubleClick(AppState& app, int x, int y) {
    app.shell.doubleClickFlag = true;
    DoubleClickResult result;
    std::uint32_t action = app.settings.doubleClickAction;
    if (app.compare.dialogOpen) action |= kDoubleClickPicksPoint;
    if (action & kDoubleClickPicksPoint) {
        const int index = app.view.pageLength == 0 ? kHitOutside : byteAt(app, x, y, nullptr);
        if (isByte(index)) {
            result.pointPicked = true;
            result.position = firstShownPos(app) + FilePos(index);
        }
        return result;
    }
    switch (action) {
    case 0:
        popupAt(app, x, y, kMenuEdit);
        break;
    case 1:
        result.command = kCmdShowValues;
        break;
    case 2: {
        if (app.view.pageLength == 0) break;
        bool inChars = false;
        const int index = byteAt(app, x, y, &inChars);
        if (!isByte(index)) break;
        placeCursor(app, index, inChars);
        result.command = kCmdDisassemble;
        break;
    }
    case 4: {
        MessageBoxDescription box;
        box.text = "later: highlight AVI-Chunk";
        box.buttons = MsgButtons::OkCancel;
        app.platform->messageBox(box);
        break;
    }
    default:
        break;
    }
    return result;
}

}  // namespace quorby
