#include "decoder/memory_operand.h"

#include "decoder/decoder_state.h"
#include "decoder/register_names.h"

namespace quorby::disasm {

namespace {

// An EVEX disp8 counts in units of the operand's size: the byte offset it
// stands for is written with four digits.
void writeDisplacement(TextOut& out, const DecodedInstruction& ins, int mod) {
    if (mod == 1 && ins.dispScale > 1)
        writeSigned(out, std::uint64_t(signExtend(ins.disp, 1) * ins.dispScale), 2);
    else if (mod == 1) writeSigned(out, ins.disp, 1);
    else if (mod == 2) writeSigned(out, ins.disp, ins.addrSize == 16 ? 2 : 4);
}

void writeSibOperand(TextOut& out, const DecodedInstruction& ins, int mod) {
    static const char* const kScale[4] = {"", "2*", "4*", "8*"};
    const std::uint32_t s = ins.state;
    const bool a64 = ins.addrSize == 64;
    const int bits = a64 ? 64 : 32;
    const int index = ((ins.sib >> 3) & 7) | ((s & state::kRexX) ? 8 : 0);
    const int base = (ins.sib & 7) | ((s & state::kRexB) ? 8 : 0);
    const bool hasIndex = index != 4 || ins.vsibBits;  // a vector index is always there
    out.put('[');
    if (hasIndex) {
        out.put(kScale[ins.sib >> 6]);
        out.put(ins.vsibBits ? vectorName(ins.vsibBits, ins.vindex) : gprName(bits, index, false));
    }
    if ((ins.sib & 7) == 5 && mod == 0) {
        // No base: a 32-bit displacement in its place.
        if (hasIndex || (ins.disp & 0x80000000u)) writeSigned(out, ins.disp, 4);
        else writeUnsigned(out, ins.disp, 4);
    } else {
        if (hasIndex) out.put(" + ");
        out.put(gprName(bits, base, false));
        writeDisplacement(out, ins, mod);
    }
    out.put(']');
}

}  // namespace

void writeMemoryOperand(TextOut& out, const DecodedInstruction& ins) {
    const int mod = ins.modrm >> 6;
    const int rm = ins.modrm & 7;
    if (ins.addrSize == 16) {
        if (mod == 0 && rm == 6) {
            out.put('[');
            writeUnsigned(out, ins.disp, 2);
        } else {
            out.put(base16Name(rm));
            writeDisplacement(out, ins, mod);
        }
        out.put(']');
        return;
    }
    if (rm == 4) {
        writeSibOperand(out, ins, mod);
        return;
    }
    if (mod == 0 && rm == 5) {
        out.put('[');
        if (ins.state & state::kMode64) {
            out.put(ins.addrSize == 64 ? "RIP" : "EIP");
            writeSigned(out, ins.disp, 4);
        } else {
            writeUnsigned(out, ins.disp, 4);
        }
        out.put(']');
        return;
    }
    out.put(baseName(ins.addrSize == 64, rm | ((ins.state & state::kRexB) ? 8 : 0)));
    writeDisplacement(out, ins, mod);
    out.put(']');
}

}  // namespace quorby::disasm
