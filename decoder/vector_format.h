#pragma once
// Writes the operands of a VEX or EVEX instruction.
#include "decoder/decoded_instruction.h"
#include "decoder/text_out.h"

namespace quorby::disasm {

// The operands in table order; an EVEX opmask and zeroing follow the first
// ("{K1}{Z}"), a broadcast follows its memory operand ("{1TO16}"), and
// rounding or exception suppression comes before an immediate or last.
void writeVectorOperands(TextOut& out, const DecodedInstruction& ins);

}  // namespace quorby::disasm
