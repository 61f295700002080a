#pragma once
// The fill commands: the shown page or the selection becomes one byte value
// (chosen in "Choose Char"), or the shown page all byte values in turn.
// Filled bytes are changes like typed ones; each command is one entry of the
// history.
#include "state/app_state.h"

namespace quorby {

// The 512 shown bytes (fewer where the file ends): each becomes `value`, or
// with allValues byte k of them k mod 256. The page is stored and shown again.
[[nodiscard]] int fillShownPage(AppState& app, bool allValues, std::uint8_t value);
// The selection (within the file) becomes app.edit.fillValue, page after
// page under the banner "FILL WITH HEX_VALUE"; ESC between pages stops with
// the filled part kept. Result 1 without a selection or when stopped.
[[nodiscard]] int fillSelection(AppState& app);

void fillPageWithValueCommand(AppState& app);       // "Fill Page with Hex-Value ..."
void fillPageWithAllValuesCommand(AppState& app);   // "Fill Page with all Kind of Values"
void fillSelectionWithValueCommand(AppState& app);  // "Fill Selection with Hex-Value"

}  // namespace quorby
