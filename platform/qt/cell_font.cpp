#include "platform/qt/cell_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/qt/glyph_map.h"

namespace quorby {

namespace {

constexpr int kMinCellWidth = 3;
constexpr int kMinCellHeight = 7;
constexpr int kMaxCellSize = 400;
constexpr int kMaxStretch = 4000;

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

// Stretches the glyphs until their advance rounds to the cell width.
int fitStretch(QFont& font, int cellWidth) {
    const qreal natural = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    if (natural <= 0) return 1;
    int stretch = std::clamp(int(std::lround(100.0 * cellWidth / natural)), 1, kMaxStretch);
    font.setStretch(stretch);
    for (int step = 0; step < 20; ++step) {
        const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
        if (advance > cellWidth + 0.5 && stretch > 1) font.setStretch(--stretch);
        else if (advance < cellWidth - 0.5 && stretch < kMaxStretch) font.setStretch(++stretch);
        else break;
    }
    return 0;
}

}  // namespace

GlyphInk measureGlyphInk(const QFont& font, int cellWidth, int cellHeight) {
    // Every glyph the grid can show, drawn over each other at one origin,
    // with room of two cells on each side for ink that leaves the cell.
    const int originX = 2 * cellWidth;
    const int originY = 3 * cellHeight;
    QImage image(5 * cellWidth, 5 * cellHeight, QImage::Format_Grayscale8);
    image.fill(255);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    QString glyphs;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != ' ') glyphs.append(QChar(glyphForByte(std::uint8_t(byte))));
    for (QChar glyph : glyphs) painter.drawText(QPointF(originX, originY), QString(glyph));
    painter.end();
    GlyphInk ink;
    bool any = false;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == 255) continue;
            if (!any) {
                ink = GlyphInk{y, y, x, x};
                any = true;
            }
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    if (!any) return GlyphInk{};
    return GlyphInk{ink.top - originY, ink.bottom - originY, ink.left - originX, ink.right - originX};
}

int makeCellFont(int cellWidth, int cellHeight, CellFont* out) {
    if (cellWidth < kMinCellWidth || cellHeight < kMinCellHeight || cellWidth > kMaxCellSize ||
        cellHeight > kMaxCellSize)
        return 1;
    // Start with the largest pixel size whose line height fits the cell,
    // then shrink it until the ink of every glyph (accents on capitals above,
    // underscore and descenders below) lies inside the cell.
    constexpr int kReferenceSize = 100;
    const int referenceHeight = QFontMetrics(baseFont(kReferenceSize)).height();
    if (referenceHeight <= 0) return 1;
    int pixelSize = std::min(cellHeight, cellHeight * kReferenceSize / referenceHeight + 1);
    while (pixelSize > 0 && QFontMetrics(baseFont(pixelSize)).height() > cellHeight) --pixelSize;
    for (; pixelSize > 0; --pixelSize) {
        QFont font = baseFont(pixelSize);
        if (fitStretch(font, cellWidth) != 0) return 1;
        const GlyphInk ink = measureGlyphInk(font, cellWidth, cellHeight);
        const int inkHeight = ink.bottom - ink.top + 1;
        // Across, the glyphs keep the advance of the cell: dashes and the
        // underscore are made to join their neighbours and may touch them.
        if (inkHeight > cellHeight) continue;
        out->font = font;
        out->cellWidth = cellWidth;
        out->rowHeight = cellHeight;
        // The ink is centred in the cell's height.
        out->baseline = (cellHeight - inkHeight) / 2 - ink.top;
        return 0;
    }
    return 1;
}

}  // namespace quorby
