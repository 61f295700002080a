#include "platform/qt/overview_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quorby {

namespace {

// Left part: the Journal File's pages (unwritten ones stronger); right part:
// matches and differences; the cursor as a line across.
const QColor kBackground(0xF0, 0xF0, 0xF0);
const QColor kChanged(0xE8, 0xB8, 0x60);
const QColor kUnwritten(0xD0, 0x60, 0x00);
const QColor kMatch(0x30, 0x80, 0xE0);
const QColor kDifference(0x20, 0xA0, 0x40);
const QColor kCursor(0x00, 0x00, 0x00);

}  // namespace

OverviewStripWidget::OverviewStripWidget(WindowInput* input, QWidget* parent) : QWidget(parent), input_(input) {
    setFocusPolicy(Qt::NoFocus);  // keys belong to the grid
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Overview: changed pages, search matches, compare differences and the cursor"));
}

void OverviewStripWidget::setStrip(const OverviewStrip& strip) {
    strip_ = strip;
    update();
}

int OverviewStripWidget::binAt(int y) const {
    if (height() <= 0) return 0;
    return std::clamp(int(std::int64_t(y) * kOverviewBins / height()), 0, kOverviewBins - 1);
}

void OverviewStripWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!strip_.fileOpen) return;
    const int h = height();
    const int half = width() / 2;
    for (int k = 0; k < kOverviewBins; ++k) {
        const std::uint8_t m = strip_.marks[k];
        if (m == 0) continue;
        const int top = int(std::int64_t(k) * h / kOverviewBins);
        const int bottom = std::max(top + 1, int(std::int64_t(k + 1) * h / kOverviewBins));
        const int rowHeight = bottom - top;
        if (m & kOverviewUnwritten) painter.fillRect(0, top, half, rowHeight, kUnwritten);
        else if (m & kOverviewChanged) painter.fillRect(0, top, half, rowHeight, kChanged);
        if (m & kOverviewDifference) painter.fillRect(half, top, width() - half, rowHeight, kDifference);
        else if (m & kOverviewMatch) painter.fillRect(half, top, width() - half, rowHeight, kMatch);
        if (m & kOverviewCursor) painter.fillRect(0, top + rowHeight / 2, width(), std::max(1, rowHeight / 3), kCursor);
    }
}

void OverviewStripWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !strip_.fileOpen) return;
    input_->overviewClick(binAt(int(event->position().y())));
}

}  // namespace quorby
