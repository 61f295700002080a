#pragma once
// Listing instructions from the Main File's current content (the Main File
// with the Journal File's changes, read page pair by page pair through the
// view). The decoder state comes from the settings record.
#include "state/app_state.h"

namespace quorby::disasm {

// Decodes the instruction at the cursor, appends its line to the listing and
// highlights its bytes as the selection. When the cursor stands in the last
// row the view first moves on by a row, so that the instruction stays
// visible. Returns 0, or 1 when no file is open.
[[nodiscard]] int listInstructionAtCursor(AppState& app);

// The listing starts over and runs from the selection's start to its end when
// the cursor lies in the selection, else from the cursor to the end of the
// file; the view's page moves along. It stops at the end, after an invalid
// opcode when cancelAfterError is set, or before the line that would take
// the text past kListingCap. Returns 0, or 1 when no file is open.
[[nodiscard]] int listComplete(AppState& app);

// Decodes the instruction at `pos` (which must be among the shown bytes) and
// returns its length (at least 1).
std::uint32_t instructionLengthAt(AppState& app, FilePos pos);

}  // namespace quorby::disasm
