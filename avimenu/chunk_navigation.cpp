#include "avimenu/chunk_navigation.h"

#include "avi/chunk_stepper.h"
#include "avi/stream_ids.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "state/avi_content.h"
#include "state/error_report.h"
#include "view/page_render.h"
#include "view/shown_range.h"

namespace quorby {
namespace {

constexpr FourCc kList = fourCc("LIST");

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

bool isDataPacket(const AviState& avi) {
    const FourCc id = avi.cursor.chunkId;
    return (avi.facts.videoIdKnown && id == avi.facts.videoDataId) ||
           (avi.facts.audioIdKnown && id == avi.facts.audioDataId);
}

}  // namespace

int stepChunkWithView(AppState& app, RiffContent& content) {
    if (readChunkAt(content, app.avi.cursor) != 0) {
        showFromPosition(app, lastViewStart(app));
        return 1;
    }
    showFromPosition(app, app.avi.cursor.currentChunkPos);
    return 0;
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
    showFromPosition(app, c.currentChunkPos & ~FilePos{15});
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
    showNextChunk(app, content);
}

void nextChunkCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    MainFileContent content(app);
    showNextChunk(app, content);
}

void nextSubChunkCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    const FilePos top = app.view.pagePos + app.view.viewOffset;
    const FilePos current = app.avi.cursor.currentChunkPos;
    const FilePos listPos = (current & ~FilePos{15}) == top ? current : top;
    if (prepareEnterList(app, listPos) != 0) return;
    MainFileContent content(app);
    showNextChunk(app, content);
}

void filmStartCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    MainFileContent content(app);
    AviState& avi = app.avi;
    if (!avi.factsKnown) {
        if (findStreamIds(content, avi.facts) != 0) {
            showMessageBox(app, "Could not find any StreamIDs!", "no StreamIDs", MsgButtons::Ok, MsgIcon::None);
            return;
        }
        avi.factsKnown = true;
    }
    avi.cursor = {};
    avi.cursor.nextChunkPos = 12;
    bool failed = stepChunkWithView(app, content) != 0;
    while (!failed && !(avi.cursor.chunkId == kList && avi.cursor.listType == fourCc("movi")))
        failed = stepChunkWithView(app, content) != 0;
    if (!failed) failed = prepareEnterList(app, avi.cursor.currentChunkPos) != 0 || stepChunkWithView(app, content) != 0;
    // Packets grouped in "rec " lists are looked for inside them.
    while (!failed && !isDataPacket(avi)) {
        if (avi.cursor.chunkId == kList && avi.cursor.listType == fourCc("rec ") &&
            prepareEnterList(app, avi.cursor.currentChunkPos) != 0)
            failed = true;
        if (!failed) failed = stepChunkWithView(app, content) != 0;
    }
    if (!failed) avi.streamStepping = true;
    redrawView(app);
}

}  // namespace quorby
