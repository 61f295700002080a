#pragma once
// The search as the commands run it: Find Text (Ctrl+F), Find Hex (Ctrl+H),
// each Find Next of the find dialog, and F3. The dialog itself belongs to the
// platform; these operations keep its request and the engine's state.
#include <cstdint>

#include "search/search_state.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kFindTextTitle = "Find TEXT";
inline constexpr const char* kFindHexTitle = "find binarily   (e.g.:  F3 6B 5  or F3,6B05  or F3\"k\"05)";
// The progress line's colour between blocks.
inline constexpr Colour kSearchProgressColour = kBannerColour;

const char* findDialogTitle(bool hexMode);

// The search pattern of the request in the state's mode: hex digits parsed,
// or the text (folded without "Match case"). Returns its length, 0 when unusable.
std::uint32_t requestPattern(const SearchState& state, const SearchRequest& request, std::uint8_t* out);

// The start positions of a search from the view, as the request says: from
// the first byte shown, or with "from cursor" from the cursor.
void startPositionsFromView(AppState& app, SearchState& state, const SearchRequest& request, bool forward);

// The logic of opening the find dialog: dialogOpen (and hexMode), hide match
// case in hex mode, the outcome bits cleared, the start positions from the
// view's first shown byte (or the cursor) in the request's direction.
void openSearch(AppState& app, SearchState& state, SearchRequest& request, bool hexMode);

// The dialog was closed: dialogOpen is cleared. (The caller posts the ESC
// that ends a running search.)
void closeSearch(SearchState& state);

// One search request: applies a change of direction, then searches from the
// kept positions through the Main File with the Journal File's changes laid
// over it, block by block, keeping the window alive between blocks, and shows
// the outcome. *matchPos (optional) receives the match's first byte.
SearchResult runSearch(AppState& app, SearchState& state, const SearchRequest& request, FilePos* matchPos);

// Where the journal overlay's walks begin, from the view's record copies and
// cursor records; the chain's ends when those do not cover the first block.
void setOverlayPositions(AppState& app, SearchState& state, bool forward);

}  // namespace quorby
