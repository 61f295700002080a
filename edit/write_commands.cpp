#include "edit/write_commands.h"

#include "edit/drop_changes.h"
#include "edit/restore_original.h"
#include "edit/write_selection.h"
#include "state/error_report.h"
#include "edit/write_all.h"

namespace quorby {

void savePageCommand(AppState& app) { savePage(app); }
void saveSelectedDataCommand(AppState& app) { writeSelection(app); }
void saveFileCommand(AppState& app) { saveFile(app); }
void discardSelectedCommand(AppState& app) { dropSelection(app); }
void discardPageCommand(AppState& app) { dropPage(app); }
void restoreOriginalCommand(AppState& app) { restoreOriginalFile(app); }

}  // namespace quorby
