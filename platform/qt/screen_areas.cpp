#include "platform/qt/screen_areas.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>

#include "platform/qt/dialog_placement.h"

namespace quorby {

namespace {

// A window frame's parts before the window manager has told them.
constexpr int kGuessedTitle = 30;
constexpr int kGuessedBorder = 2;
// How long a dialog waits for the window manager to frame the main window shown just before.
constexpr int kFramingWaitMs = 600;

}  // namespace

ScreenAreas screenAreas(const QWidget* mainWindow) {
    ScreenAreas areas;
    if (!mainWindow) return areas;
    const QScreen* screen = mainWindow->screen();
    areas.mainFrame = mainWindow->frameGeometry();
    areas.screen = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), areas.mainFrame.size());
    areas.decoration = areas.mainFrame.size() - mainWindow->geometry().size();
    const auto* main = qobject_cast<const QMainWindow*>(mainWindow);
    const int menuHeight = main && main->menuWidget() ? main->menuWidget()->height() : 0;
    int barBottom = mainWindow->geometry().top() + menuHeight - 1;
    if (areas.decoration.isNull()) {
        // Not yet framed by the window manager (a message at the start): it
        // will centre the window, with a title bar like any dialog's.
        const QSize frame = mainWindow->size() + QSize(2 * kGuessedBorder, kGuessedTitle + kGuessedBorder);
        areas.mainFrame = QRect(areas.screen.center() - QPoint(frame.width() / 2, frame.height() / 2), frame);
        areas.decoration = frame - mainWindow->size();
        barBottom = areas.mainFrame.top() + kGuessedTitle + menuHeight - 1;
    }
    if (barBottom >= areas.mainFrame.top())
        areas.menuBand = QRect(areas.mainFrame.left(), areas.mainFrame.top(), areas.mainFrame.width(),
                               barBottom - areas.mainFrame.top() + 1);
    return areas;
}

QSize expectedFrameSize(const QWidget* dialog, const ScreenAreas& areas) {
    // The dialog gets the same decoration as the main window (until the
    // window manager has framed it, its frame is its client area).
    const QSize expected = dialog->size() + areas.decoration;
    return dialog->isVisible() ? dialog->frameGeometry().size().expandedTo(expected) : expected;
}

int captionWidth(const QWidget* dialog, const QString& caption) {
    QFont bold = dialog->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The window manager's icon and buttons beside the caption.
    const int buttons = 4 * (metrics.height() + 8);
    return metrics.horizontalAdvance(caption) + buttons + 16;
}

void awaitWindowManager(const QWidget* mainWindow) {
    if (!mainWindow || !mainWindow->isVisible() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    QElapsedTimer waited;
    waited.start();
    while (mainWindow->frameGeometry() == mainWindow->geometry() && waited.elapsed() < kFramingWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

void sizeToContent(QWidget* dialog) {
    // adjustSize() would cut a window to two thirds of the screen and squeeze its fields.
    const QSize content = dialog->sizeHint().expandedTo(dialog->minimumSizeHint());
    dialog->resize(std::max(content.width(), captionWidth(dialog, dialog->windowTitle())), content.height());
}

void placeModal(QDialog* dialog, const QWidget* mainWindow) {
    sizeToContent(dialog);
    placeSizedModal(dialog, mainWindow);
}

void placeSizedModal(QDialog* dialog, const QWidget* mainWindow) {
    awaitWindowManager(mainWindow);
    const ScreenAreas areas = screenAreas(mainWindow);
    if (areas.screen.isEmpty()) return;
    const QSize frame = fitInto(areas.screen, dialog->size() + areas.decoration);
    if (frame != dialog->size() + areas.decoration) dialog->resize(frame - areas.decoration);
    dialog->move(placeOver(areas.screen, areas.mainFrame, frame, areas.menuBand));
}

}  // namespace quorby
