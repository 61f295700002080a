#pragma once
// The 88 x 34 character cells: paints them from the cell buffer and turns
// keyboard and mouse input on them into WindowInput calls.
#include <QWidget>

#include "platform/qt/cell_font.h"
#include "platform/qt/cell_grid.h"
#include "platform/qt/window_input.h"

namespace quorby {

class GridWidget final : public QWidget {
    Q_OBJECT
public:
    GridWidget(WindowInput* input, QWidget* parent);

    void drawCells(int column, int row, const char* text, int count, Colour background);
    const CellGrid& cells() const { return cells_; }
    void setCellFont(const CellFont& font);
    const CellFont& cellFont() const { return font_; }
    QSize gridPixelSize() const;
    // The rows (in widget pixels) that show the selection, a match or the
    // cursor: what a dialog must not hide. Empty when no row shows them.
    QRect markedRows() const;

    // While a long operation polls for input, a typed ESC is kept here for
    // the operation instead of going to the logic as a character.
    void setEscapeIntercepted(bool on) { escapeIntercepted_ = on; }
    bool escapeIntercepted() const { return escapeIntercepted_; }
    bool takeInterceptedEscape();
    void noteInterceptedEscape() { escapeSeen_ = true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Tab and Shift+Tab belong to the grid (they switch the cursor's column).
    bool focusNextPrevChild(bool next) override;

private:
    void typeText(const QKeyEvent* event);

    WindowInput* input_;
    CellGrid cells_;
    CellFont font_;
    bool escapeIntercepted_ = false;
    bool escapeSeen_ = false;
};

}  // namespace quorby
