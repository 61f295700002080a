#include "edit/version_takeover.h"

#include <cstring>

#include "edit/enter_char.h"
#include "state/error_report.h"
#include "document/main_file.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "navigate/version_review.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

// The questions before the Main File is changed; false ends the take-over.
bool mainFileMayChange(AppState& app) {
    if (app.settings.messageSwitches & kMsgF2F4ChangeMain) {
        int answer = askQuestion(app, "! ! !", "Main File is being changed !\n\nIs that O.K. ?");
        if ((answer & kAnswerYes) == 0) return false;
        if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgF2F4ChangeMain);
    }
    const std::uint32_t flags = app.shell.accessFlags;
    if ((flags & kAccessWritable) != 0 && (flags & kAccessNotLocked) != 0) return true;
    MessageBoxDescription box;
    box.text = "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?";
    box.caption = "Re-open in Read-Write-Mode ?";
    box.buttons = MsgButtons::OkCancel;
    box.icon = MsgIcon::Question;
    if (app.platform->messageBox(box) != MsgAnswer::Ok) return false;
    if ((flags & kAccessWritable) == 0 && reopenReadWrite(app) != 0) return false;
    if ((app.shell.accessFlags & kAccessNotLocked) == 0) unlockMainFile(app);
    return true;
}

}  // namespace

void takeOverReviewedVersion(AppState& app) {
    if (app.records.reviewState == 0) return;
    const int half = app.records.reviewSaved.half;
    std::uint8_t shown[kPageSize];
    std::uint8_t map[kChangeMapSize];
    std::memcpy(shown, app.view.pageBuffer + half * kPageSize, kPageSize);
    std::memcpy(map, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);

    const bool direct = (app.shell.accessFlags & kAccessDirect) != 0;
    if (direct && !mainFileMayChange(app)) {
        endVersionReview(app);
        return;
    }
    // The newest version back in the record copy, then the shown bytes over it.
    leaveVersionReview(app);
    const FilePos pagePos = app.view.pagePos;
    // Without the newest version in the record copy the shown bytes would be stored over a stale one.
    if (loadPagePair(app, pagePos) != 0) return;
    std::memcpy(app.view.pageBuffer + half * kPageSize, shown, kPageSize);
    std::memcpy(app.view.changedBits + half * kChangeMapSize, map, kChangeMapSize);
    markHalfChanged(app, half);
    // A store that fails or is declined has told the user; the reload shows what is stored.
    (void)storePage(app);
    (void)loadPagePair(app, pagePos);
    updateScrollBar(app);
    drawPage(app);
}

}  // namespace quorby
