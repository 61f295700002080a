#include <cstdint>
#include "view/grid_layout.h"
#include "view/page_render.h"

namespace quorby {

std::uint8_t columnTableEntry(int cell) {
    // Character cells 72 .. 87 (cells 51 .. 66 from column 21).
    const int charCell = cell - (kFirstCharCell - kHexColumn);
    if (charCell >= 0 && charCell < kBytesPerRow) return std::uint8_t(2 * charCell);
    for (int i = 0; i < kBytesPerRow; ++i) {
        const int digit = cell - hexDigitOffset(i);
        if (digit == 0 || digit == 1) return std::uint8_t(2 * i + digit);
    }
    return kNoByteCell;
}

namespace {

struct ColumnTable {
    std::uint8_t entry[kColumnTableSize];
    ColumnTable() {
        for (int c = 0; c < kColumnTableSize; ++c) entry[c] = columnTableEntry(c);
    }
};

const ColumnTable& columnTable() {
    static const ColumnTable table;
    return table;
}

}  // namespace

int hitTest(AppState& app, int x, int y, HitResult* out) {
    HitResult hit;
    const int cellWidth = app.view.cellWidth > 0 ? app.view.cellWidth : 1;
    const int rowHeight = app.view.rowHeight > 0 ? app.view.rowHeight : 1;
    const int row = y >= 0 ? y / rowHeight : -1;
    hit.rowTop = row * rowHeight;

    const int hexLeft = kHexColumn * cellWidth;
    if (x < hexLeft || row < kFirstDataRow || row >= kFirstDataRow + kDataRows) {
        if (out) *out = hit;
        return hit.index;
    }
    const int cell = (x - hexLeft) / cellWidth;
    const std::uint8_t v = cell < kColumnTableSize ? columnTable().entry[cell] : kNoByteCell;
    if (v == kNoByteCell) {
        hit.index = kHitNoByte;
    } else {
        const int byteInRow = v / 2;
        hit.index = byteInRow + (row - kFirstDataRow) * kBytesPerRow;
        hit.hexColumnX = (kHexColumn + hexDigitOffset(byteInRow)) * cellWidth;
        hit.charColumnX = (kFirstCharCell + byteInRow) * cellWidth;
        const FilePos fileSize = app.main.fileSize;
        const std::int64_t lastByte =
            fileSize == 0 ? -1 : clampedDifference(fileSize - 1, app.view.pagePos);
        if (std::int64_t(app.view.viewOffset) + hit.index > lastByte) {
            hit.index = kHitOutside;
        } else {
            app.view.cursorInChars = cell >= kCharColumn - kHexColumn;
        }
    }
    if (out) *out = hit;
    return hit.index;
}

}  // namespace quorby
