#include "disasm/listing_click.h"

#include "disasm/disassembly_window.h"
#include "disasm/listing_build.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"

namespace quorby::disasm {

namespace {

constexpr std::size_t kPositionFieldLength = 23;

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::size_t lineStartBefore(const std::string& text, std::size_t caret) {
    if (caret > text.size()) caret = text.size();
    while (caret > 0 && text[caret - 1] != '\n') --caret;
    return caret;
}

}  // namespace

ListingLine listingLineAt(const std::string& text, std::size_t caret) {
    ListingLine line;
    const std::size_t start = lineStartBefore(text, caret);
    std::size_t k = start;
    while (k < text.size() && text[k] != '\r' && text[k] != '\n' && hexDigitValue(text[k]) < 0) ++k;
    if (k >= text.size() || hexDigitValue(text[k]) < 0) return line;
    line.digits = k;
    line.instruction = k == start + 1 && text[start] == ' ';
    const std::size_t cut = k + kPositionFieldLength < text.size() ? k + kPositionFieldLength : text.size();
    int count = 0;
    for (; k < cut && count < 16; ++k) {
        if (text[k] == ' ') continue;
        const int digit = hexDigitValue(text[k]);
        if (digit < 0) break;
        line.position = (line.position << 4) | FilePos(digit);
        ++count;
    }
    line.hasPosition = true;
    return line;
}

void clickInListing(AppState& app, std::size_t caret, std::uint32_t scrollingInterval) {
    if (app.disasm.building || !fileIsOpen(app) || app.main.fileSize == 0) return;
    const ListingLine line = listingLineAt(app.disasm.listing, caret);
    if (!line.hasPosition) return;
    app.platform->selectListingText(ModelessWindow::Disassembly, kDisasmListing,
                                    line.digits, kPositionTextLength);
    FilePos pos = line.position;
    if (pos > app.main.lastBytePos) pos = app.main.lastBytePos;
    std::uint32_t multiple = scrollingInterval;
    if (app.nav.offsetMultiple > multiple) multiple = app.nav.offsetMultiple;
    if (showFromPosition(app, pos & ~FilePos(multiple - 1)) != 0) return;
    ViewState& v = app.view;
    v.cursorOffset = std::uint32_t(pos - firstShownPos(app));
    limitCursorToFile(app);
    if (line.instruction) {
        const std::uint32_t length = instructionLengthAt(app, pos);
        const FilePos room = app.main.fileSize - pos;
        v.selectionStart = pos;
        v.selectionEnd = pos + (room < length ? room : length);
        v.selectionActive = kSelectionExists;
        enableSelectionItems(app);
    }
    redrawView(app);
}

}  // namespace quorby::disasm
