#include "platform/headless/modeless_windows.h"

#include "platform/headless/dialog_filler.h"
#include "platform/headless/script_words.h"
#include "platform/headless/transcript_format.h"

namespace quorby {

const char* modelessWindowName(ModelessWindow window) {
    switch (window) {
        case ModelessWindow::Find: return "find";
        case ModelessWindow::Disassembly: return "disassembly";
        case ModelessWindow::Values: return "values";
        case ModelessWindow::OffsetAdjustment: return "offset";
        case ModelessWindow::AviCheck: return "avicheck";
        case ModelessWindow::AviReport: return "avi";
    }
    return "?";
}

int parseModelessWindowName(const std::string& word, ModelessWindow* out, std::string* error) {
    const std::string w = lowerCase(word);
    if (w == "find") *out = ModelessWindow::Find;
    else if (w == "disassembly") *out = ModelessWindow::Disassembly;
    else if (w == "values") *out = ModelessWindow::Values;
    else if (w == "offset") *out = ModelessWindow::OffsetAdjustment;
    else if (w == "avicheck") *out = ModelessWindow::AviCheck;
    else if (w == "avi") *out = ModelessWindow::AviReport;
    else {
        *error = "unknown window '" + word + "' (find, disassembly, offset, values, avicheck or avi)";
        return 1;
    }
    return 0;
}

std::size_t listingLineStart(const std::string& text, std::int64_t line) {
    if (line < 1) return std::string::npos;
    std::size_t at = 0;
    for (std::int64_t n = 1; n < line; ++n) {
        at = text.find('\n', at);
        if (at == std::string::npos || at + 1 >= text.size()) return std::string::npos;
        ++at;
    }
    return at;
}

int applyModelessAction(OpenModeless& window, const ModelessAction& action, ModelessEvent* event, bool* sends,
                        std::string* error) {
    DialogDescription& dialog = window.dialog;
    const bool wantsEdit = action.kind == ModelessAction::Kind::Set;
    const int index = findDialogControl(dialog, action.target, wantsEdit, error);
    if (index < 0) return 1;
    DialogControl& c = dialog.controls[std::size_t(index)];
    event->window = action.window;
    event->controlId = c.id;
    *sends = true;
    switch (action.kind) {
        case ModelessAction::Kind::Set:
            if (requireUsableControl(c, ControlKind::Edit, action.target, error) != 0) return 1;
            c.value = action.value;
            event->kind = ModelessEventKind::Edited;
            return 0;
        case ModelessAction::Kind::Check:
            if (requireUsableControl(c, ControlKind::CheckBox, action.target, error) != 0) return 1;
            c.checked = action.checked;
            event->kind = ModelessEventKind::Toggled;
            event->checked = action.checked;
            return 0;
        case ModelessAction::Kind::Choose:
            if (requireUsableControl(c, ControlKind::Radio, action.target, error) != 0) return 1;
            chooseRadio(dialog, std::size_t(index));
            event->kind = ModelessEventKind::Toggled;
            event->checked = true;
            return 0;
        case ModelessAction::Kind::Press:
            if (requireUsableControl(c, ControlKind::Button, action.target, error) != 0) return 1;
            event->kind = ModelessEventKind::Pressed;
            return 0;
        case ModelessAction::Kind::Caret: {
            if (requireUsableControl(c, ControlKind::Listing, action.target, error) != 0) return 1;
            const std::string& text = window.listings[c.id];
            const std::size_t start = listingLineStart(text, action.line);
            if (start == std::string::npos) {
                *error = "the listing has no line " + std::to_string(action.line);
                return 1;
            }
            window.selections[c.id] = {start, 0};
            event->kind = ModelessEventKind::CaretMoved;
            event->caretPosition = start;
            return 0;
        }
        case ModelessAction::Kind::Close:
            break;
    }
    *error = "internal: closing is not a control action";
    return 1;
}

std::string describeModeless(ModelessWindow which, const OpenModeless& window) {
    std::string out = std::string("WINDOW ") + modelessWindowName(which) + " \"" +
                      escapeTranscriptText(window.dialog.title) + "\"" + (window.visible ? "" : " hidden");
    if (window.row != kNotPlaced)
        out += " at column " + std::to_string(window.column) + " row " + std::to_string(window.row);
    if (window.focused != 0)
        out += " focus [" + std::to_string(window.focused) + "]" + (window.focusSelected ? " selected" : "");
    out += "\n";
    out += describeDialogControls(window.dialog);
    for (const auto& [id, text] : window.listings) {
        auto selection = window.selections.count(id) ? window.selections.at(id) : std::make_pair(std::size_t(0), std::size_t(0));
        out += "  [" + std::to_string(id) + "] selection " + std::to_string(selection.first) + " length " +
               std::to_string(selection.second) + "\n";
        std::size_t at = 0;
        for (int line = 1; at < text.size(); ++line) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string shown = text.substr(at, end - at);
            if (!shown.empty() && shown.back() == '\r') shown.pop_back();
            out += "  [" + std::to_string(id) + "] " + std::to_string(line) + ": " + escapeTranscriptText(shown) + "\n";
            at = end + 1;
        }
    }
    return out;
}

}  // namespace quorby
