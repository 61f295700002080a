#include "platform/qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "state/app_state.h"

namespace quorby {

namespace {

constexpr int kStartWidth = 800, kStartHeight = 600;
constexpr int kMaxCorrections = 2;
// How long after showing the window its sizes come from the window manager
// (mapping, decorating, placing) rather than from the user.
constexpr int kSettleMs = 1000;
constexpr std::size_t kRememberedFittings = 8;

}  // namespace

MainWindow::MainWindow(WindowInput* input) : input_(input) {
    setWindowTitle(QString::fromLatin1(kStartCaption));
    menus_ = new MenuBuilder(menuBar(), [this](int code) { input_->command(code); });
    client_ = new QWidget(this);
    client_->installEventFilter(this);
    setCentralWidget(client_);
    grid_ = new GridWidget(input_, client_);
    scrollBar_ = new QScrollBar(Qt::Vertical, client_);
    scrollBar_->setFocusPolicy(Qt::NoFocus);  // keys belong to the grid
    scrollBar_->setRange(0, 0);
    overview_ = new OverviewStripWidget(input_, client_);
    progressLine_ = new ProgressLine(client_);
    progressLine_->hide();
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &MainWindow::scrollActionTriggered);
    connect(scrollBar_, &QScrollBar::sliderReleased, this,
            [this] { input_->scroll(ScrollAction::ThumbPosition, scrollBar_->sliderPosition()); });
    // No position of its own: the window manager places the window with its
    // frame on the screen (showEvent checks that it did).
    resize(kStartWidth, kStartHeight);
    grid_->setFocus();
}

void MainWindow::placeChildren() {
    QSize gridSize = grid_->gridPixelSize();
    grid_->setGeometry(0, 0, gridSize.width(), gridSize.height());
    scrollBar_->setGeometry(gridSize.width(), 0, scrollBar_->sizeHint().width(), gridSize.height());
    overview_->setGeometry(gridSize.width() + scrollBar_->sizeHint().width(), 0, OverviewStripWidget::kWidth,
                           gridSize.height());
    if (!progressLine_->isHidden())
        progressLine_->setGeometry(0, gridSize.height(), gridSize.width() + sideWidth(),
                                   progressLine_->sizeHint().height());
}

void MainWindow::showProgressLine(const QString& where, int percent) {
    progressLine_->setProgress(where, percent);
    if (!progressLine_->isHidden()) return;
    progressLine_->show();
    fitToGrid();
}

void MainWindow::hideProgressLine() {
    if (progressLine_->isHidden()) return;
    progressLine_->hide();
    fitToGrid();
}

int MainWindow::sideWidth() const { return scrollBar_->sizeHint().width() + OverviewStripWidget::kWidth; }

int MainWindow::progressLineHeight() const {
    return progressLine_->isHidden() ? 0 : progressLine_->sizeHint().height();
}

void MainWindow::fitToGrid() {
    placeChildren();
    QSize gridSize = grid_->gridPixelSize();
    fittedClient_ = QSize(gridSize.width() + sideWidth(), gridSize.height() + progressLineHeight());
    if (isMaximized() || isFullScreen()) return;  // the window system decides the size
    int menuHeight = menuBar()->heightForWidth(fittedClient_.width());
    if (menuHeight <= 0) menuHeight = menuBar()->sizeHint().height();
    QSize target(fittedClient_.width(), fittedClient_.height() + menuHeight);
    if (target == size()) return;
    awaitingFit_ = true;
    corrections_ = 0;
    if (ownSizes_.size() >= kRememberedFittings) ownSizes_.erase(ownSizes_.begin());
    ownSizes_.push_back(fittedClient_);
    resize(target);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // Sizes reported until then are the window manager's, not the user's.
    QTimer::singleShot(kSettleMs, this, [this] {
        settled_ = true;
        keepFrameOnScreen();
    });
    QTimer::singleShot(0, this, &MainWindow::keepFrameOnScreen);
}

void MainWindow::keepFrameOnScreen() {
    if (isMaximized() || isFullScreen()) return;
    const QScreen* shown = screen();
    if (!shown) return;
    const QRect available = shown->availableGeometry();
    const QRect frame = frameGeometry();
    // The title bar and the left edge first: the caption and the menus stay
    // reachable even when the window is larger than the screen.
    int x = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    int y = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top()) move(x, y);
}

void MainWindow::setScrollBarState(std::int32_t maximum, std::int32_t position) {
    QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, std::max<std::int32_t>(maximum, 0));
    scrollBar_->setValue(position);
}

void MainWindow::scrollActionTriggered(int action) {
    const std::int32_t thumb = scrollBar_->sliderPosition();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: input_->scroll(ScrollAction::LineUp, thumb); break;
    case QAbstractSlider::SliderSingleStepAdd: input_->scroll(ScrollAction::LineDown, thumb); break;
    case QAbstractSlider::SliderPageStepSub: input_->scroll(ScrollAction::PageUp, thumb); break;
    case QAbstractSlider::SliderPageStepAdd: input_->scroll(ScrollAction::PageDown, thumb); break;
    case QAbstractSlider::SliderToMinimum: input_->scroll(ScrollAction::Top, thumb); break;
    case QAbstractSlider::SliderToMaximum: input_->scroll(ScrollAction::Bottom, thumb); break;
    case QAbstractSlider::SliderMove: input_->scroll(ScrollAction::ThumbTrack, thumb); break;
    default: break;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        clientResized(static_cast<QResizeEvent*>(event)->size());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::clientResized(QSize size) {
    placeChildren();
    const bool answersFit = awaitingFit_;
    awaitingFit_ = false;
    if (size == fittedClient_ || !fittedClient_.isValid()) {  // our own fitting
        ownSizes_.clear();
        return;
    }
    if (answersFit && size.width() == fittedClient_.width() && !isMaximized() && corrections_ < kMaxCorrections) {
        ++corrections_;
        // The menu bar took another height than expected: correct it.
        awaitingFit_ = true;
        resize(width(), height() + fittedClient_.height() - size.height());
        return;
    }
    // An older fitting of ours arriving late, or the window manager's own
    // sizes while it maps the window: no user asked for them, so the font
    // stays and the window gets the size of its font again.
    const bool ours = std::find(ownSizes_.begin(), ownSizes_.end(), size) != ownSizes_.end();
    if (ours || !settled_) {
        if (!ours && !isMaximized() && !isFullScreen() && refits_ < kMaxCorrections) {
            ++refits_;  // a window manager that will not give the size is not asked for ever
            refit();
        }
        return;
    }
    // A size the user asked for: let the logic pick the font, once the
    // resize events of this drag step have arrived.
    requestedClient_ = QSize(size.width() - sideWidth(), size.height() - progressLineHeight());
    if (negotiationPending_) return;
    negotiationPending_ = true;
    QTimer::singleShot(0, this, &MainWindow::negotiateSize);
}

void MainWindow::refit() {
    if (refitPending_) return;
    refitPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refitPending_ = false;
        fitToGrid();
    });
}

void MainWindow::negotiateSize() {
    negotiationPending_ = false;
    if (requestedClient_.width() <= 0 || requestedClient_.height() <= 0) return;
    input_->resizeRequest(requestedClient_.width(), requestedClient_.height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (longOperationRunning_) {
        // The operation asks "Shall this Action be interrupted ?" itself.
        grid_->noteInterceptedEscape();
        event->ignore();
        return;
    }
    if (!destroyed_) {
        destroyed_ = true;
        input_->destroy();
    }
    event->accept();
}

}  // namespace quorby
