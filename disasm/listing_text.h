#pragma once
// The listing text's bounds. The single-instruction listing grows line by
// line and starts over when a line would take it past 256 KiB; a complete
// listing stops before the line that would take it past kListingCap.
#include <cstddef>
#include <string>

namespace quorby::disasm {

inline constexpr std::size_t kSingleListingLimit = 256 * 1024;
inline constexpr std::size_t kListingFieldLimit = 263168;
inline constexpr std::size_t kListingCap = kListingFieldLimit - 16;

void appendSingleLine(std::string& listing, const char* line, std::size_t length);
// Appends the line when the listing stays within kListingCap; false (and the
// listing unchanged) otherwise.
bool appendCompleteLine(std::string& listing, const char* line, std::size_t length);

}  // namespace quorby::disasm
