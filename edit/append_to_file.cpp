#include "edit/append_to_file.h"

#include "edit/copy_target.h"
#include "edit/copy_with_changes.h"
#include "navigate/selection.h"
#include "state/progress.h"

namespace quorby {

int appendPage(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    CopyTarget target;
    if (openAppendTarget(app, kAppendPageCaption, true, target) != 0) return 1;
    const ShownBytes shown = shownPageBytes(app);
    const int result = writeToTarget(app, target, shown.bytes, shown.count);
    closeTarget(app, target);
    return result;
}

int appendSelection(AppState& app) {
    if (contentCopyRunning(app) || app.main.mainHandle == kNoFile || !selectionIsUsable(app)) return 1;
    const SelectedRange range = selectedRange(app);
    if (range.from == range.to) return 1;
    CopyTarget target;
    if (openAppendTarget(app, kAppendSelectionCaption, false, target) != 0) return 1;
    return copyContentToTarget(app, range.from, range.to, target, kTitleAppendHighlight);
}

int appendFile(AppState& app) {
    if (contentCopyRunning(app) || app.main.mainHandle == kNoFile) return 1;
    CopyTarget target;
    if (openAppendTarget(app, kAppendFileCaption, false, target) != 0) return 1;
    return copyContentToTarget(app, 0, app.main.fileSize, target, kTitleAppendEverything);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void appendPageCommand(AppState& app) { (void)appendPage(app); }
void appendSelectionCommand(AppState& app) { (void)appendSelection(app); }
void appendFileCommand(AppState& app) { (void)appendFile(app); }

}  // namespace quorby
