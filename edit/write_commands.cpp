#include "edit/write_commands.h"

#include "edit/drop_changes.h"
#include "edit/restore_original.h"
#include "edit/write_selection.h"
#include "state/error_report.h"
#include "edit/write_all.h"

namespace quorby {

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void savePageCommand(AppState& app) { (void)savePage(app); }
void saveSelectedDataCommand(AppState& app) { (void)writeSelection(app); }
void saveFileCommand(AppState& app) { (void)saveFile(app); }
void discardSelectedCommand(AppState& app) { (void)dropSelection(app); }
void discardPageCommand(AppState& app) { (void)dropPage(app); }
void restoreOriginalCommand(AppState& app) { (void)restoreOriginalFile(app); }

}  // namespace quorby
