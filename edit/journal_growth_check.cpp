#include "edit/journal_growth_check.h"

#include <string>

#include "document/main_file.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

constexpr const char* kBigGrowthText = "This Operation will enlarge the Journal-File by a big amount !";
constexpr const char* kShortSpaceText = "NOT ENOUGH MEMORY FOR JOURNAL-FILE !";
constexpr const char* kWriteProtectedText = "For Accessing the File directly Write Protection must be removed !";
constexpr const char* kUnwrittenText = "There are unwritten Changes !";
constexpr const char* kAdvantagesText = "    ADVANTAGE:\t\tDISADVANTAGE:\n    faster Navigation\t\tno Undo";

bool direct(const AppState& app) { return (app.shell.accessFlags & kAccessDirect) != 0; }
bool writable(const ShellState& shell) { return (shell.accessFlags & kAccessWritable) != 0; }

// The journal holds changes not in the Main File that direct access might
// give up and the user has not yet accepted that. The header's flag only
// says that there may be some (an undo sets it whatever it brings back), so
// the journal's pages are looked at before the user is asked.
bool unwrittenKept(AppState& app) {
    const std::uint32_t flags = app.journal.header.jnlFlags;
    return (flags & kJnlUnwrittenChanges) != 0 && (flags & kJnlUnwrittenWarned) == 0 && holdsUnwrittenChanges(app);
}

// The journal's drive has no more free space than `estimate`. Without a
// Journal File, or when the drive cannot say, nothing is known to be short.
bool spaceShort(AppState& app, FilePos estimate) {
    if (!journalIsOpen(app)) return false;
    DiskSpace space;
    if (app.files->diskSpace(app.journal.name, &space) != 0) return false;
    return space.freeBytes <= estimate;
}

std::string dialogText(const AppState& app, bool shortOfSpace, bool unwritten) {
    if (direct(app) && (!writable(app.shell) || unwritten))
        return writable(app.shell) ? kUnwrittenText : kWriteProtectedText;
    return shortOfSpace ? kShortSpaceText : kBigGrowthText;
}

DialogControl checkBox(int id, const char* text, int row, bool checked) {
    DialogControl c = dialogControl(id, ControlKind::CheckBox, text, 0, row);
    c.checked = checked;
    return c;
}

bool ticked(DialogDescription& dialog, int id) {
    const DialogControl* c = dialog.find(id);
    return c != nullptr && c->checked;
}

}  // namespace

BulkChangeAccess::BulkChangeAccess(AppState& app) : app_(app), undoOptions_(app.settings.undoOptions) {}

BulkChangeAccess::~BulkChangeAccess() {
    app_.settings.undoOptions = undoOptions_;
    if (switchedToDirect_ && !permanent_) showJournalAccess(app_);
}

void BulkChangeAccess::takeDirectAccess(bool permanent) {
    if (!direct(app_)) {
        showDirectAccess(app_);
        switchedToDirect_ = true;
    }
    permanent_ = permanent;
    app_.settings.undoOptions = 0;
}

int BulkChangeAccess::check(FilePos n) {
    if (direct(app_) && app_.settings.undoOptions == 0) return 0;
    const FilePos estimate = journalGrowthEstimate(n);
    const FilePos needed = estimate + (direct(app_) ? rollbackCopyEstimate(n) : 0);
    bool shortOfSpace = spaceShort(app_, needed);
    const bool unwritten = unwrittenKept(app_);
    const bool asks = (app_.settings.messageSwitches & kMsgJournalGrowing) != 0 && estimate > kBigJournalGrowth;
    if (asks || shortOfSpace) {
        DialogDescription dialog;
        dialog.title = "Many Changes !";
        dialog.okId = kManyChangesOk;
        dialog.cancelId = kManyChangesCancel;
        dialog.controls.push_back(
            dialogControl(kManyChangesText, ControlKind::Label, dialogText(app_, shortOfSpace, unwritten), 0, 0));
        dialog.controls.push_back(dialogControl(kManyChangesAdvantages, ControlKind::Label, kAdvantagesText, 0, 1));
        dialog.controls.push_back(checkBox(kManyChangesDontAsk, "Don't ask again !", 2, false));
        dialog.controls.push_back(checkBox(kManyChangesPermanent, "Permanent Switch", 3, false));
        dialog.controls.push_back(checkBox(kManyChangesWritable, "Remove Write Protection", 4, writable(app_.shell)));
        dialog.controls.push_back(checkBox(kManyChangesGiveUp, "Delete Changes if nessessary ?", 5, !unwritten));
        dialog.controls.push_back(
            checkBox(kManyChangesDirect, "Shall Access Mode be switched to Direct-Mode temporarily ?", 6, false));
        dialog.controls.push_back(dialogControl(kManyChangesOk, ControlKind::Button, "OK", 0, 7));
        dialog.controls.push_back(dialogControl(kManyChangesCancel, ControlKind::Button, "Cancel", 1, 7));
        if (app_.platform->runDialog(dialog) == kManyChangesOk) {
            if (ticked(dialog, kManyChangesDontAsk)) app_.settings.messageSwitches &= ~std::uint32_t(kMsgJournalGrowing);
            if (ticked(dialog, kManyChangesWritable) && !writable(app_.shell)) (void)reopenReadWrite(app_);  // reports a refusal
            if (ticked(dialog, kManyChangesDirect)) {
                takeDirectAccess(ticked(dialog, kManyChangesPermanent));
                if (ticked(dialog, kManyChangesGiveUp)) app_.journal.header.jnlFlags |= kJnlUnwrittenWarned;
            }
        }
    }
    if (!direct(app_)) return shortOfSpace ? 1 : 0;
    if (app_.settings.undoOptions != 0 && shortOfSpace) return 1;
    if (!unwritten || (app_.journal.header.jnlFlags & kJnlUnwrittenWarned) != 0) return 0;
    if ((app_.settings.messageSwitches & kMsgUnwrittenChanges) != 0) {
        const int answer = app_.platform->questionDialog(
            "Unwritten Changes !", "There are unwritten Changes !\nThese could be lost !\nGo on anyway ?");
        if ((answer & kAnswerYes) == 0) {
            if ((answer & kAnswerDontAsk) != 0) app_.settings.messageSwitches &= ~std::uint32_t(kMsgUnwrittenChanges);
            return 1;
        }
    }
    app_.journal.header.jnlFlags |= kJnlUnwrittenWarned;
    return 0;
}

}  // namespace quorby
