#include "avimenu/chunk_navigation.h"

#include "avi/chunk_stepper.h"
#include "avimenu/avi_information.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "state/avi_content.h"
#include "view/page_render.h"
#include "view/shown_range.h"

namespace quorby {
namespace {

// The first sub-chunk of the list whose header is at `listPos` becomes the
// next chunk to read. Result 1 when it lies at or beyond the end.
int prepareEnterList(AppState& app, FilePos listPos) {
    FilePos first = listPos + 12;
    first += first & 1;
    if (first >= app.main.fileSize) return 1;
    app.avi.cursor.currentChunkPos = first;
    app.avi.cursor.nextChunkPos = first;
    return 0;
}

}  // namespace

int stepChunkWithView(AppState& app, RiffContent& content) {
    if (readChunkAt(content, app.avi.cursor) != 0) {
        (void)showFromPosition(app, lastViewStart(app));  // the step has failed already
        return 1;
    }
    return showFromPosition(app, app.avi.cursor.currentChunkPos);
}

int showNextChunk(AppState& app, RiffContent& content) {
    ViewState& v = app.view;
    if (stepChunkWithView(app, content) != 0) {
        v.selectionActive = 0;
        greySelectionItems(app);
        redrawView(app);
        return 1;
    }
    const ChunkCursor& c = app.avi.cursor;
    if (showFromPosition(app, c.currentChunkPos & ~FilePos{15}) != 0) {
        redrawView(app);
        return 1;
    }
    v.selectionStart = c.currentChunkPos;
    v.selectionEnd = c.nextChunkPos < app.main.fileSize ? c.nextChunkPos : app.main.fileSize;
    v.selectionActive = kSelectionExists;
    enableSelectionItems(app);
    redrawView(app);
    return 0;
}

void gotoFirstChunkCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    app.avi.cursor = {};
    MainFileContent content(app);
    (void)showNextChunk(app, content);  // a failed step has been shown and reported
}

void nextChunkCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    MainFileContent content(app);
    (void)showNextChunk(app, content);  // a failed step has been shown and reported
}

void nextSubChunkCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    const FilePos top = app.view.pagePos + app.view.viewOffset;
    const FilePos current = app.avi.cursor.currentChunkPos;
    const FilePos listPos = (current & ~FilePos{15}) == top ? current : top;
    if (prepareEnterList(app, listPos) != 0) return;
    MainFileContent content(app);
    (void)showNextChunk(app, content);  // a failed step has been shown and reported
}

void filmStartCommand(AppState& app) {
    if (!aviFileLoaded(app) || app.avi.scanRunning) return;
    (void)gotoFilmStart(app);  // a failed walk has been shown and reported
}

}  // namespace quorby
