#include "edit/write_commands.h"

#include "state/error_report.h"
#include "edit/drop_changes.h"
#include "edit/restore_original.h"
#include "edit/write_all.h"
#include "edit/write_selection.h"

namespace quorby {

void savePageCommand(AppState& app) { savePage(app); }
void saveSelectedDataCommand(AppState& app) { writeSelection(app); }
void saveFileCommand(AppState& app) { saveFile(app); }
void discardSelectedCommand(AppState& app) { dropSelection(app); }
void discardPageCommand(AppState& app) { dropPage(app); }
void restoreOriginalCommand(AppState& app) { restoreOriginalFile(app); }

void offerWriteOnClose(AppState& app) {
    const JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return;
    if ((app.settings.messageSwitches & kMsgSaveFileOnExit) == 0) return;
    if ((jf.header.jnlFlags & kJnlUnwrittenChanges) == 0) return;
    const int answer = askQuestion(app, "Write File?", writeFileQuestion(app));
    if (answer & kAnswerYes) {
        saveFile(app, true);
    } else if (answer & kAnswerDontAsk) {
        app.settings.messageSwitches &= ~std::uint32_t(kMsgSaveFileOnExit);
    }
}

}  // namespace quorby
