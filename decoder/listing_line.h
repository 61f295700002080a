#pragma once
// One line of an assembler listing, as the window and the command line write
// it: the instruction's position (four groups of four upper-case hexadecimal
// digits, each preceded by a blank), " :    ", the decoded text (with its
// branch-target line), CR LF.
#include <cstddef>
#include <cstdint>

#include "core/file_pos.h"
#include "decoder/decoder.h"

namespace quorby::disasm {

// Bytes the decoder is given beyond a position (fewer at the end of the file).
inline constexpr std::size_t kDecodeLookahead = 16;
inline constexpr std::size_t kListingPrefixLength = 26;  // position and " :    "
inline constexpr std::size_t kMaxListingLine = kListingPrefixLength + kMaxInstructionText + 2;

// Decodes the instruction at bytes[0 .. size) (the file's content at `pos`)
// under `state` and writes its line to `line`. `length` receives the bytes
// the instruction took (at least 1). Returns the line's length.
std::size_t formatListingLine(const std::uint8_t* bytes, std::size_t size, FilePos pos,
                              std::uint32_t& state, char (&line)[kMaxListingLine],
                              std::uint32_t& length);

}  // namespace quorby::disasm
