#pragma once
// The main window: the menu bar, the grid of cells and the vertical scroll
// bar beside it. Its size always fits 88 x 34 cells of the current font; a
// size the user asks for is handed to the logic, which picks the font.
#include <QMainWindow>
#include <QSize>
#include <vector>

#include "platform/qt/grid_widget.h"
#include "platform/qt/menu_builder.h"
#include "platform/qt/overview_strip.h"
#include "platform/qt/progress_line.h"
#include "platform/qt/window_input.h"

class QScrollBar;

namespace quorby {

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(WindowInput* input);

    GridWidget* grid() const { return grid_; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    OverviewStripWidget* overview() const { return overview_; }
    MenuBuilder& menus() { return *menus_; }

    // Resizes the window so that its client area is exactly the grid of the
    // current font plus the scroll bar.
    void fitToGrid();
    // Sets the scroll bar without reporting an action to the logic.
    void setScrollBarState(std::int32_t maximum, std::int32_t position);
    // The client size the last fitting asked for (grid plus scroll bar, and
    // the progress line while it shows).
    QSize fittedClientSize() const { return fittedClient_; }

    // The progress line below the grid: shown while a long operation runs
    // (the window grows by its height), hidden again after it.
    void showProgressLine(const QString& where, int percent);
    void hideProgressLine();
    const ProgressLine* progressLine() const { return progressLine_; }

    // While a long operation polls, closing the window interrupts it instead.
    void setLongOperationRunning(bool running) { longOperationRunning_ = running; }
    bool destroyed() const { return destroyed_; }
    // The window manager has placed the shown window: from now on a size
    // that is not the window's own fitting is the user's.
    bool takesUserSizes() const { return settled_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void clientResized(QSize size);
    // Moves the frame into the screen's free area (title bar first).
    void keepFrameOnScreen();
    // Sizes the window to its font again, once the current events are done.
    void refit();
    void negotiateSize();
    void placeChildren();
    void scrollActionTriggered(int action);
    // The width beside the grid: the scroll bar and the overview strip.
    int sideWidth() const;
    // The height below the grid: the progress line while it shows, else 0.
    int progressLineHeight() const;

    WindowInput* input_;
    QWidget* client_;
    GridWidget* grid_;
    QScrollBar* scrollBar_;
    OverviewStripWidget* overview_;
    ProgressLine* progressLine_;
    MenuBuilder* menus_;
    QSize fittedClient_;
    QSize requestedClient_;
    bool negotiationPending_ = false;
    bool awaitingFit_ = false;  // a resize of our own fitting is on its way
    int corrections_ = 0;
    std::vector<QSize> ownSizes_;  // client sizes of our fittings not yet seen
    bool shownOnce_ = false;
    bool settled_ = false;         // the window manager has mapped the window
    bool refitPending_ = false;
    int refits_ = 0;
    bool longOperationRunning_ = false;
    bool destroyed_ = false;
};

}  // namespace quorby
