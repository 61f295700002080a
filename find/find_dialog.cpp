#include "find/find_dialog.h"

#include <algorithm>
#include <cstring>

#include "find/search_command.h"
#include "navigate/version_review.h"

namespace quorby {
namespace {

// Find Next takes the dialog's values into the request. The text (bytes) is
// cut to the request's capacity, as the dialog's edit field limits it.
void takeDialogValues(AppState& app) {
    SearchRequest& request = app.search.request;
    DialogDescription values = app.platform->modelessValues(ModelessWindow::Find);
    if (const DialogControl* edit = values.find(kFindWhatEdit)) {
        std::memset(request.findText, 0, sizeof request.findText);
        std::memcpy(request.findText, edit->value.data(), std::min(edit->value.size(), sizeof request.findText - 1));
    }
    if (const DialogControl* down = values.find(kFindDown)) request.directionDown = down->checked;
    if (const DialogControl* matchCase = values.find(kFindMatchCase)) request.matchCase = matchCase->checked;
}

// After "NOT FOUND" the dialog runs nothing until it is opened anew: Find
// Next is greyed and a line below says how to start again.
void showSearchEnded(AppState& app) {
    const std::uint32_t mode = app.search.state.searchMode;
    if (!app.platform || !(mode & kSearchAtEnd) || !(mode & kSearchDialogOpen)) return;
    DialogDescription shown = app.platform->modelessValues(ModelessWindow::Find);
    DialogControl* next = shown.find(kFindNextButton);
    DialogControl* hint = shown.find(kFindEndedHint);
    if (next == nullptr || hint == nullptr) return;
    next->enabled = false;
    hint->text = findEndedHint((mode & kSearchHexMode) != 0);
    hint->visible = true;
    app.platform->setModelessControl(ModelessWindow::Find, *next);
    app.platform->setModelessControl(ModelessWindow::Find, *hint);
}

void searchAndKeep(AppState& app) {
    SearchSession& s = app.search;
    FilePos match = 0;
    const SearchResult result = runSearch(app, s.state, s.request, &match);
    // A request that arrived during this search has recorded its own outcome.
    if (result == SearchResult::Superseded) return;
    s.lastResult = result;
    if (result == SearchResult::Found) s.lastMatch = match;
    showSearchEnded(app);
}

}  // namespace

std::string findEndedHint(bool hexMode) {
    return std::string("NOT FOUND: ") + (hexMode ? "Ctrl+H" : "Ctrl+F") + " starts a new search";
}

DialogDescription findDialogDescription(const SearchRequest& request, bool hexMode) {
    DialogDescription d;
    d.title = findDialogTitle(hexMode);
    d.okId = kFindNextButton;
    d.cancelId = kFindCancelButton;
    DialogControl label = dialogControl(kFindWhatLabel, ControlKind::Label, "Fi&nd what:", 0, 0);
    DialogControl edit = dialogControl(kFindWhatEdit, ControlKind::Edit, "", 1, 0);
    edit.value = std::string(request.findText, strnlen(request.findText, sizeof request.findText));
    edit.byteText = true;
    edit.chars = 32;  // longer texts scroll in the field
    DialogControl matchCase = dialogControl(kFindMatchCase, ControlKind::CheckBox, "Match &case", 0, 1);
    matchCase.checked = request.matchCase;
    matchCase.visible = !request.hideMatchCase;
    DialogControl group = dialogControl(kFindDirectionGroup, ControlKind::Group, "Direction", 1, 1);
    DialogControl up = dialogControl(kFindUp, ControlKind::Radio, "&Up", 0, 0);
    DialogControl down = dialogControl(kFindDown, ControlKind::Radio, "&Down", 1, 0);
    up.group = down.group = 1;
    up.frame = down.frame = kFindDirectionGroup;
    up.checked = !request.directionDown;
    down.checked = request.directionDown;
    DialogControl ended = dialogControl(kFindEndedHint, ControlKind::Label, "", 0, 2);
    ended.visible = false;
    d.controls = {label, edit, dialogControl(kFindNextButton, ControlKind::Button, "&Find Next", 2, 0),
                  group, dialogControl(kFindCancelButton, ControlKind::Button, "Cancel", 2, 1),
                  matchCase, up, down, ended};
    return d;
}

void openFindDialog(AppState& app, bool hexMode) {
    SearchSession& s = app.search;
    openSearch(app, s.state, s.request, hexMode);
    if (!app.platform) return;
    app.platform->openModeless(ModelessWindow::Find, findDialogDescription(s.request, hexMode));
    // The last text is selected: typing replaces it.
    app.platform->focusModelessControl(ModelessWindow::Find, kFindWhatEdit, true);
}

void onFindRequest(AppState& app) {
    SearchSession& s = app.search;
    if (s.request.dialogClosing) {
        closeSearch(s.state);
        s.request.dialogClosing = false;
        s.state.stopRequested = true;
        if (app.platform) app.platform->closeModeless(ModelessWindow::Find);
        return;
    }
    searchAndKeep(app);
}

void repeatSearch(AppState& app) {
    SearchSession& s = app.search;
    if (!(s.state.searchMode & kSearchDialogOpen)) {
        openFindDialog(app, (s.state.searchMode & kSearchHexMode) != 0);
        s.request.findNext = s.request.findText[0] != 0;
    }
    searchAndKeep(app);
}

void onFindDialogEvent(AppState& app, const ModelessEvent& event) {
    if (event.kind == ModelessEventKind::Edited || event.kind == ModelessEventKind::EditFinished) return;
    SearchRequest& request = app.search.request;
    endVersionReview(app);
    if (event.kind == ModelessEventKind::Closed ||
        (event.kind == ModelessEventKind::Pressed && event.controlId == kFindCancelButton)) {
        request.dialogClosing = true;
        onFindRequest(app);
    } else if (event.kind == ModelessEventKind::Pressed && event.controlId == kFindNextButton) {
        if (!app.platform) return;
        takeDialogValues(app);
        request.findNext = true;
        onFindRequest(app);
    }
}

void findTextCommand(AppState& app) { openFindDialog(app, false); }
void findHexCommand(AppState& app) { openFindDialog(app, true); }

}  // namespace quorby
