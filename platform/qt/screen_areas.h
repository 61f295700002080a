#pragma once
// The parts of the screen that decide where the program's dialogs go: the
// screen's free area, the main window's frame and its title and menu bar.
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;
class QDialog;

namespace quorby {

struct ScreenAreas {
    QRect screen;      // free area (without panels)
    QRect mainFrame;   // the main window with its frame
    QRect menuBand;    // the main window's title bar and menu bar: no dialog covers it
    QSize decoration;  // frame size minus client size of the main window
};

ScreenAreas screenAreas(const QWidget* mainWindow);

// A dialog's size with its window frame: as shown, or, before it is shown, its
// present size with the main window's decoration.
QSize expectedFrameSize(const QWidget* dialog, const ScreenAreas& areas);

// The width a dialog needs so that the window manager shows its whole caption.
[[nodiscard]] int captionWidth(const QWidget* dialog, const QString& caption);

// A dialog shown right after the main window waits (a moment at most) for
// the window manager to place and frame the main window: it is placed by it.
void awaitWindowManager(const QWidget* mainWindow);

// Sizes a window to its content and its caption (not cut to a part of the screen).
void sizeToContent(QWidget* dialog);

// Sizes a modal dialog to its content (and its caption), no larger than the
// screen, and moves it over the main window, inside the screen and clear of
// the main window's menu bar. Called before the dialog is shown.
void placeModal(QDialog* dialog, const QWidget* mainWindow);
// The same for a dialog that has its size already (the file dialog).
void placeSizedModal(QDialog* dialog, const QWidget* mainWindow);

}  // namespace quorby
