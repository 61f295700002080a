#pragma once
// "Save": the listing as a text file: "Quorby Assembler-Listing", CR LF,
// CR LF, the Main File's name, CR LF, CR LF, then the listing as shown.
#include "state/app_state.h"

namespace quorby::disasm {

inline constexpr const char* kListingFileTitle = "Quorby Assembler-Listing\r\n\r\n";

// Asks for the file name (the window is hidden meanwhile), asks before an
// existing file is replaced, and writes the file. Returns 0 when the file was
// written, 1 when the user cancelled or a write failed (failures are
// reported; the remaining parts are still written).
[[nodiscard]] int saveListing(AppState& app);

// Writes the listing file to `path`, replacing what was there.
[[nodiscard]] int writeListingFile(AppState& app, const std::string& path);

}  // namespace quorby::disasm
