#pragma once
// The modeless find dialog of Find Text (Ctrl+F) and Find Hex (Ctrl+H), its
// requests, and F3. The search itself is runSearch (search_command.h).
#include <string>

#include "state/app_state.h"

namespace quorby {

// Controls of the find dialog.
inline constexpr int kFindNextButton = 1;
inline constexpr int kFindCancelButton = 2;
inline constexpr int kFindWhatLabel = 1089;
inline constexpr int kFindWhatEdit = 1152;
inline constexpr int kFindMatchCase = 1041;
inline constexpr int kFindDirectionGroup = 1072;
inline constexpr int kFindUp = 1056;
inline constexpr int kFindDown = 1057;
inline constexpr int kFindEndedHint = 1090;  // shown after "NOT FOUND", while Find Next is greyed

// The line that says, after "NOT FOUND", how a new search starts.
std::string findEndedHint(bool hexMode);

// The dialog as it shows the request: the find text (bytes), the direction,
// and "Match case" (hidden in hex mode).
DialogDescription findDialogDescription(const SearchRequest& request, bool hexMode);

// Find Text / Find Hex: the search's start from the view, and the dialog
// shown (or turned to the mode when it is open).
void openFindDialog(AppState& app, bool hexMode);
// One request of the dialog: closing it ends the search's open state and
// stops a search that is running; otherwise a search with the request.
void onFindRequest(AppState& app);
// F3: the kept request again; with the dialog closed, it is opened again in
// the mode last chosen and the last text is searched from the view.
void repeatSearch(AppState& app);

// What the user does in the dialog: Find Next, Cancel, closing it.
void onFindDialogEvent(AppState& app, const ModelessEvent& event);

void findTextCommand(AppState& app);
void findHexCommand(AppState& app);

}  // namespace quorby
