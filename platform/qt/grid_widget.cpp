#include "platform/qt/grid_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "disasm/disassembly_window.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/key_mapping.h"
#include "state/view_state.h"

namespace quorby {

namespace {

constexpr int kDefaultCellWidth = 8;
constexpr int kDefaultCellHeight = 16;

QPoint clientPoint(const QMouseEvent* event) { return event->position().toPoint(); }

bool marksBytes(Colour background) {
    return background == kSelectionColour || background == kChangedSelectedColour ||
           background == disasm::kDisasmSelectionColour || background == kCursorActiveColour;
}

// Keys whose press types no character in the edit path even when the window
// system attaches one (X11 gives Delete the text "\x7f").
bool typesNoCharacter(int qtKey) {
    return qtKey == Qt::Key_Delete || qtKey == Qt::Key_Insert;
}

// The characters of keys that some input paths deliver without text.
int characterOfControlKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    default: return -1;
    }
}

}  // namespace

GridWidget::GridWidget(WindowInput* input, QWidget* parent) : QWidget(parent), input_(input) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // Shift + move extends the selection without a button
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A font that cannot be made here is made again when the view font is chosen at start-up.
    (void)makeCellFont(kDefaultCellWidth, kDefaultCellHeight, &font_);
}

void GridWidget::drawCells(int column, int row, const char* text, int count, Colour background) {
    if (!cells_.write(column, row, text, count, background)) return;
    int first = std::max(column, 0);
    int last = std::min(column + count, kGridColumns);
    update(QRect(first * font_.cellWidth, row * font_.rowHeight, (last - first) * font_.cellWidth,
                 font_.rowHeight));
}

void GridWidget::setCellFont(const CellFont& font) {
    font_ = font;
    update();
}

QSize GridWidget::gridPixelSize() const {
    return QSize(kGridColumns * font_.cellWidth, kGridRows * font_.rowHeight);
}

QRect GridWidget::markedRows() const {
    QRect marked;
    for (int r = 1; r + 1 < kGridRows; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            if (!marksBytes(cells_.backgrounds[r][c])) continue;
            marked |= QRect(0, r * font_.rowHeight, kGridColumns * font_.cellWidth, font_.rowHeight);
            break;
        }
    }
    return marked;
}

bool GridWidget::takeInterceptedEscape() {
    bool seen = escapeSeen_;
    escapeSeen_ = false;
    return seen;
}

void GridWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int cw = font_.cellWidth;
    const int rh = font_.rowHeight;
    const QRect area = event->rect();
    QRect grid(QPoint(0, 0), gridPixelSize());
    // Outside the grid (a maximised window): plain window colour.
    if (!grid.contains(area)) painter.fillRect(rect(), palette().window());
    painter.setFont(font_.font);
    painter.setPen(Qt::black);
    int firstRow = std::max(0, area.top() / rh);
    int lastRow = std::min(kGridRows - 1, area.bottom() / rh);
    int firstColumn = std::max(0, area.left() / cw);
    int lastColumn = std::min(kGridColumns - 1, area.right() / cw);
    for (int r = firstRow; r <= lastRow; ++r) {
        const int top = r * rh;
        for (int c = firstColumn; c <= lastColumn;) {
            int end = c;
            while (end <= lastColumn && cells_.backgrounds[r][end] == cells_.backgrounds[r][c]) ++end;
            painter.fillRect(c * cw, top, (end - c) * cw, rh, toQColor(cells_.backgrounds[r][c]));
            c = end;
        }
        for (int c = firstColumn; c <= lastColumn; ++c) {
            std::uint8_t byte = cells_.bytes[r][c];
            if (byte == ' ') continue;
            painter.drawText(QPointF(c * cw, top + font_.baseline), QString(QChar(glyphForByte(byte))));
        }
    }
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && escapeIntercepted_) {
        escapeSeen_ = true;
        return;
    }
    MappedKey mapped = mapQtKey(event->key(), event->modifiers());
    if (mapped.key != Key::None && input_->keyDown(mapped.key, mapped.modifiers)) return;
    typeText(event);
}

void GridWidget::typeText(const QKeyEvent* event) {
    if (typesNoCharacter(event->key())) return;
    const QString text = event->text();
    if (text.isEmpty()) {
        int character = characterOfControlKey(event->key());
        if (character >= 0) input_->character(character);
        return;
    }
    for (QChar ch : text) {
        int byte = byteForCharacter(ch);
        if (byte >= 0) input_->character(byte);
    }
}

void GridWidget::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    // Any key's release ends the views that last while a key is held (F5,
    // F6), so unnamed keys are reported too.
    input_->keyUp(mapQtKey(event->key(), event->modifiers()).key);
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
    QPoint p = clientPoint(event);
    if (event->button() == Qt::LeftButton) input_->leftButtonDown(p.x(), p.y(), mapQtModifiers(event->modifiers()));
    else if (event->button() == Qt::RightButton) input_->rightButtonDown(p.x(), p.y());
}

void GridWidget::mouseReleaseEvent(QMouseEvent* event) {
    QPoint p = clientPoint(event);
    if (event->button() == Qt::LeftButton) input_->leftButtonUp(p.x(), p.y());
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QPoint p = clientPoint(event);
    if (event->button() == Qt::LeftButton) input_->leftDoubleClick(p.x(), p.y());
    else if (event->button() == Qt::RightButton) input_->rightButtonDown(p.x(), p.y());
}

void GridWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = clientPoint(event);
    input_->mouseMove(p.x(), p.y(), (event->buttons() & Qt::LeftButton) != 0,
                      (event->modifiers() & Qt::ShiftModifier) != 0);
}

void GridWidget::wheelEvent(QWheelEvent* event) {
    int delta = event->angleDelta().y();  // eighths of a degree: 120 per notch
    if (delta != 0) input_->wheel(delta, mapQtModifiers(event->modifiers()));
    event->accept();
}

bool GridWidget::focusNextPrevChild(bool) { return false; }

}  // namespace quorby
