#include "navigate/scroll_bar_actions.h"

#include "navigate/page_moves.h"

namespace quorby {

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
    (void)showFromPosition(app, pair + offset);  // a page that cannot be read is reported and the view stays
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
