#pragma once
// After a copy that went past unreadable sectors: one message that lists
// them, and the map file beside the target ("TARGET.unreadable", one
// "0xSTART 0xLENGTH" pair per line, positions of the file that was read), so
// that they can be tried again later with other tools.
#include <string>

#include "salvage/byte_ranges.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kUnreadableCaption = "Unreadable Sectors";
inline constexpr const char* kUnreadableMapSuffix = ".unreadable";

// Writes the map file; result 1 (reported as "Error writing " + its name)
// when it could not be written.
[[nodiscard]] int writeUnreadableMap(AppState& app, const std::string& mapPath, const ByteRanges& ranges);

// Nothing when `ranges` is empty. Otherwise the map file `targetName` +
// ".unreadable" (none when `targetName` is empty) and one message naming
// `sourceName`, the ranges and the map file.
void reportUnreadableCopy(AppState& app, const std::string& sourceName, const ByteRanges& ranges,
                          const std::string& targetName);

}  // namespace quorby
