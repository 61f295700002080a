#pragma once
// Where a modeless window (the find dialog, the disassembly window, the AVI
// windows) goes on the screen: beside the main window as desktop editors put
// their tool windows, and never over the bytes the user is looking at.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace quorby {

// The top-left corner for a dialog frame of `dialog` size on the free area
// `screen`: the first place right of, below, left of or above `mainFrame`
// (slid along that side into the screen) that covers nothing of it; when
// none has room, the place (those, or a screen corner) that covers nothing
// of `keepVisible` and the least of the main window.
QPoint placeBeside(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepVisible);

// True when a dialog frame at `frame` hides part of `keepVisible`.
bool hides(const QRect& frame, const QRect& keepVisible);

}  // namespace quorby
