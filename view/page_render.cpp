#include "view/page_render.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "core/tables.h"
#include "view/compare_display.h"
#include "view/row_text.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

// The selection relative to the first shown byte: byte k is selected when
// start <= k < end.
struct ShownSelection {
    bool exists = false;
    std::int32_t start = 0;
    std::int32_t end = 0;
    bool contains(std::int32_t k) const { return exists && start <= k && k < end; }
};

ShownSelection shownSelection(const ViewState& v) {
    ShownSelection s;
    if (!(v.selectionActive & kSelectionExists)) return s;
    const FilePos firstShown = v.pagePos + v.viewOffset;
    s.exists = true;
    s.start = clampedDifference(v.selectionStart, firstShown);
    s.end = clampedDifference(v.selectionEnd, firstShown);
    return s;
}

// Number of valid bytes from the first shown one: at most 512.
std::uint32_t shownByteCount(const ViewState& v, const ShownContent& content) {
    const std::uint32_t length = std::min<std::uint32_t>(content.length, kPagePairSize);
    if (v.viewOffset >= length) return 0;
    return std::min<std::uint32_t>(length - v.viewOffset, kPageSize);
}

bool markedIn(const std::uint8_t* marks, std::uint32_t k) { return (marks[k >> 3] >> (k & 7)) & 1; }

// Byte k of the pair could not be read and nothing was typed over it.
bool unreadableIn(const ViewState& v, const ShownContent& content, std::uint32_t k) {
    return content.unreadableHalf != nullptr && k < kPagePairSize && content.unreadableHalf[k / kPageSize] &&
           !v.changed(k);
}

// How an unreadable byte looks: "??" in the hex column, this mark in the
// character column, both in kUnreadableColour.
constexpr char kUnreadableDigit = '?';
constexpr char kUnreadableMark = '?';

// A changed byte in a row where the selection begins or ends takes a colour
// derived from the one it would have unchanged.
constexpr Colour boundaryChangedColour(Colour b) { return (b | 0x11) ^ 0x552200; }

struct ByteColours {
    Colour hex;
    Colour chr;
};

ByteColours byteColours(const ViewState& v, bool selected, bool changed, bool boundaryRow) {
    if (!changed) {
        if (selected) return {v.selectionColour, v.selectionColour};
        return {v.hexBackground, v.charBackground};
    }
    if (boundaryRow) {
        const Colour hex = selected ? v.selectionColour : v.hexBackground;
        const Colour chr = selected ? v.selectionColour : v.charBackground;
        return {boundaryChangedColour(hex), boundaryChangedColour(chr)};
    }
    if (selected) return {kChangedSelectedColour, kChangedSelectedColour};
    return {v.changedColour, v.changedColour};
}

// Draws cells with per-cell colours as few runs of one colour each.
void drawColouredCells(Platform& p, int column, int row, const char* text, const Colour* colours, int count) {
    int runStart = 0;
    for (int k = 1; k <= count; ++k) {
        if (k == count || colours[k] != colours[runStart]) {
            p.drawCells(column + runStart, row, text + runStart, k - runStart, colours[runStart]);
            runStart = k;
        }
    }
}

void drawBlankRow(AppState& app, int row) {
    char blanks[kHexTextLength];
    std::memset(blanks, ' ', sizeof blanks);
    app.platform->drawCells(kHexColumn, row, blanks, kHexTextLength, app.view.hexBackground);
    app.platform->drawCells(kCharColumn, row, blanks, kCharTextLength, app.view.charBackground);
}

// Draws `count` (1 .. 16) bytes of the row that begins `offset` bytes after
// the first shown byte; the places of missing bytes are blank.
void drawDataRow(AppState& app, const ShownContent& content, int row, std::int32_t offset, int count,
                 const ShownSelection& sel) {
    const ViewState& v = app.view;
    const std::uint32_t base = v.viewOffset + std::uint32_t(offset);
    const std::uint8_t* bytes = content.bytes + base;

    bool selected[kBytesPerRow] = {};
    bool changed[kBytesPerRow] = {};
    bool unreadable[kBytesPerRow] = {};
    int selectedCount = 0;
    bool anyChanged = false;
    for (int i = 0; i < count; ++i) {
        selected[i] = sel.contains(offset + i);
        changed[i] = markedIn(content.marks, base + std::uint32_t(i));
        unreadable[i] = unreadableIn(v, content, base + std::uint32_t(i));
        selectedCount += selected[i] ? 1 : 0;
        anyChanged = anyChanged || changed[i];
    }
    const bool boundaryRow = selectedCount > 0 && selectedCount < count;
    // A full row without changes that is wholly selected is one selection-coloured run.
    const bool wholeRunSelected = !anyChanged && count == kBytesPerRow && selectedCount == count;

    char hexText[kHexTextLength];
    char charText[kCharTextLength];
    buildHexText(bytes, count, hexText);
    buildCharText(bytes, count, charText);

    Colour hexColours[kHexTextLength];
    Colour charColours[kCharTextLength];
    std::fill(hexColours, hexColours + kHexTextLength, v.hexBackground);
    std::fill(charColours, charColours + kCharTextLength, v.charBackground);
    if (count > 0 && selected[0]) hexColours[0] = v.selectionColour;
    if (count > 8 && selected[7] && selected[8]) hexColours[kGroupGapColumn - kHexColumn] = v.selectionColour;
    if (wholeRunSelected) charColours[0] = v.selectionColour;
    for (int i = 0; i < count; ++i) {
        ByteColours c = byteColours(v, selected[i], changed[i], boundaryRow);
        const int at = hexDigitOffset(i);
        if (unreadable[i]) {
            hexText[at] = hexText[at + 1] = kUnreadableDigit;
            charText[1 + i] = kUnreadableMark;
            if (!selected[i]) c = {kUnreadableColour, kUnreadableColour};
        }
        hexColours[at] = hexColours[at + 1] = hexColours[at + 2] = c.hex;
        charColours[1 + i] = c.chr;
    }
    drawColouredCells(*app.platform, kHexColumn, row, hexText, hexColours, kHexTextLength);
    drawColouredCells(*app.platform, kCharColumn, row, charText, charColours, kCharTextLength);
}

struct CursorCells {
    int row;
    int hexColumn;
    int charColumn;
    char digits[2];
    char character;
    std::uint32_t bufferIndex;
    bool hasByte;
    bool unreadable;
};

CursorCells cursorCells(const ViewState& v, const ShownContent& content, std::uint32_t offsetFromFirstShown) {
    const std::uint32_t offset = offsetFromFirstShown % kPageSize;
    const int i = int(offset % kBytesPerRow);
    CursorCells c{};
    c.row = kFirstDataRow + int(offset / kBytesPerRow);
    c.hexColumn = kHexColumn + hexDigitOffset(i);
    c.charColumn = kFirstCharCell + i;
    c.bufferIndex = v.viewOffset + offset;
    c.hasByte = offset < shownByteCount(v, content);
    c.unreadable = c.hasByte && unreadableIn(v, content, c.bufferIndex);
    if (c.unreadable) {
        c.digits[0] = c.digits[1] = kUnreadableDigit;
        c.character = kUnreadableMark;
    } else if (c.hasByte) {
        const std::uint8_t b = content.bytes[c.bufferIndex];
        c.digits[0] = tables().hexPair[b][0];
        c.digits[1] = tables().hexPair[b][1];
        c.character = char(b);
    } else {
        c.digits[0] = c.digits[1] = c.character = ' ';
    }
    return c;
}

// The info cell says "unreadable" while the cursor stands on such a byte,
// and gives that word up when it leaves.
void showWhetherUnreadable(AppState& app, bool unreadable) {
    const ViewState& v = app.view;
    const bool shown = std::memcmp(v.infoCell, kInfoUnreadable, std::strlen(kInfoUnreadable)) == 0;
    if (unreadable && !shown) {
        setInfoCell(app, kInfoUnreadable, kUnreadableColour);
    } else if (!unreadable && shown) {
        if (app.compare.mode != CompareMode::None)
            drawCompareOffset(app);
        else
            setInfoCell(app, "", kAddressColour);
    }
}

void drawByteCells(AppState& app, const CursorCells& c, Colour hexColour, Colour charColour) {
    app.platform->drawCells(c.hexColumn, c.row, c.digits, 2, hexColour);
    app.platform->drawCells(c.charColumn, c.row, &c.character, 1, charColour);
}

}  // namespace

void drawPage(AppState& app) {
    ViewState& v = app.view;
    v.hexBackground = v.storedHexBackground;
    v.charBackground = v.storedCharBackground;
    AddressText address(v.pagePos + v.viewOffset);

    const std::uint32_t headerShift = shownHeaderShift(app);
    app.platform->drawCells(kHexColumn, 0, headerText(headerShift, false), kHeaderLength, kAddressColour);
    app.platform->drawCells(kSecondHeaderColumn, 0, headerText(headerShift, true), kHeaderLength, kAddressColour);

    const ShownContent content = shownContent(app);
    const std::int32_t shown = std::int32_t(shownByteCount(v, content));
    const ShownSelection sel = shownSelection(v);
    for (int r = 0; r < kDataRows; ++r) {
        const int row = kFirstDataRow + r;
        const std::int32_t offset = r * kBytesPerRow;
        app.platform->drawCells(kAddressColumn, row, address.text, kAddressTextLength, kAddressColour);
        if (offset < shown) {
            drawDataRow(app, content, row, offset, std::min<std::int32_t>(shown - offset, kBytesPerRow), sel);
        } else {
            drawBlankRow(app, row);
        }
        address.advanceRow();
    }
    if (v.pageLength != 0) drawCursor(app);
}

void drawCursor(AppState& app) {
    const ViewState& v = app.view;
    const CursorCells c = cursorCells(v, shownContent(app), v.cursorOffset);
    showWhetherUnreadable(app, c.unreadable);
    if (v.cursorInChars) {
        drawByteCells(app, c, kCursorOtherColour, kCursorActiveColour);
    } else {
        drawByteCells(app, c, kCursorActiveColour, kCursorOtherColour);
    }
}

void eraseCursor(AppState& app) {
    app.shell.modeFlags &= ~std::uint32_t(kModeSecondDigit);
    const ViewState& v = app.view;
    const ShownContent content = shownContent(app);
    const CursorCells c = cursorCells(v, content, v.cursorOffset);
    const bool changed = c.hasByte && markedIn(content.marks, c.bufferIndex);
    Colour hexColour = changed ? v.changedColour : v.hexBackground;
    Colour charColour = changed ? v.changedColour : v.charBackground;
    if (c.unreadable) hexColour = charColour = kUnreadableColour;
    if (c.hasByte && shownSelection(v).contains(std::int32_t(v.cursorOffset % kPageSize))) {
        hexColour = charColour = changed ? kChangedSelectedColour : v.selectionColour;
    }
    drawByteCells(app, c, hexColour, charColour);
}

void drawAnchor(AppState& app, int byteIndex) {
    if (byteIndex < 0 || byteIndex >= kPageSize) return;
    const CursorCells c = cursorCells(app.view, shownContent(app), std::uint32_t(byteIndex));
    drawByteCells(app, c, app.view.selectionColour, app.view.selectionColour);
}

void setInfoCell(AppState& app, const char* text21, Colour colour) {
    ViewState& v = app.view;
    std::memset(v.infoCell, ' ', sizeof v.infoCell);
    for (std::size_t k = 0; text21 && k < sizeof v.infoCell && text21[k] != '\0'; ++k) v.infoCell[k] = text21[k];
    v.infoColour = colour;
    ++v.infoCellWrites;
    app.platform->drawCells(kAddressColumn, 0, v.infoCell, int(sizeof v.infoCell), colour);
}

void showUnreadableSkipped(AppState& app, int ranges) {
    if (!app.platform || ranges == 0) return;
    char text[32];
    std::snprintf(text, sizeof text, "%d unreadable skipped", ranges);
    setInfoCell(app, text, kUnreadableColour);
}

void drawHeaderAndBottomLine(AppState& app) {
    // A running comparison keeps its offset in the info cell through
    // repaints and size changes.
    if (app.compare.mode != CompareMode::None)
        drawCompareOffset(app);
    else
        setInfoCell(app, "", kAddressColour);
    drawBottomLine(app);
    drawModeCell(app);
}

}  // namespace quorby
