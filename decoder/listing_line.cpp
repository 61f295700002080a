#include "decoder/listing_line.h"

#include <cstring>

#include "core/tables.h"

namespace quorby::disasm {

std::size_t formatListingLine(const std::uint8_t* bytes, std::size_t size, FilePos pos,
                              std::uint32_t& state, char (&line)[kMaxListingLine],
                              std::uint32_t& length) {
    formatPositionText(pos, line);
    std::memcpy(line + 20, " :    ", 6);
    length = 1;
    std::size_t textLength = 0;
    // When nothing can be decoded the line holds the position alone and one byte is taken.
    (void)decodeInstruction(bytes, size, pos, state, line + kListingPrefixLength, kMaxInstructionText, length,
                            textLength);
    if (length == 0) length = 1;
    std::size_t n = kListingPrefixLength + textLength;
    line[n++] = '\r';
    line[n++] = '\n';
    return n;
}

}  // namespace quorby::disasm
