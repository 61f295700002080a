// Ending the other views of the shown pair without loading a page.
#include "document/shown_views.h"

namespace quorby {

void leaveVersionReview(AppState& app) {
    PageRecords& r = app.records;
    if (r.reviewState == 0) return;
    const ReviewSaved& saved = r.reviewSaved;
    r.jData[saved.half].jAdr = saved.jAdr;
    r.jReadFlag = saved.jReadFlag;
    app.view.storedHexBackground = saved.hexBackground;
    app.view.storedCharBackground = saved.charBackground;
    app.platform->setCaption(app.shell.caption);
    r.reviewState = 0;
}

void leaveUnchangedFile(AppState& app) {
    if (!app.records.unchangedFileShown) return;
    app.records.unchangedFileShown = false;
    app.platform->setCaption(app.shell.caption);
}

}  // namespace quorby
