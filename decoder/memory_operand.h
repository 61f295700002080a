#pragma once
// Writes a ModRM memory operand: base, scaled index and displacement.
#include "decoder/decoded_instruction.h"
#include "decoder/text_out.h"

namespace quorby::disasm {

// Writes "[...]" for the memory operand of `ins` (ModRM mod 0, 1 or 2).
void writeMemoryOperand(TextOut& out, const DecodedInstruction& ins);

}  // namespace quorby::disasm
