#include "disasm/listing_text.h"

namespace quorby::disasm {

void appendSingleLine(std::string& listing, const char* line, std::size_t length) {
    if (listing.size() + length > kSingleListingLimit) listing.clear();
    listing.append(line, length);
}

bool appendCompleteLine(std::string& listing, const char* line, std::size_t length) {
    if (listing.size() + length > kListingCap) return false;
    listing.append(line, length);
    return true;
}

}  // namespace quorby::disasm
