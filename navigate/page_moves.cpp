#include "navigate/page_moves.h"

#include "document/page_assembly.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

// Is `viewPos` reachable inside pageBuffer? viewOffset stays below 512, so
// that the resolutions "256 Bytes" and "512 Bytes" keep it at 0 / 256 and 0.
bool inPageBuffer(const ViewState& v, FilePos viewPos) {
    if (viewPos < v.pagePos || viewPos - v.pagePos >= FilePos(kPageSize)) return false;
    return viewPos == v.pagePos || viewPos - v.pagePos < v.pageLength;
}

void clearKeyboardSelection(ViewState& view) {
    view.selectionActive &= ~std::uint32_t(kSelectionKeyboard | kSelectionMovingEnd);
}

}  // namespace

void limitCursorToFile(AppState& app) {
    ViewState& v = app.view;
    if (v.pageLength == 0) {
        v.cursorOffset = 0;
        return;
    }
    FilePos first = firstShownPos(app);
    FilePos room = lastByte(app.main) >= first ? lastByte(app.main) - first : 0;
    std::uint32_t limit = room > 511 ? 511 : std::uint32_t(room);
    if (v.cursorOffset > limit) v.cursorOffset = limit;
}

int showFromPosition(AppState& app, FilePos viewPos) {
    ViewState& v = app.view;
    if (viewPos > lastViewStart(app)) viewPos = lastViewStart(app);
    if (!inPageBuffer(app.view, viewPos)) {
        const FilePos oldPage = v.pagePos;
        const std::uint32_t oldOffset = v.viewOffset;
        if (loadPagePair(app, pageStart(viewPos)) != 0) {
            // A page that cannot be read leaves the view where it was.
            (void)loadPagePair(app, oldPage);
            v.viewOffset = oldOffset;
            limitCursorToFile(app);
            return 1;
        }
        v.viewOffset = viewPos >= v.pagePos && viewPos - v.pagePos < v.pageLength
                           ? std::uint32_t(viewPos - v.pagePos)
                           : 0;
    } else {
        v.viewOffset = std::uint32_t(viewPos - v.pagePos);
    }
    v.headerShift = v.viewOffset % kBytesPerRow;
    limitCursorToFile(app);
    return 0;
}

int showWithCursorAt(AppState& app, FilePos pos) {
    if (!fileIsOpen(app)) return 1;
    if (pos > lastByte(app.main)) pos = lastByte(app.main);
    const FilePos first = firstShownPos(app);
    if (pos >= first && pos - first < shownByteCount(app)) {
        app.view.cursorOffset = std::uint32_t(pos - first);
        return 0;
    }
    if (showFromPosition(app, pageStart(pos)) != 0) return 1;
    app.view.cursorOffset = std::uint32_t(pos - firstShownPos(app));
    limitCursorToFile(app);
    return 0;
}

int scrollViewDown(AppState& app, FilePos distance, FilePos* moved) {
    *moved = 0;
    if (app.view.pageLength == 0) return 1;
    const FilePos first = firstShownPos(app);
    const FilePos limit = lastViewStart(app);
    if (first >= limit) return 1;
    FilePos target = limit - first < distance ? limit : first + distance;
    if (showFromPosition(app, target) != 0) return 1;
    *moved = firstShownPos(app) - first;
    return *moved == 0 ? 1 : 0;
}

int scrollViewUp(AppState& app, FilePos distance, FilePos* moved) {
    *moved = 0;
    if (app.view.pageLength == 0) return 1;
    const FilePos first = firstShownPos(app);
    if (first == 0) return 1;
    FilePos target = first < distance ? 0 : first - distance;
    if (showFromPosition(app, target) != 0) return 1;
    *moved = first - firstShownPos(app);
    return *moved == 0 ? 1 : 0;
}

void redrawView(AppState& app) {
    updateScrollBar(app);
    drawPage(app);
}

int pageDown(AppState& app) {
    FilePos moved = 0;
    return scrollViewDown(app, kPageSize, &moved);
}

int pageUp(AppState& app) {
    FilePos moved = 0;
    return scrollViewUp(app, kPageSize, &moved);
}

void pageDownCommand(AppState& app) {
    if (pageDown(app) == 0) redrawView(app);
}

void pageUpCommand(AppState& app) {
    if (pageUp(app) == 0) redrawView(app);
}

// The background moves under a cursor that keeps its place in the grid.
void viewUpCommand(AppState& app) {
    FilePos moved = 0;
    if (scrollViewUp(app, app.nav.scrollStep, &moved) == 0) redrawView(app);
}

void viewDownCommand(AppState& app) {
    FilePos moved = 0;
    if (scrollViewDown(app, app.nav.scrollStep, &moved) == 0) redrawView(app);
}

// Byte-wise sideways moves keep the cursor on its byte where it stays visible.
void viewLeftCommand(AppState& app) {
    if (app.nav.offsetMultiple != 1) return;
    FilePos moved = 0;
    if (scrollViewUp(app, 1, &moved) != 0) return;
    if (app.view.cursorOffset < 511) ++app.view.cursorOffset;
    limitCursorToFile(app);
    redrawView(app);
}

void viewRightCommand(AppState& app) {
    if (app.nav.offsetMultiple != 1) return;
    FilePos moved = 0;
    if (scrollViewDown(app, 1, &moved) != 0) return;
    if (app.view.cursorOffset > 0) --app.view.cursorOffset;
    limitCursorToFile(app);
    redrawView(app);
}

void fileBeginCommand(AppState& app) {
    if (!fileIsOpen(app)) return;
    clearKeyboardSelection(app.view);
    if (app.view.pagePos != 0) {
        if (loadPagePair(app, 0) != 0) return;
    }
    app.view.viewOffset = 0;
    app.view.headerShift = 0;
    app.view.cursorOffset = 0;
    redrawView(app);
}

// Shows the page that holds the last byte, with the cursor on it.
void fileEndCommand(AppState& app) {
    if (!fileIsOpen(app)) return;
    clearKeyboardSelection(app.view);
    if (showFromPosition(app, lastViewStart(app)) != 0) return;
    ViewState& v = app.view;
    v.headerShift = 0;
    v.cursorOffset = 511;
    limitCursorToFile(app);
    redrawView(app);
}

void highlightStartCommand(AppState& app) {
    if (!fileIsOpen(app)) return;
    FilePos start = app.view.selectionStart;
    if (start > lastByte(app.main)) start = lastByte(app.main);
    const std::uint32_t multiple = app.nav.offsetMultiple < 16 ? 16 : app.nav.offsetMultiple;
    const FilePos page = pageStart(start);
    if (app.view.pagePos != page && loadPagePair(app, page) != 0) return;
    ViewState& v = app.view;
    const std::uint32_t offset = std::uint32_t(start - page);
    v.viewOffset = page == v.pagePos ? offset - offset % multiple : 0;
    v.headerShift = 0;
    v.cursorOffset = std::uint32_t(start - firstShownPos(app));
    limitCursorToFile(app);
    drawHeaderAndBottomLine(app);
    redrawView(app);
}

void setScrollResolution(AppState& app, std::uint32_t resolution) {
    std::uint32_t step = 16, multiple = 1;
    switch (resolution) {
    case 2: multiple = 16; break;
    case 4: step = multiple = 256; break;
    case 8: step = multiple = 512; break;
    default: resolution = 1; break;
    }
    app.settings.resolution = resolution;
    app.nav.scrollStep = step;
    app.nav.offsetMultiple = multiple;
    ViewState& v = app.view;
    // Align the view down and keep the cursor on its byte where the grid allows.
    const std::uint32_t drop = v.viewOffset % multiple;
    v.viewOffset -= drop;
    v.cursorOffset = v.cursorOffset + drop > 511 ? 511 : v.cursorOffset + drop;
    limitCursorToFile(app);
    v.headerShift = 0;
    showResolutionLock(app, resolution);
    redrawView(app);
}

}  // namespace quorby
