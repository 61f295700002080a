#include "find/match_highlight.h"

#include "view/grid_layout.h"
#include "view/row_text.h"

namespace quorby {

void drawMatchHighlight(AppState& app, FilePos matchPos, std::uint32_t length) {
    if (!app.platform || length == 0) return;
    const ViewState& v = app.view;
    const FilePos top = v.pagePos + v.viewOffset;
    const FilePos pageEnd = pageStart(matchPos) + kPageSize;
    FilePos end = matchPos + length < pageEnd ? matchPos + length : pageEnd;
    const FilePos shownEnd = top + kDataRows * kBytesPerRow;
    if (end > shownEnd) end = shownEnd;
    const FilePos bufferEnd = v.pagePos + v.pageLength;
    if (end > bufferEnd) end = bufferEnd;
    if (matchPos < top || matchPos >= end) return;

    FilePos pos = matchPos;
    while (pos < end) {
        const std::uint32_t index = std::uint32_t(pos - top);  // from the first shown byte
        const int row = kFirstDataRow + int(index / kBytesPerRow);
        const int first = int(index % kBytesPerRow);
        const FilePos rowEnd = pos - FilePos(first) + kBytesPerRow;
        const int last = int((end < rowEnd ? end : rowEnd) - (pos - FilePos(first)));  // exclusive
        const std::uint8_t* bytes = v.pageBuffer + (pos - FilePos(first) - v.pagePos);

        char hex[kHexTextLength];
        char chars[kCharTextLength];
        buildHexText(bytes, kBytesPerRow, hex);
        buildCharText(bytes, kBytesPerRow, chars);
        const int hexFrom = hexDigitOffset(first);
        const int hexCount = 3 * (last - first) + (first < 8 && last > 8 ? 1 : 0);
        app.platform->drawCells(kHexColumn + hexFrom, row, hex + hexFrom, hexCount, kMatchHighlightColour);
        app.platform->drawCells(kFirstCharCell + first, row, chars + 1 + first, last - first, kMatchHighlightColour);
        pos = rowEnd;
    }
}

}  // namespace quorby
