#pragma once
// Steps shared by the commands that write changes into the Main File, drop
// them again or restore the original content.
#include <cstdint>
#include <string>

#include "document/main_file_bytes.h"
#include "state/app_state.h"

namespace quorby {

// Asks the optional Yes/No question of `messageSwitch`; true when the user
// said No. "Don't ask again !" with Yes switches the question off.
bool declinedQuestion(AppState& app, std::uint32_t messageSwitch, const char* caption, const std::string& text);

// The re-open before a write: "Re-open in Read-Write-Mode ?" and the
// re-opening. Result 1 (with pageRefused set) when the Main File stays
// read-only.
[[nodiscard]] int reopenForWriting(AppState& app);


// The 20-byte position text of the "Please wait ..." window and the banner
// refreshes happen every 256 steps; true when this poll was such a step.
bool bannerRefreshedNow(const AppState& app);

// Runs `operation` (writeSelection from Save Page, dropSelection) with the
// selection replaced by the bytes shown on the page; puts the user's
// selection back and loads the shown page again afterwards.
[[nodiscard]] int runOnShownBytes(AppState& app, int (*operation)(AppState&));

// ---- walking a selection through the changed pages -------------------------

// The selected bytes [*from, *to) of half 0 or 1 of the loaded pair; false
// when the half holds none of [start, end).
bool selectedPartOfHalf(const AppState& app, int half, FilePos start, FilePos end, std::uint32_t* from,
                        std::uint32_t* to);
// The position of the next changed page after the loaded pair, when it lies
// below `end` (from the cursor record above the pair; the adjacent pair
// when the cursor records are not current).
bool nextChangedPage(const AppState& app, FilePos end, FilePos* next);
// True when the half's changedBits mark a byte of [from, to).
bool anyChangedIn(const AppState& app, int half, std::uint32_t from, std::uint32_t to);
void clearChangedIn(AppState& app, int half, std::uint32_t from, std::uint32_t to);
bool halfHasRecord(const AppState& app, int half);
std::uint32_t halfCountOf(const AppState& app, int half);
// The other half's copy follows the address links just written for `half`.
void followPairLinks(AppState& app, int half);

}  // namespace quorby
