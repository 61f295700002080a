#include "view/scroll_bar.h"

#include "navigate/page_moves.h"
#include "navigate/wheel.h"

namespace quorby {

namespace {
constexpr FilePos kThumbLimit = 32768;
}

std::uint32_t scrollShiftFor(FilePos lastBytePos) {
    FilePos scaled = (lastBytePos & ~FilePos{1023}) / kThumbLimit;
    std::uint32_t bits = 0;
    while (scaled != 0) {
        scaled >>= 1;
        ++bits;
    }
    return bits;
}

std::int32_t scrollMaximumFor(FilePos lastBytePos, std::uint32_t shift) {
    FilePos range = (lastBytePos & ~FilePos{511}) >> shift;
    if (shift != 0) range |= 1023;
    return std::int32_t(range);
}

void prepareScrollMapping(AppState& app) {
    FilePos last = app.main.fileSize == 0 ? 0 : app.main.fileSize - 1;
    app.nav.scrollShift = scrollShiftFor(last);
    app.nav.scrollMaximum = scrollMaximumFor(last, app.nav.scrollShift);
    computeWheelSteps(app.main.fileSize, app.nav);
    app.nav.wheelRemainder = 0;
}

void updateScrollBar(AppState& app) { showScrollPosition(app, app.view.pagePos + app.view.viewOffset); }

void showScrollPosition(AppState& app, FilePos pos) {
    std::int32_t thumb = std::int32_t((pos & ~FilePos{15}) >> app.nav.scrollShift);
    if (thumb > app.nav.scrollMaximum) thumb = app.nav.scrollMaximum;
    app.platform->setScrollBar(app.nav.scrollMaximum, thumb);
}

FilePos thumbToPosition(const AppState& app, std::int32_t thumb) {
    if (thumb < 0) thumb = 0;
    FilePos pos = FilePos(std::uint32_t(thumb)) << app.nav.scrollShift;
    FilePos last = lastViewStart(app);
    // With a shift the thumb moves in steps of 2^s bytes; its bottom end
    // stands for the last page, so a drag to the bottom shows the file's end.
    if (pos > last || thumb >= app.nav.scrollMaximum) pos = last;
    return pos & ~FilePos{15};
}

namespace {

// Thumb tracking: pagePos becomes the position rounded down to 1024 and
// viewOffset the rest, at most the start of the last half pageBuffer holds.
void goToThumb(AppState& app, std::int32_t thumb) {
    if (!fileIsOpen(app)) return;
    FilePos pos = thumbToPosition(app, thumb);
    FilePos pair = pos & ~FilePos{1023};
    std::uint32_t offset = std::uint32_t(pos - pair);
    offset -= offset % app.nav.offsetMultiple;
    if (pair + offset > lastViewStart(app)) offset = std::uint32_t(lastViewStart(app) - pair);
    showFromPosition(app, pair + offset);
    redrawView(app);
}

}  // namespace

void scrollBarAction(AppState& app, ScrollAction action, std::int32_t thumbPosition) {
    switch (action) {
    case ScrollAction::LineUp: viewUpCommand(app); break;
    case ScrollAction::LineDown: viewDownCommand(app); break;
    case ScrollAction::PageUp: pageUpCommand(app); break;
    case ScrollAction::PageDown: pageDownCommand(app); break;
    case ScrollAction::ThumbTrack:
    case ScrollAction::ThumbPosition: goToThumb(app, thumbPosition); break;
    case ScrollAction::Top: fileBeginCommand(app); break;
    case ScrollAction::Bottom: fileEndCommand(app); break;
    }
}

}  // namespace quorby
