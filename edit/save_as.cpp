#include "edit/save_as.h"

#include "edit/copy_target.h"
#include "edit/copy_with_changes.h"
#include "navigate/selection.h"
#include "state/progress.h"

namespace quorby {

int savePageAs(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    CopyTarget target;
    if (createTarget(app, kSavePageAsCaption, "", target) != 0) return 1;
    const ShownBytes shown = shownPageBytes(app);
    const int result = writeToTarget(app, target, shown.bytes, shown.count);
    closeTarget(app, target);
    return result;
}

int saveSelectionAs(AppState& app) {
    if (contentCopyRunning(app) || app.main.mainHandle == kNoFile || !selectionIsUsable(app)) return 1;
    const SelectedRange range = selectedRange(app);
    if (range.from == range.to) return 1;
    CopyTarget target;
    if (createTarget(app, kSaveSelectionAsCaption, "", target) != 0) return 1;
    return copyContentToTarget(app, range.from, range.to, target, kTitleHighlightSaveAs);
}

int saveFileAs(AppState& app) {
    if (contentCopyRunning(app) || app.main.mainHandle == kNoFile) return 1;
    CopyTarget target;
    if (createTarget(app, kSaveFileAsCaption, app.main.mainName, target) != 0) return 1;
    return copyContentToTarget(app, 0, app.main.fileSize, target, kTitleSaveFileAs);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void savePageAsCommand(AppState& app) { (void)savePageAs(app); }
void saveSelectionAsCommand(AppState& app) { (void)saveSelectionAs(app); }
void saveFileAsCommand(AppState& app) { (void)saveFileAs(app); }

}  // namespace quorby
