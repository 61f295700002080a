#include "platform/qt/dialog_placement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

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

QPoint placeBeside(const QRect& screen, const QRect& mainFrame, QSize dialog, const QRect& keepVisible) {
    const std::array<QPoint, 8> candidates = {
        QPoint(mainFrame.right() + 1, mainFrame.top()),                // right
        QPoint(mainFrame.left(), mainFrame.bottom() + 1),              // below
        QPoint(mainFrame.left() - dialog.width(), mainFrame.top()),    // left
        QPoint(mainFrame.left(), mainFrame.top() - dialog.height()),   // above
        QPoint(screen.right() + 1 - dialog.width(), screen.bottom() + 1 - dialog.height()),
        QPoint(screen.right() + 1 - dialog.width(), screen.top()),
        QPoint(screen.left(), screen.bottom() + 1 - dialog.height()),
        QPoint(screen.left(), screen.top()),
    };
    QPoint best = intoScreen(screen, candidates[0], dialog);
    std::int64_t bestCost = std::numeric_limits<std::int64_t>::max();
    const std::int64_t hiddenPenalty = std::int64_t(1) << 48;
    for (QPoint candidate : candidates) {
        const QPoint at = intoScreen(screen, candidate, dialog);
        const QRect frame(at, dialog);
        const std::int64_t cost = (hides(frame, keepVisible) ? hiddenPenalty : 0) + area(frame & mainFrame);
        if (cost < bestCost) {
            bestCost = cost;
            best = at;
        }
        if (cost == 0) break;
    }
    return best;
}

}  // namespace quorby
