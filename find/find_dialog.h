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
inline constexpr int kFindFromCursor = 1091;
// The controls that Find and Replace adds.
inline constexpr int kReplaceButton = 1024;
inline constexpr int kReplaceAllButton = 1025;
inline constexpr int kReplaceWithLabel = 1092;
inline constexpr int kReplaceWithEdit = 1153;
inline constexpr int kReplaceKindGroup = 1093;
inline constexpr int kReplaceText = 1094;
inline constexpr int kReplaceHex = 1095;
inline constexpr int kReplaceOutcome = 1096;  // "12 replaced"

inline constexpr const char* kReplaceDialogTitle = "Find and Replace";

// The line that says, after "NOT FOUND", how a new search starts.
std::string findEndedHint(bool hexMode, bool replaceLayout = false);

// The dialog as it shows the request: the find text (bytes), the direction,
// "Match case" (hidden in hex mode) and "From cursor"; in the replace layout
// also the replacement, the choice of text or hex, Replace and Replace All.
DialogDescription findDialogDescription(const SearchRequest& request, bool hexMode, bool replaceLayout = false);

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
// "Find and &Replace" (Ctrl+Shift+H): the find dialog in its replace
// layout, in the mode last chosen.
void findReplaceCommand(AppState& app);

}  // namespace quorby
