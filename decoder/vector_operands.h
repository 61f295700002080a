#pragma once
// Sizes of the operands of a VEX or EVEX instruction, shared by the decoder
// (for the EVEX displacement factor) and the formatter.
#include <cstdint>

#include "decoder/decoded_instruction.h"
#include "decoder/vector_tables.h"

namespace quorby::disasm {

// Width in bits of the vector register an operand of `size` names.
[[nodiscard]] int vectorRegisterBits(vec::Size size, int vectorBits);
// Width of a general register operand: 64 with W in 64-bit mode, else 32.
[[nodiscard]] int vectorGprBits(std::uint8_t operand, const DecodedInstruction& ins);
// Bytes a memory operand covers, before any broadcast.
[[nodiscard]] int vectorMemoryBytes(std::uint8_t operand, const DecodedInstruction& ins);
// The operand of the entry that may be memory (W, E, KW or VSIB), or 0.
std::uint8_t vectorMemoryOperand(const VectorEntry& e);

}  // namespace quorby::disasm
