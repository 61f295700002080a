#include "platform/qt/dialog_placement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace quorby {

namespace {

// Moves a rectangle of that size at `at` into the screen (its top-left
// corner wins when the rectangle is larger than the screen).
QPoint intoScreen(const QRect& screen, QPoint at, QSize size) {
    const int x = std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width()));
    const int y = std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height()));
    return QPoint(x, y);
}

std::int64_t area(const QRect& r) { return r.isEmpty() ? 0 : std::int64_t(r.width()) * r.height(); }

}  // namespace

bool hides(const QRect& frame, const QRect& keepVisible) {
    return !keepVisible.isEmpty() && frame.intersects(keepVisible);
}

QSize fitInto(const QRect& screen, QSize dialog) {
    return QSize(std::min(dialog.width(), screen.width()), std::min(dialog.height(), screen.height()));
}

QRect placeShrinking(const QRect& screen, const QRect& mainFrame, QSize dialog, QSize least, const QRect& keepVisible,
                     const QRect& keepClear) {
    const QPoint at = placeBeside(screen, mainFrame, dialog, keepVisible, keepClear);
    if (!hides(QRect(at, dialog), keepClear) && !hides(QRect(at, dialog), keepVisible)) return QRect(at, dialog);
    // The rows of the screen that neither the menu bar nor the marks take.
    std::vector<std::pair<int, int>> blocked;
    for (const QRect& r : {keepClear, keepVisible})
        if (!r.isEmpty()) blocked.push_back({r.top(), r.bottom()});
    std::sort(blocked.begin(), blocked.end());
    int bestTop = 0, bestHeight = 0;
    int top = screen.top();
    blocked.push_back({screen.bottom() + 1, screen.bottom() + 1});
    for (const auto& [from, to] : blocked) {
        if (from - top > bestHeight) {
            bestTop = top;
            bestHeight = from - top;
        }
        top = std::max(top, to + 1);
    }
    if (bestHeight < least.height()) return QRect(at, dialog);
    const QSize fitted(dialog.width(), std::min(dialog.height(), bestHeight));
    return QRect(intoScreen(screen, QPoint(mainFrame.right() + 1, bestTop), fitted), fitted);
}

QPoint keepInside(const QRect& screen, QPoint at, QSize dialog, const QRect& keepClear) {
    QPoint place = intoScreen(screen, at, dialog);
    if (!hides(QRect(place, dialog), keepClear)) return place;
    const std::array<QPoint, 3> away = {
        QPoint(place.x(), keepClear.bottom() + 1),           // below the menu bar
        QPoint(keepClear.right() + 1, place.y()),            // right of it
        QPoint(keepClear.left() - dialog.width(), place.y()) // left of it
    };
    for (QPoint candidate : away) {
        const QPoint moved = intoScreen(screen, candidate, dialog);
        if (!hides(QRect(moved, dialog), keepClear)) return moved;
    }
    return place;  // the screen is too small: the frame stays whole on it
}

QPoint placeOver(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepClear) {
    const QPoint centred(mainFrame.center().x() - dialog.width() / 2, mainFrame.center().y() - dialog.height() / 2);
    return keepInside(screen, centred, dialog, keepClear);
}

QPoint placeBeside(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepVisible,
                   const QRect& keepClear) {
    const int belowBar = keepClear.isEmpty() ? screen.top() : keepClear.bottom() + 1;
    const std::array<QPoint, 10> candidates = {
        QPoint(mainFrame.right() + 1, mainFrame.top()),                // right
        QPoint(mainFrame.left(), mainFrame.bottom() + 1),              // below
        QPoint(mainFrame.left() - dialog.width(), mainFrame.top()),    // left
        QPoint(mainFrame.left(), mainFrame.top() - dialog.height()),   // above
        QPoint(screen.right() + 1 - dialog.width(), screen.bottom() + 1 - dialog.height()),
        QPoint(screen.right() + 1 - dialog.width(), belowBar),
        QPoint(screen.left(), screen.bottom() + 1 - dialog.height()),
        QPoint(screen.left(), belowBar),
        QPoint(screen.right() + 1 - dialog.width(), screen.top()),
        QPoint(screen.left(), screen.top()),
    };
    QPoint best = intoScreen(screen, candidates[0], dialog);
    std::int64_t bestCost = std::numeric_limits<std::int64_t>::max();
    const std::int64_t hiddenPenalty = std::int64_t(1) << 48;
    const std::int64_t menuPenalty = std::int64_t(1) << 50;
    for (QPoint candidate : candidates) {
        const QPoint at = intoScreen(screen, candidate, dialog);
        const QRect frame(at, dialog);
        const std::int64_t cost = (hides(frame, keepClear) ? menuPenalty : 0) +
                                  (hides(frame, keepVisible) ? hiddenPenalty : 0) + area(frame & mainFrame);
        if (cost < bestCost) {
            bestCost = cost;
            best = at;
        }
        if (cost == 0) break;
    }
    return best;
}

}  // namespace quorby
