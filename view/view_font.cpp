#include "view/view_font.h"

#include <algorithm>
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

// How far the cell is from 16/9 of its width: negative when too flat.
int aspectError(int height, int width) { return 9 * height - 16 * width; }

void redrawWholeView(AppState& app) {
    drawHeaderAndBottomLine(app);
    updateScrollBar(app);
    drawPage(app);
}

void changeFontSize(AppState& app, int width, int height) {
    width = std::clamp(width, kMinCellWidth, kMaxCellWidth);
    height = std::clamp(height, kMinCellHeight, kMaxCellHeight);
    if (width == app.view.requestedWidth && height == app.view.requestedHeight) return;
    if (createViewFont(app, width, height) != 0) return;
    redrawWholeView(app);
}

}  // namespace

int createViewFont(AppState& app, int cellWidth, int cellHeight) {
    // The sizes may come from a foreign or damaged settings file.
    cellWidth = std::clamp(cellWidth, kMinCellWidth, kMaxCellWidth);
    cellHeight = std::clamp(cellHeight, kMinCellHeight, kMaxCellHeight);
    int actualWidth = 0;
    int actualHeight = 0;
    if (app.platform->createFont(cellWidth, cellHeight, &actualWidth, &actualHeight) != 0) return 1;
    if (actualWidth <= 0 || actualHeight <= 0) return 1;
    app.view.cellWidth = actualWidth;
    app.view.rowHeight = actualHeight;
    app.view.requestedWidth = cellWidth;
    app.view.requestedHeight = cellHeight;
    app.platform->fitWindowToGrid(actualWidth, actualHeight);
    return 0;
}

void enlargeView(AppState& app) {
    const int w = app.view.requestedWidth;
    const int h = app.view.requestedHeight;
    const int e = aspectError(h, w);
    int newHeight = h;
    if (e < -4) {
        newHeight = h + 2;
    } else if (e <= 4) {
        newHeight = h + 1;
    }
    changeFontSize(app, w + 1, newHeight);
}

void decreaseView(AppState& app) {
    const int w = app.view.requestedWidth;
    const int h = app.view.requestedHeight;
    const int e = aspectError(h, w);
    int newWidth = w;
    if (e < -4) {
        newWidth = w - 2;
    } else if (e <= 4) {
        newWidth = w - 1;
    }
    changeFontSize(app, newWidth, h - 1);
}

void fitFontToClientSize(AppState& app, int clientWidth, int clientHeight) {
    const int currentWidth = kGridColumns * app.view.cellWidth;
    const int currentHeight = kGridRows * app.view.rowHeight;
    if (clientWidth == currentWidth && clientHeight == currentHeight) return;
    if (clientWidth == 0) {
        app.platform->fitWindowToGrid(app.view.cellWidth, app.view.rowHeight);
        return;
    }
    const int width = std::clamp(clientWidth / kGridColumns, kMinCellWidth, kMaxCellWidth);
    const int height = std::clamp(clientHeight / kGridRows, kMinCellHeight, kMaxCellHeight);
    if (createViewFont(app, width, height) != 0) {
        // Keep the old font; the window still gets exactly 88 x 34 of its cells.
        app.platform->fitWindowToGrid(app.view.cellWidth, app.view.rowHeight);
        return;
    }
    redrawWholeView(app);
}

}  // namespace quorby
