#include "disasm/listing_build.h"

#include "decoder/listing_line.h"
#include "disasm/disasm_options.h"
#include "disasm/listing_text.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "view/grid_layout.h"

namespace quorby::disasm {

namespace {


// Moves the view's pair so that `pos` lies in its first page: the decoder's
// lookahead after it is then in pageBuffer (or the file ends first).
int bringIntoFirstPage(AppState& app, FilePos pos) {
    const ViewState& v = app.view;
    if (pos >= v.pagePos && pos - v.pagePos < FilePos(kPageSize)) return 0;
    return showFromPosition(app, pageStart(pos));
}

// The bytes of pageBuffer from `pos` on, at most the decoder's lookahead.
std::size_t bytesAvailable(const ViewState& v, FilePos pos) {
    if (pos < v.pagePos || pos - v.pagePos >= v.pageLength) return 0;
    const std::size_t rest = std::size_t(v.pageLength - (pos - v.pagePos));
    return rest < kDecodeLookahead ? rest : kDecodeLookahead;
}

std::size_t decodeLine(AppState& app, FilePos pos, std::uint32_t& st, char (&line)[kMaxListingLine],
                       std::uint32_t& length) {
    const ViewState& v = app.view;
    return formatListingLine(v.pageBuffer + (pos - v.pagePos), bytesAvailable(v, pos), pos, st,
                             line, length);
}

bool hasContent(const AppState& app) { return fileIsOpen(app) && app.view.pageLength != 0; }

}  // namespace

std::uint32_t instructionLengthAt(AppState& app, FilePos pos) {
    if (bytesAvailable(app.view, pos) == 0) return 1;
    std::uint32_t st = storedDecoderState(app.settings);
    std::uint32_t length = 1;
    char line[kMaxListingLine];
    decodeLine(app, pos, st, line, length);
    return length;
}

int listInstructionAtCursor(AppState& app) {
    if (!hasContent(app)) return 1;
    ViewState& v = app.view;
    // The instruction in the last row would run out of the view: move on by
    // a row (by the resolution's multiple where the view keeps one).
    const std::uint32_t step = app.nav.offsetMultiple > std::uint32_t(kBytesPerRow)
                                   ? app.nav.offsetMultiple
                                   : std::uint32_t(kBytesPerRow);
    if (v.cursorOffset >= std::uint32_t(kPageSize - kBytesPerRow) && step <= v.cursorOffset) {
        FilePos moved = 0;
        if (scrollViewDown(app, step, &moved) == 0) v.cursorOffset -= std::uint32_t(moved);
    }
    const FilePos pos = v.cursorPos();
    if (pos >= app.main.fileSize) return 1;

    std::uint32_t st = storedDecoderState(app.settings);
    std::uint32_t length = 1;
    char line[kMaxListingLine];
    const std::size_t n = decodeLine(app, pos, st, line, length);
    appendSingleLine(app.disasm.listing, line, n);

    const FilePos room = app.main.fileSize - pos;
    v.selectionStart = pos;
    v.selectionEnd = pos + (room < length ? room : length);
    v.selectionActive = kSelectionExists;
    enableSelectionItems(app);
    redrawView(app);
    return 0;
}

int listComplete(AppState& app) {
    app.disasm.listing.clear();
    if (!hasContent(app)) return 1;
    const ViewState& v = app.view;
    FilePos pos = v.cursorPos();
    FilePos end = app.main.fileSize;
    if (selectionIsUsable(app) && pos >= v.selectionStart && pos < v.selectionEnd) {
        pos = v.selectionStart;
        if (v.selectionEnd < end) end = v.selectionEnd;
    }
    std::uint32_t st = storedDecoderState(app.settings);
    const bool cancelAfterError = (st & state::kCancelAfterError) != 0;
    char line[kMaxListingLine];
    app.disasm.building = true;
    while (pos < end) {
        if (bringIntoFirstPage(app, pos) != 0 || bytesAvailable(app.view, pos) == 0) break;
        st &= ~state::kDecodeError;
        std::uint32_t length = 1;
        const std::size_t n = decodeLine(app, pos, st, line, length);
        if (!appendCompleteLine(app.disasm.listing, line, n)) break;
        pos += length;
        if (cancelAfterError && (st & state::kDecodeError)) break;
    }
    app.disasm.building = false;
    redrawView(app);
    return 0;
}

}  // namespace quorby::disasm
