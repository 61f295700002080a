#pragma once
// Find and Replace: the match of the last search replaced by bytes of the
// same length (the file is overwritten, nothing is inserted or removed), one
// at a time or all at once. The replaced bytes are changes like typed ones,
// stored through the page store: into the Journal File, or in direct access
// into the Main File with the earlier bytes kept for undo.
#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kReplaceAllTitle = "          R E P L A C E  A L L      ";
inline constexpr const char* kReplaceCaption = "Find and Replace";

// The replacement's bytes from the request, in the form of the find text:
// hex digits in hex mode (parsed as the pattern is), bytes in text mode
// (never folded). Returns their count.
std::uint32_t replacementBytes(const SearchRequest& request, bool hexMode, std::uint8_t out[kMaxPatternLength]);

// The message when the replacement's length differs from the pattern's.
std::string replaceLengthMessage(std::uint32_t patternLength, std::uint32_t replacementLength);

// Replace: when the cursor stands on the match the last search found and
// the bytes there still match, they are replaced (one entry of the
// history); then the next match is searched in the dialog's direction.
// Without such a match it only searches. The outcome goes to
// app.search.replaceResult / replacedCount, the search's to lastResult.
void replaceCurrentMatch(AppState& app);

// Replace All: every match of the selection (when one is highlighted) or of
// the whole file, from its start forward, none overlapping another, under
// the banner with ESC; one entry of the history, taken back by one undo.
// After ESC (Yes to the question) the matches replaced so far stay
// replaced, in that one entry. The view comes back where it was.
void replaceAllMatches(AppState& app);

}  // namespace quorby
