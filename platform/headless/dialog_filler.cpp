#include "platform/headless/dialog_filler.h"

#include <cctype>
#include <cstdlib>

#include "platform/headless/transcript_format.h"
#include "resources/dialog_controls.h"

namespace quorby {

namespace {

std::string normalisedLabel(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') continue;
        out += char(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':')) out.pop_back();
    std::size_t start = 0;
    while (start < out.size() && out[start] == ' ') ++start;
    return out.substr(start);
}

bool isControlNumber(const std::string& target) {
    if (target.empty() || target.size() > 9) return false;
    for (char c : target)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

const char* kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return "label";
        case ControlKind::Edit: return "edit";
        case ControlKind::CheckBox: return "check";
        case ControlKind::Radio: return "radio";
        case ControlKind::Button: return "button";
        case ControlKind::Group: return "group";
        case ControlKind::Listing: return "listing";
    }
    return "?";
}

// Index of the control a target names, or -1. A label stands for the next
// edit field after it (the field it describes).
int findControl(const DialogDescription& dialog, const std::string& target, bool labelMeansEdit, std::string* error) {
    const auto& controls = dialog.controls;
    if (isControlNumber(target)) {
        int id = std::atoi(target.c_str());
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].id == id) return int(i);
        *error = "dialog \"" + dialog.title + "\" has no control " + target;
        return -1;
    }
    std::string wanted = normalisedLabel(target);
    int found = -1;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (normalisedLabel(controls[i].text) != wanted) continue;
        if (found >= 0) {
            *error = "dialog \"" + dialog.title + "\" has several controls \"" + target + "\"; use the number";
            return -1;
        }
        found = int(i);
    }
    if (found < 0) {
        *error = "dialog \"" + dialog.title + "\" has no control \"" + target + "\"";
        return -1;
    }
    if (labelMeansEdit && controls[std::size_t(found)].kind == ControlKind::Label) {
        for (std::size_t i = std::size_t(found) + 1; i < controls.size(); ++i)
            if (controls[i].kind == ControlKind::Edit) return int(i);
        *error = "no edit field follows the label \"" + target + "\"";
        return -1;
    }
    return found;
}

int requireUsable(const DialogControl& c, ControlKind kind, const std::string& target, std::string* error) {
    if (c.kind != kind) {
        *error = "control \"" + target + "\" is a " + kindName(c.kind) + ", not a " + kindName(kind);
        return 1;
    }
    if (!c.visible) {
        *error = "control \"" + target + "\" is hidden";
        return 1;
    }
    if (!c.enabled) {
        *error = "control \"" + target + "\" is disabled";
        return 1;
    }
    return 0;
}

void choose(DialogDescription& dialog, std::size_t index) {
    for (auto& c : dialog.controls)
        if (c.kind == ControlKind::Radio && c.group == dialog.controls[index].group) c.checked = false;
    dialog.controls[index].checked = true;
}

// Text that names the device as a whole word: "/dev/loop1" does not match "/dev/loop10".
bool namesDevice(const std::string& text, const std::string& device) {
    for (std::size_t at = text.find(device); at != std::string::npos; at = text.find(device, at + 1)) {
        std::size_t end = at + device.size();
        bool startOk = at == 0 || text[at - 1] == ' ';
        bool endOk = end == text.size() || text[end] == ' ';
        if (startOk && endOk) return true;
    }
    return false;
}

// The drive dialog lists each drive as a radio button ("&A:", "&1") with an
// information label beside it that starts with the device path.
int applyDriveChoice(DialogDescription& dialog, const DialogAnswer& answer, std::string* error) {
    int radioId = -1;
    for (const DialogControl& c : dialog.controls) {
        if (c.kind != ControlKind::Label || !namesDevice(c.text, answer.driveDevice)) continue;
        if (c.id >= kDriveLogicalInfoFirst && c.id < kDriveLogicalInfoFirst + int(kMaxLogicalDriveSlots))
            radioId = kDriveLogicalFirst + (c.id - kDriveLogicalInfoFirst);
        else if (c.id >= kDrivePhysicalInfoFirst && c.id < kDrivePhysicalInfoFirst + int(kMaxPhysicalDriveSlots))
            radioId = kDrivePhysicalFirst + (c.id - kDrivePhysicalInfoFirst);
        if (radioId >= 0) break;
    }
    DialogControl* radio = radioId >= 0 ? dialog.find(radioId) : nullptr;
    if (radio == nullptr || radio->kind != ControlKind::Radio) {
        *error = "the drive dialog does not list " + answer.driveDevice;
        return 1;
    }
    if (!radio->enabled) {
        *error = "the drive " + answer.driveDevice + " cannot be chosen (disabled)";
        return 1;
    }
    choose(dialog, std::size_t(radio - dialog.controls.data()));
    DialogControl* writeProtected = dialog.find(kDriveWriteProtected);
    if (writeProtected == nullptr || writeProtected->kind != ControlKind::CheckBox) {
        *error = "the drive dialog has no write-protection check box";
        return 1;
    }
    writeProtected->checked = answer.driveReadOnly;
    return 0;
}

}  // namespace

int applyDialogAnswer(DialogDescription& dialog, const DialogAnswer& answer, int* closingId, std::string* error) {
    DialogDescription work = dialog;
    if (answer.cancel) {
        *closingId = dialog.cancelId;
        return 0;
    }
    if (!answer.driveDevice.empty()) {
        if (applyDriveChoice(work, answer, error) != 0) return 1;
        dialog = work;
        *closingId = dialog.okId;
        return 0;
    }
    for (const DialogAction& action : answer.actions)
        if (applyDialogAction(work, action, error) < 0) return 1;
    int press = findControl(work, answer.press, false, error);
    if (press < 0) {
        // The closing ids work even when the dialog lists no button for them.
        std::string name = normalisedLabel(answer.press);
        int id = isControlNumber(answer.press) ? std::atoi(answer.press.c_str()) : -1;
        if (name == "ok" || id == dialog.okId) {
            *closingId = dialog.okId;
        } else if (name == "cancel" || id == dialog.cancelId) {
            *closingId = dialog.cancelId;
        } else {
            return 1;
        }
        dialog = work;
        return 0;
    }
    const DialogControl& button = work.controls[std::size_t(press)];
    if (requireUsable(button, ControlKind::Button, answer.press, error) != 0) return 1;
    dialog = work;
    *closingId = button.id;
    return 0;
}

int applyDialogAction(DialogDescription& dialog, const DialogAction& action, std::string* error) {
    const bool wantsEdit = action.kind == DialogAction::Kind::Set;
    const int index = findControl(dialog, action.target, wantsEdit, error);
    if (index < 0) return -1;
    DialogControl& c = dialog.controls[std::size_t(index)];
    switch (action.kind) {
        case DialogAction::Kind::Set:
            if (requireUsable(c, ControlKind::Edit, action.target, error) != 0) return -1;
            c.value = action.value;
            break;
        case DialogAction::Kind::Check:
            if (requireUsable(c, ControlKind::CheckBox, action.target, error) != 0) return -1;
            c.checked = action.checked;
            break;
        case DialogAction::Kind::Choose:
            if (requireUsable(c, ControlKind::Radio, action.target, error) != 0) return -1;
            choose(dialog, std::size_t(index));
            break;
    }
    return c.id;
}

std::string describeDialogControls(const DialogDescription& dialog) {
    std::string out;
    int page = 0;
    for (const DialogControl& c : dialog.controls) {
        if (c.page != page && c.page > 0 && std::size_t(c.page) <= dialog.pages.size())
            out += "  PAGE \"" + escapeTranscriptText(dialog.pages[std::size_t(c.page) - 1]) + "\"\n";
        else if (c.page != page)
            out += "  BELOW THE PAGES\n";
        page = c.page;
        // Empty places (the unused drive slots) say nothing.
        if (!c.enabled && c.text.empty() && c.value.empty()) continue;
        out += "  [" + std::to_string(c.id) + "] " + kindName(c.kind) + " \"" + escapeTranscriptText(c.text) + "\"";
        if (c.kind == ControlKind::Edit) out += " = \"" + escapeTranscriptText(c.value) + "\"";
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::Radio) out += c.checked ? " on" : " off";
        if (!c.enabled) out += " disabled";
        if (!c.visible) out += " hidden";
        out += "\n";
    }
    return out;
}

int findDialogControl(const DialogDescription& dialog, const std::string& target, bool labelMeansEdit,
                      std::string* error) {
    return findControl(dialog, target, labelMeansEdit, error);
}

int requireUsableControl(const DialogControl& control, ControlKind kind, const std::string& target,
                         std::string* error) {
    return requireUsable(control, kind, target, error);
}

void chooseRadio(DialogDescription& dialog, std::size_t index) { choose(dialog, index); }

const char* controlKindName(ControlKind kind) { return kindName(kind); }

}  // namespace quorby
