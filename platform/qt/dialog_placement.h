#pragma once
// Where a dialog or a modeless window (the find dialog, the disassembly
// window, the AVI windows) goes on the screen: beside the main window as
// desktop editors put their tool windows, never over the main window's title
// and menu bar, and never over the bytes the user is looking at.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace quorby {

// The top-left corner for a dialog frame of `dialog` size on the free area
// `screen`: the first place right of, below, left of or above `mainFrame`
// (slid along that side into the screen) that covers nothing of it; when
// none has room, the place (those, a screen corner, or a screen edge just
// below `keepClear`) that covers nothing of `keepClear` (the main window's
// title and menu bar), then nothing of `keepVisible`, and the least of the
// main window.
QPoint placeBeside(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepVisible,
                   const QRect& keepClear = QRect());

// Like placeBeside for a window that may shrink down to `least`: when no
// place covers neither `keepClear` nor `keepVisible`, the tallest free band
// of the screen above, between or below them that holds `least`, right of
// the main window as far as the screen allows, the window as tall as the
// band. The frame's place and size.
QRect placeShrinking(const QRect& screen, const QRect& mainFrame, QSize dialog, QSize least, const QRect& keepVisible,
                     const QRect& keepClear);

// A frame of `dialog` size wanted at `at`, moved the least way into `screen`
// and then off `keepClear` (below it, else beside it) where the screen has room.
QPoint keepInside(const QRect& screen, QPoint at, QSize dialog, const QRect& keepClear);

// A modal dialog: centred over the main window, then kept inside.
QPoint placeOver(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepClear);

// A window size no larger than the free area of the screen.
QSize fitInto(const QRect& screen, QSize dialog);

// True when a dialog frame at `frame` hides part of `keepVisible`.
bool hides(const QRect& frame, const QRect& keepVisible);

}  // namespace quorby
