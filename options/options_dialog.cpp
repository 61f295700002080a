#include "options/options_dialog.h"

#include <cstring>

#include "decoder/decoder_state.h"
#include "navigate/page_moves.h"
#include "platform/posix/absolute_path.h"
#include "state/error_report.h"
#include "state/settings_file.h"
#include "view/status_cells.h"

namespace quorby::options {

namespace {

constexpr std::uint32_t kDirectAccess = 1u << 2;  // of the access-mode flags

class OptionsReaction final : public DialogReaction {
public:
    OptionsReaction(AppState& app, OptionsCopy& copy) : app_(app), copy_(copy) {}
    void react(DialogDescription& dialog, int controlId) override { reactToControl(app_, copy_, dialog, controlId); }

private:
    AppState& app_;
    OptionsCopy& copy_;
};

struct PathBox {
    int box;
    int check;
    int cancel;
    std::uint32_t bit;
    char (SettingsRecord::*field)[kPathFieldSize];
};
constexpr PathBox kFixedBox = {kFixedPathBox, kFixedPath, kFixedPathCancel, kJournalFixedPath,
                               &SettingsRecord::fixedJournalPath};
constexpr PathBox kAlternativeBox = {kAlternativePathBox, kAlternativePath, kAlternativePathCancel,
                                     kJournalAlternativePath, &SettingsRecord::alternativeJournalPath};

const PathBox* pathBoxOf(int id) {
    for (const PathBox* p : {&kFixedBox, &kAlternativeBox})
        if (id == p->box || id == p->check || id == p->cancel) return p;
    return nullptr;
}

// A directory typed into a path box (or the box's text when its check box is
// checked): created, shown with its full path and taken into the copy; the
// directory the box showed before is removed when empty. A directory that
// cannot be created or does not fit the field leaves the copy as it was.
void takePath(AppState& app, OptionsCopy& copy, const PathBox& p, const std::string& typed) {
    char (&field)[kPathFieldSize] = copy.settings.*p.field;
    const std::string before = pathFieldText(field);
    std::string dir = typed.empty() ? std::string() : absolutePath(typed);
    if (!dir.empty() && dir.back() != '/') dir += '/';
    char fitted[kPathFieldSize];
    if (storePathField(app, fitted, dir) != 0) return;  // too long: said so
    if (dir.empty() || makeDirectoryPath(app, dir) != 0) {
        showMessageBox(app, "The Directory for the Journal-Files could not be created !\n\nPlease choose another Directory !",
                       "Error while Creating the Directory for the Journal-Files !", MsgButtons::Ok);
        return;
    }
    std::memcpy(field, fitted, kPathFieldSize);
    if (!before.empty() && before != dir) app.files->removeDirectoryIfEmpty(before);
    copy.settings.journalLocation |= kJournalPathsEdited;
}

void dropPath(AppState& app, OptionsCopy& copy, const PathBox& p) {
    copy.settings.journalLocation &= ~p.bit;
    const std::string dir = pathFieldText(copy.settings.*p.field);
    if (!dir.empty()) app.files->removeDirectoryIfEmpty(dir);
}

void reactToPath(AppState& app, OptionsCopy& copy, const DialogControl& c, const PathBox& p) {
    SettingsRecord& s = copy.settings;
    if (c.id == p.box) {
        if (c.value != pathFieldText(s.*p.field)) takePath(app, copy, p, c.value);
    } else if (c.id == p.cancel) {
        std::memcpy(s.*p.field, app.settings.*p.field, kPathFieldSize);
    } else if (c.checked) {
        s.journalLocation |= p.bit | kJournalFixedPath;
        takePath(app, copy, p, pathFieldText(s.*p.field));
    } else if (p.check == kFixedPath && (s.journalLocation & kJournalNeverSameDrive)) {
        // Unchecking "Fixed &Path" is refused while "never same Drive as Main File" is checked.
    } else {
        dropPath(app, copy, p);
        if (p.check == kFixedPath && (s.journalLocation & kJournalAlternativePath)) dropPath(app, copy, kAlternativeBox);
    }
}

bool isPreset(int id) {
    return id == kConfigStandard || id == kConfigMaxSafety || id == kConfigUserDefined || id == kConfigBigChanges;
}

void showAccessCell(AppState& app, bool direct) {
    if (direct) showDirectAccess(app);
    else showJournalAccess(app);
}

}  // namespace

void reactToControl(AppState& app, OptionsCopy& copy, DialogDescription& dialog, int controlId) {
    const DialogControl* c = dialog.find(controlId);
    if (c == nullptr) return;
    SettingsRecord& s = copy.settings;
    if (const PathBox* p = pathBoxOf(controlId)) {
        reactToPath(app, copy, *c, *p);
    } else if (controlId == kNeverSameDrive) {
        takeControl(copy, *c);
        if (c->checked && !(s.journalLocation & kJournalFixedPath)) {
            s.journalLocation |= kJournalFixedPath;
            takePath(app, copy, kFixedBox, pathFieldText(s.fixedJournalPath));
        }
    } else if (controlId == kShowAll) {
        s.messageSwitches = 0xFFFFFFFF;
    } else if (controlId == kShowNone) {
        s.messageSwitches = kShowNoneSwitches;  // the four warnings that stay on
    } else if (isPreset(controlId)) {
        if (c->checked) applyPreset(copy, controlId);
    } else {
        takeControl(copy, *c);
    }
    showCopy(dialog, copy);
}

void takeChangedControls(AppState& app, OptionsCopy& copy, DialogDescription& dialog) {
    const DialogDescription left = dialog;  // as the user left it
    for (std::size_t i = 0; i < left.controls.size(); ++i) {
        const DialogControl& now = left.controls[i];
        DialogDescription shown = dialog;
        showCopy(shown, copy);
        const DialogControl& was = shown.controls[i];
        bool changed = false;
        if (now.kind == ControlKind::Edit) changed = now.enabled && now.value != was.value;
        // Of a radio group, the button chosen reports.
        else if (now.kind == ControlKind::CheckBox || now.kind == ControlKind::Radio)
            changed = now.checked != was.checked && (now.kind == ControlKind::CheckBox || now.checked);
        if (!changed) continue;
        dialog.controls[i] = now;
        reactToControl(app, copy, dialog, now.id);
    }
    showCopy(dialog, copy);
}

void applyOptions(AppState& app, const OptionsCopy& copy) {
    SettingsRecord& s = app.settings;
    const SettingsRecord& c = copy.settings;
    if (c.savedAccessFlags != app.shell.accessFlags) {
        app.shell.accessFlags = c.savedAccessFlags;
        showAccessCell(app, (c.savedAccessFlags & kDirectAccess) != 0);
    }
    std::uint32_t accessMode = c.accessMode;
    if (accessMode != s.accessMode) {
        // The "always" choice holds for this session too.
        accessMode = (accessMode & ~1u) | ((accessMode >> 1) & 1u);
        showAccessCell(app, (accessMode & 2u) != 0);
    }
    if (c.resolution != s.resolution) setScrollResolution(app, c.resolution);
    if (c.scrolling != s.scrolling) {
        if (c.scrolling & 1u) app.shell.modeFlags |= kModeArrowsMoveView;
        else app.shell.modeFlags &= ~std::uint32_t(kModeArrowsMoveView);
    }
    const bool modeChanged = c.disassemblerOptions != s.disassemblerOptions;
    s.messageSwitches = c.messageSwitches;
    s.writeAccess = c.writeAccess;
    s.undoOptions = c.undoOptions;
    s.accessMode = accessMode;
    s.scrolling = c.scrolling;
    s.resolution = c.resolution;
    s.journalLocation = c.journalLocation;
    s.doubleClickAction = c.doubleClickAction;
    s.disassemblerOptions = c.disassemblerOptions;
    s.savedAccessFlags = c.savedAccessFlags;
    s.rightClickMenu = c.rightClickMenu;
    std::memcpy(s.fixedJournalPath, c.fixedJournalPath, kPathFieldSize);
    std::memcpy(s.alternativeJournalPath, c.alternativeJournalPath, kPathFieldSize);
    if (modeChanged && app.platform && app.platform->modelessOpen(ModelessWindow::Disassembly))
        app.platform->setModelessTitle(ModelessWindow::Disassembly, disasm::decoderModeTitle(disasm::storedModeOf(s.disassemblerOptions)));
    if (copy.configType == kConfigUserDefined) {
        const std::uint32_t config[6] = {s.messageSwitches, s.accessMode, s.writeAccess,
                                         s.journalLocation, s.undoOptions, s.savedAccessFlags};
        std::memcpy(s.userDefinedConfig, config, sizeof config);
    }
}

void optionsCommand(AppState& app) {
    if (!app.platform) return;
    OptionsCopy copy = makeWorkingCopy(app.settings, app.shell.accessFlags);
    DialogDescription dialog = optionsDescription(copy);
    OptionsReaction reaction(app, copy);
    if (app.platform->runReactiveDialog(dialog, reaction) != kOptionsOk) return;
    takeChangedControls(app, copy, dialog);
    applyOptions(app, copy);
}

}  // namespace quorby::options
