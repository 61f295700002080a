#include "platform/qt/cell_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace quorby {

namespace {

constexpr int kMinCellWidth = 3;
constexpr int kMinCellHeight = 7;
constexpr int kMaxCellSize = 400;

// DejaVu Sans Mono where present, else the system's fixed-pitch face.
const QString& cellFontFamily() {
    static const QString family = [] {
        const QString preferred = QStringLiteral("DejaVu Sans Mono");
        QFont probe(preferred);
        if (QFontInfo(probe).family() == preferred) return preferred;
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

QFont baseFont(int pixelSize) {
    QFont font(cellFontFamily());
    font.setStyleHint(QFont::Monospace, QFont::PreferOutline);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setKerning(false);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

int makeCellFont(int cellWidth, int cellHeight, CellFont* out) {
    if (cellWidth < kMinCellWidth || cellHeight < kMinCellHeight || cellWidth > kMaxCellSize ||
        cellHeight > kMaxCellSize)
        return 1;
    // The largest pixel size whose line height fits the cell.
    int pixelSize = 0;
    for (int p = 1; p <= cellHeight; ++p) {
        if (QFontMetrics(baseFont(p)).height() <= cellHeight) pixelSize = p;
        else break;
    }
    if (pixelSize == 0) return 1;
    QFont font = baseFont(pixelSize);
    // Stretch the glyphs until their advance rounds to the cell width.
    qreal natural = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    if (natural <= 0) return 1;
    int stretch = int(std::lround(100.0 * cellWidth / natural));
    stretch = std::clamp(stretch, 1, 4000);
    font.setStretch(stretch);
    for (int step = 0; step < 20; ++step) {
        qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
        if (advance > cellWidth + 0.5 && stretch > 1) font.setStretch(--stretch);
        else if (advance < cellWidth - 0.5 && stretch < 4000) font.setStretch(++stretch);
        else break;
    }
    QFontMetrics metrics(font);
    out->font = font;
    out->cellWidth = cellWidth;
    out->rowHeight = cellHeight;
    // Centre the glyph's line height in the cell.
    out->baseline = (cellHeight - metrics.height()) / 2 + metrics.ascent();
    return 0;
}

}  // namespace quorby
