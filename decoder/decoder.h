#pragma once
// The x86 instruction decoder: bytes in, one line of assembler text out.
//
// The caller passes the bytes at a position of the file (at least 16 where the
// file has them, fewer at its end). The decoder never reads past `size` bytes;
// an instruction cut off by the end of the span decodes as "(invalid Opcode)"
// and takes the whole span.
#include <cstddef>
#include <cstdint>

#include "core/file_pos.h"
#include "decoder/decoded_instruction.h"
#include "decoder/decoder_state.h"

namespace quorby::disasm {

// Room for the longest text of one instruction: 31 prefix notes, the
// instruction and its branch-target line.
inline constexpr std::size_t kMaxInstructionText = 768;

// Decodes the instruction at bytes[0 .. size) under `state` into `out`. Sets
// state::kDecodeError in `state` for an invalid opcode; other bits of `state`
// are left as they were. Returns 0, or 1 when bytes is null or size is 0.
[[nodiscard]] int decodeOnly(const std::uint8_t* bytes, std::size_t size, std::uint32_t& state,
               DecodedInstruction& out);

// Writes the text of `ins` to text[0 .. capacity) with a terminating NUL,
// cutting it short when the room runs out. `position` is the file position of
// the instruction's first byte (for branch targets). Returns the text length.
std::size_t formatInstruction(const DecodedInstruction& ins, FilePos position, char* text,
                              std::size_t capacity);

// Decodes and formats one instruction. `length` receives the bytes taken,
// `textLength` the characters written. Returns 0 done, 1 failure.
[[nodiscard]] int decodeInstruction(const std::uint8_t* bytes, std::size_t size, FilePos position,
                      std::uint32_t& state, char* text, std::size_t capacity,
                      std::uint32_t& length, std::size_t& textLength);

}  // namespace quorby::disasm
