#include "find/find_dialog.h"

#include <algorithm>
#include <cstring>

#include "find/replace_command.h"
#include "find/search_command.h"
#include "navigate/version_review.h"

namespace quorby {
namespace {

void copyField(const DialogControl* edit, char (&into)[kFindTextCapacity]) {
    if (edit == nullptr) return;
    std::memset(into, 0, sizeof into);
    std::memcpy(into, edit->value.data(), std::min(edit->value.size(), sizeof into - 1));
}

// Find Next takes the dialog's values into the request. The texts (bytes)
// are cut to the request's capacity, as the dialog's edit fields limit them.
void takeDialogValues(AppState& app) {
    SearchRequest& request = app.search.request;
    DialogDescription values = app.platform->modelessValues(ModelessWindow::Find);
    copyField(values.find(kFindWhatEdit), request.findText);
    copyField(values.find(kReplaceWithEdit), request.replaceText);
    if (const DialogControl* down = values.find(kFindDown)) request.directionDown = down->checked;
    if (const DialogControl* matchCase = values.find(kFindMatchCase)) request.matchCase = matchCase->checked;
    if (const DialogControl* fromCursor = values.find(kFindFromCursor)) request.fromCursor = fromCursor->checked;
}

void setControl(AppState& app, DialogDescription& shown, int id, bool enabled) {
    if (DialogControl* c = shown.find(id)) {
        c->enabled = enabled;
        app.platform->setModelessControl(ModelessWindow::Find, *c);
    }
}

// After "NOT FOUND" the dialog runs nothing until it is opened anew: Find
// Next is greyed and a line below says how to start again.
void showSearchEnded(AppState& app) {
    const std::uint32_t mode = app.search.state.searchMode;
    if (!app.platform || !(mode & kSearchAtEnd) || !(mode & kSearchDialogOpen)) return;
    DialogDescription shown = app.platform->modelessValues(ModelessWindow::Find);
    DialogControl* hint = shown.find(kFindEndedHint);
    if (hint == nullptr) return;
    setControl(app, shown, kFindNextButton, false);
    setControl(app, shown, kReplaceButton, false);
    hint->text = findEndedHint((mode & kSearchHexMode) != 0, app.search.replaceLayout);
    hint->visible = true;
    app.platform->setModelessControl(ModelessWindow::Find, *hint);
}

// The outcome of Replace or Replace All below the buttons.
void showReplaceOutcome(AppState& app) {
    if (!app.platform) return;
    DialogDescription shown = app.platform->modelessValues(ModelessWindow::Find);
    DialogControl* outcome = shown.find(kReplaceOutcome);
    if (outcome == nullptr) return;
    const SearchSession& s = app.search;
    const std::string count = std::to_string(s.replacedCount);
    switch (s.replaceResult) {
        case ReplaceResult::Done: outcome->text = count + " replaced"; break;
        case ReplaceResult::Interrupted: outcome->text = count + " replaced, then stopped"; break;
        case ReplaceResult::Refused:
        case ReplaceResult::NotRun: outcome->text = "nothing replaced"; break;
    }
    outcome->visible = true;
    app.platform->setModelessControl(ModelessWindow::Find, *outcome);
}

// Text or hex chosen in the replace layout: the search starts anew in that
// mode, and the dialog shows it.
void chooseKind(AppState& app, bool hexMode) {
    takeDialogValues(app);
    openFindDialog(app, hexMode);
}

// "From cursor" ticked or cleared: the next search starts as the box now
// says, unless the cursor stands on the match the last search found (the
// search goes on from there).
void fromCursorToggled(AppState& app) {
    SearchSession& s = app.search;
    const bool before = s.request.fromCursor;
    takeDialogValues(app);
    if (s.request.fromCursor == before) return;
    const bool onLastMatch =
        (s.state.searchMode & kSearchLastFound) != 0 && app.view.cursorPos() == s.state.cursorAfterSearch;
    if (onLastMatch) return;
    startPositionsFromView(app, s.state, s.request, s.request.directionDown);
    s.state.lastDirectionDown = s.request.directionDown;
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

std::string findEndedHint(bool hexMode, bool replaceLayout) {
    return std::string("NOT FOUND: ") + (replaceLayout ? "Ctrl+Shift+H" : hexMode ? "Ctrl+H" : "Ctrl+F") +
           " starts a new search";
}

DialogDescription findDialogDescription(const SearchRequest& request, bool hexMode, bool replaceLayout) {
    DialogDescription d;
    d.title = replaceLayout ? kReplaceDialogTitle : findDialogTitle(hexMode);
    d.okId = kFindNextButton;
    d.cancelId = kFindCancelButton;
    // The replace layout puts the replacement's row below the find text's.
    const int below = replaceLayout ? 1 : 0;
    DialogControl label = dialogControl(kFindWhatLabel, ControlKind::Label, "Fi&nd what:", 0, 0);
    DialogControl edit = dialogControl(kFindWhatEdit, ControlKind::Edit, "", 1, 0);
    edit.value = std::string(request.findText, strnlen(request.findText, sizeof request.findText));
    edit.byteText = true;
    edit.chars = 32;  // longer texts scroll in the field
    DialogControl matchCase = dialogControl(kFindMatchCase, ControlKind::CheckBox, "Match &case", 0, 1 + below);
    matchCase.checked = request.matchCase;
    matchCase.visible = !hexMode;
    DialogControl fromCursor = dialogControl(kFindFromCursor, ControlKind::CheckBox, "From curs&or", 0, 2 + below);
    fromCursor.checked = request.fromCursor;
    DialogControl group = dialogControl(kFindDirectionGroup, ControlKind::Group, "Direction", 1, 1 + below);
    DialogControl up = dialogControl(kFindUp, ControlKind::Radio, "&Up", 0, 0);
    DialogControl down = dialogControl(kFindDown, ControlKind::Radio, "&Down", 1, 0);
    up.group = down.group = 1;
    up.frame = down.frame = kFindDirectionGroup;
    up.checked = !request.directionDown;
    down.checked = request.directionDown;
    DialogControl ended = dialogControl(kFindEndedHint, ControlKind::Label, "", 0, 3 + below);
    ended.visible = false;
    if (!replaceLayout) {
        d.controls = {label, edit, dialogControl(kFindNextButton, ControlKind::Button, "&Find Next", 2, 0),
                      group, dialogControl(kFindCancelButton, ControlKind::Button, "Cancel", 2, 1),
                      matchCase, up, down, fromCursor, ended};
        return d;
    }
    DialogControl withLabel = dialogControl(kReplaceWithLabel, ControlKind::Label, "Re&place with:", 0, 1);
    DialogControl with = dialogControl(kReplaceWithEdit, ControlKind::Edit, "", 1, 1);
    with.value = std::string(request.replaceText, strnlen(request.replaceText, sizeof request.replaceText));
    with.byteText = true;
    with.chars = 32;
    DialogControl kind = dialogControl(kReplaceKindGroup, ControlKind::Group, "Pattern", 1, 3);
    DialogControl text = dialogControl(kReplaceText, ControlKind::Radio, "&Text", 0, 0);
    DialogControl hex = dialogControl(kReplaceHex, ControlKind::Radio, "He&x", 1, 0);
    text.group = hex.group = 2;
    text.frame = hex.frame = kReplaceKindGroup;
    text.checked = !hexMode;
    hex.checked = hexMode;
    DialogControl outcome = dialogControl(kReplaceOutcome, ControlKind::Label, "", 0, 5);
    outcome.visible = false;
    d.controls = {label, edit, dialogControl(kFindNextButton, ControlKind::Button, "&Find Next", 2, 0),
                  withLabel, with, dialogControl(kReplaceButton, ControlKind::Button, "&Replace", 2, 1),
                  group, dialogControl(kReplaceAllButton, ControlKind::Button, "Replace &All", 2, 2),
                  kind, dialogControl(kFindCancelButton, ControlKind::Button, "Close", 2, 3),
                  matchCase, up, down, fromCursor, text, hex, ended, outcome};
    return d;
}

void openFindDialog(AppState& app, bool hexMode) {
    SearchSession& s = app.search;
    openSearch(app, s.state, s.request, hexMode);
    if (!app.platform) return;
    app.platform->openModeless(ModelessWindow::Find, findDialogDescription(s.request, hexMode, s.replaceLayout));
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
    } else if (event.kind == ModelessEventKind::Pressed && event.controlId == kReplaceButton) {
        if (!app.platform) return;
        takeDialogValues(app);
        replaceCurrentMatch(app);
        // Then the next match, unless the request could not be used.
        if (app.search.replaceResult != ReplaceResult::Refused) {
            request.findNext = true;
            onFindRequest(app);
        }
        showReplaceOutcome(app);
    } else if (event.kind == ModelessEventKind::Pressed && event.controlId == kReplaceAllButton) {
        if (!app.platform) return;
        takeDialogValues(app);
        replaceAllMatches(app);
        showReplaceOutcome(app);
    } else if (event.kind == ModelessEventKind::Toggled && event.controlId == kFindFromCursor) {
        if (app.platform) fromCursorToggled(app);
    } else if (event.kind == ModelessEventKind::Toggled && event.checked &&
               (event.controlId == kReplaceText || event.controlId == kReplaceHex)) {
        const bool hex = event.controlId == kReplaceHex;
        if (app.platform && hex != ((app.search.state.searchMode & kSearchHexMode) != 0)) chooseKind(app, hex);
    }
}

void findTextCommand(AppState& app) {
    app.search.replaceLayout = false;
    openFindDialog(app, false);
}

void findHexCommand(AppState& app) {
    app.search.replaceLayout = false;
    openFindDialog(app, true);
}

void findReplaceCommand(AppState& app) {
    app.search.replaceLayout = true;
    openFindDialog(app, (app.search.state.searchMode & kSearchHexMode) != 0);
}

}  // namespace quorby
