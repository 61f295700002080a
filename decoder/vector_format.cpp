#include "decoder/vector_format.h"

#include "decoder/decoder_state.h"
#include "decoder/memory_operand.h"
#include "decoder/register_names.h"
#include "decoder/vector_operands.h"
#include "decoder/vector_tables.h"

namespace quorby::disasm {

namespace {

using namespace vec;

const char* memorySizeLetter(int bytes) {
    switch (bytes) {
    case 1: return "b";
    case 2: return "w";
    case 4: return "d";
    case 8: return "q";
    case 16: return "dq";
    case 32: return "qq";
    default: return "dqq";
    }
}

void writeMemory(TextOut& out, const DecodedInstruction& ins, std::uint8_t op) {
    if (ins.vector->flags & kSizeLetter)
        out.put(memorySizeLetter(ins.broadcast ? ins.dispScale : vectorMemoryBytes(op, ins)));
    writeMemoryOperand(out, ins);
    if (ins.broadcast) {
        out.put("{1TO");
        if (ins.broadcast >= 10) out.put(char('0' + ins.broadcast / 10));
        out.put(char('0' + ins.broadcast % 10));
        out.put('}');
    }
}

void writeOperand(TextOut& out, const DecodedInstruction& ins, std::uint8_t op) {
    const bool isReg = (ins.modrm >> 6) == 3;
    if (sizeOf(op) == kTile && (kindOf(op) != kW || isReg)) {
        const int n = kindOf(op) == kV ? ins.vreg : kindOf(op) == kH ? ins.vvvv : ins.vrm;
        out.put(tileName(n));
        return;
    }
    const int bits = vectorRegisterBits(sizeOf(op), ins.vectorBits);
    const bool m64 = (ins.state & state::kMode64) != 0;
    switch (kindOf(op)) {
    case kV: out.put(vectorName(bits, ins.vreg)); break;
    case kH: out.put(vectorName(bits, ins.vvvv)); break;
    case kL: out.put(vectorName(bits, int(ins.imm >> 4) & (m64 ? 15 : 7))); break;
    case kG: out.put(gprName(vectorGprBits(op, ins), ins.vreg & 15, false)); break;
    case kB: out.put(gprName(vectorGprBits(op, ins), ins.vvvv & 15, false)); break;
    case kK: out.put(maskName(ins.vreg)); break;
    case kKH: out.put(maskName(ins.vvvv)); break;
    case kIb: writeUnsigned(out, ins.imm, 1); break;
    case kId: writeUnsigned(out, ins.imm, 4); break;
    case kVsib: writeMemory(out, ins, op); break;
    case kW:
        if (isReg) out.put(vectorName(bits, ins.vrm));
        else writeMemory(out, ins, op);
        break;
    case kE:
        if (isReg) out.put(gprName(vectorGprBits(op, ins), ins.vrm & 15, false));
        else writeMemory(out, ins, op);
        break;
    case kKW:
        if (isReg) out.put(maskName(ins.vrm));
        else writeMemory(out, ins, op);
        break;
    default: break;
    }
}

void writeRounding(TextOut& out, std::uint8_t rounding) {
    const char* const kText[] = {"", "{RN-SAE}", "{RD-SAE}", "{RU-SAE}", "{RZ-SAE}", "{SAE}"};
    out.put(',');
    out.put(kText[rounding]);
}

}  // namespace

void writeVectorOperands(TextOut& out, const DecodedInstruction& ins) {
    bool roundingPending = ins.rounding != kNoRounding;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t op = std::uint8_t(ins.vector->operands >> (8 * i));
        if (op == 0) break;
        if (kindOf(op) == kIb && roundingPending) {
            writeRounding(out, ins.rounding);
            roundingPending = false;
        }
        if (i > 0) out.put(',');
        writeOperand(out, ins, op);
        if (i == 0 && ins.mask) {
            out.put("{");
            out.put(maskName(ins.mask));
            out.put('}');
        }
        if (i == 0 && ins.zeroing) out.put("{Z}");
    }
    if (roundingPending) writeRounding(out, ins.rounding);
}

}  // namespace quorby::disasm
