#include "state/progress.h"

#include <cstring>
#include <string>
#include <string_view>

#include "core/tables.h"
#include "state/view_state.h"

namespace quorby {
namespace {

void advanceMarquee(ProgressState& p) {
    p.marqueeOffset = p.marqueeOffset <= 0 ? kMarqueeStart : p.marqueeOffset - 1;
}

// "  Please Wait" and then "    Please Wait" six times and a blank: 104
// characters, enough for 88 from any marquee offset 0 .. 14.
constexpr const char* kMarqueeText =
    "  Please Wait    Please Wait    Please Wait    Please Wait    Please Wait    Please Wait    Please Wait ";

static_assert(std::string_view(kBannerEdgeLine).size() == kBannerLength);
static_assert(std::string_view(kMarqueeText).size() >= kMarqueeStart + kBannerLength);
static_assert(kBannerTitleColumn + kBannerTitleLength <= kBannerLength);
static_assert(std::string_view(kTitleFindDifferences).size() == kBannerTitleLength &&
              std::string_view(kTitlePasteFile).size() == kBannerTitleLength &&
              std::string_view(kTitlePasteData).size() == kBannerTitleLength &&
              std::string_view(kTitlePasteText).size() == kBannerTitleLength &&
              std::string_view(kTitleAppendFile).size() == kBannerTitleLength &&
              std::string_view(kTitleFillWithHexValue).size() == kBannerTitleLength &&
              std::string_view(kTitleHighlightSaveAs).size() == kBannerTitleLength &&
              std::string_view(kTitleAppendHighlight).size() == kBannerTitleLength &&
              std::string_view(kTitleAppendEverything).size() == kBannerTitleLength &&
              std::string_view(kTitleScanJournalFile).size() == kBannerTitleLength &&
              std::string_view(kTitleDropHighlightedChanges).size() == kBannerTitleLength &&
              std::string_view(kTitleRedoLast).size() == kBannerTitleLength &&
              std::string_view(kTitleRedoAll).size() == kBannerTitleLength &&
              std::string_view(kTitleUndoLast).size() == kBannerTitleLength &&
              std::string_view(kTitleUndoAll).size() == kBannerTitleLength &&
              std::string_view(kTitleRestoreOriginal).size() == kBannerTitleLength &&
              std::string_view(kTitleSaveFileAs).size() == kBannerTitleLength &&
              std::string_view(kTitleWriteHighlightedData).size() == kBannerTitleLength);

void composeTopLine(ProgressState& p, const char* title36) {
    std::memcpy(p.topLine, kBannerEdgeLine, kBannerLength);
    p.topLine[kBannerLength] = 0;
    std::size_t length = title36 ? strnlen(title36, kBannerTitleLength) : 0;
    char* title = p.topLine + kBannerTitleColumn;
    std::memset(title, ' ', kBannerTitleLength);
    if (length > 0) std::memcpy(title, title36, length);
}


}  // namespace

const char* bannerMiddleLine(std::int32_t marqueeOffset) {
    if (marqueeOffset < 0 || marqueeOffset > kMarqueeStart) marqueeOffset = kMarqueeStart;
    return kMarqueeText + marqueeOffset;
}

void startProgress(AppState& app, const char* title36) {
    composeTopLine(app.progress, title36);
    app.progress.pollCounter = kPollInterval;
}

bool pollProgress(AppState& app) { return pollProgressSteps(app, 1); }

bool pollProgressSteps(AppState& app, std::uint32_t steps) {
    if (!app.platform) return false;
    // The platform dispatches the event itself (repaint, scroll bar, menus,
    // typed characters) and tells whether it was a typed ESC.
    if (app.platform->pollPendingInput() && askInterrupt(app)) return true;

    if (countProgressSteps(app, steps)) {
        // The scroll bar follows the view while the banner shows progress.
        const FilePos shown = app.view.pagePos + app.view.viewOffset;
        app.platform->setScrollBar(app.nav.scrollMaximum, scrollThumbFor(shown, app.nav));
        if (!app.progress.pleaseWaitWindow) refreshBanner(app);
    }
    return false;
}

bool askInterrupt(AppState& app) {
    MessageBoxDescription box;
    box.text = kInterruptQuestion;
    box.caption = kInterruptCaption;
    box.buttons = MsgButtons::YesNo;
    box.icon = MsgIcon::None;
    box.taskModal = true;
    return app.platform->messageBox(box) == MsgAnswer::Yes;
}

bool countProgressSteps(AppState& app, std::uint32_t steps) {
    ProgressState& p = app.progress;
    p.pollCounter -= std::int32_t(steps);
    if (p.pollCounter >= 0) return false;
    while (p.pollCounter < 0) {
        p.pollCounter += kPollInterval + 1;
        advanceMarquee(p);
    }
    return true;
}

void openPleaseWait(AppState& app) {
    app.progress.pleaseWaitWindow = true;
    app.progress.pollCounter = kPollInterval;
    app.platform->showPleaseWait(true, "Lasting a while ...", "");
}

void refreshPleaseWait(AppState& app, FilePos recordPos) {
    ProgressState& p = app.progress;
    advanceMarquee(p);
    char position[20];
    formatPositionText(recordPos, position);
    app.platform->showPleaseWait(true, std::string(bannerMiddleLine(p.marqueeOffset), kBannerLength),
                                 std::string(position, sizeof position));
}

void closePleaseWait(AppState& app) {
    app.progress.pleaseWaitWindow = false;
    app.platform->showPleaseWait(false, "", "");
}

void refreshBanner(AppState& app) {
    if (!app.platform) return;
    ProgressState& p = app.progress;
    // An operation that did not start the frame still gets a complete line.
    if (p.topLine[0] == 0) composeTopLine(p, nullptr);
    app.platform->drawCells(0, kBannerTopRow, p.topLine, kBannerLength, kBannerColour);
    app.platform->drawCells(0, kBannerTopRow + 1, bannerMiddleLine(p.marqueeOffset), kBannerLength, kBannerColour);
    app.platform->drawCells(0, kBannerTopRow + 2, kBannerEdgeLine, kBannerLength, kBannerColour);
}

ProgressRange::ProgressRange(AppState& app, FilePos start, FilePos end) : app_(app), start_(start), end_(end) {
    reached(start);
}

ProgressRange::~ProgressRange() {
    if (app_.platform) app_.platform->hideProgress();
}

void ProgressRange::reached(FilePos position) {
    if (app_.platform) app_.platform->showProgress(position, start_, end_);
}

}  // namespace quorby
