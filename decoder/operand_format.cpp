// Formatting: prefix notes, the mnemonic and the operands of a decoded
// instruction, in the program's conventions (size letters, x87 size notes,
// fixed-width hexadecimal numbers, branch-target lines).
#include "decoder/decoder.h"
#include "decoder/memory_operand.h"
#include "decoder/register_names.h"
#include "decoder/text_out.h"
#include "decoder/vector_format.h"

namespace quorby::disasm {

namespace {

const char* const kNoteText[] = {
    "ES: ", "CS: ", "SS: ", "DS: ", "FS: ", "GS: ",
    "(16 Bit Op.) ", "(32 Bit Op.) ", "(16 Bit Adr.) ", "(32 Bit Adr.) ",
    "LOCK ", "REP ", "REPE ", "REPNE ", "// ",
};

void writeNotes(TextOut& out, const DecodedInstruction& ins) {
    for (int i = 0; i < ins.noteCount; ++i) {
        const std::uint8_t n = ins.notes[i];
        if (n >= kNoteRex) {
            out.put("REX");
            if (n & 8) out.put(".W");
            if (n & 4) out.put(".R");
            if (n & 2) out.put(".X");
            if (n & 1) out.put(".B");
            out.put(' ');
        } else {
            out.put(kNoteText[n]);
        }
    }
}

bool anyRex(const DecodedInstruction& ins) { return (ins.state & state::kRexPresent) != 0; }
int rexBit(const DecodedInstruction& ins, std::uint32_t bit) { return (ins.state & bit) ? 8 : 0; }

void writeRegOperand(TextOut& out, const DecodedInstruction& ins) {
    const int reg = ((ins.modrm >> 3) & 7) | rexBit(ins, state::kRexR);
    if (ins.form & form::kSegReg) out.put(segmentName(reg & 7));
    else if (ins.form & form::kMmxReg) out.put(mmxName(reg));
    else if (ins.form & form::kXmmReg) out.put(xmmName(reg));
    else out.put(gprName(ins.regSize, reg, anyRex(ins)));
}

const char* sizeLetter(const DecodedInstruction& ins) {
    if (ins.form & form::kFarPointer) return "p";
    if (ins.form & form::kTbyte) return "t";
    if (ins.form & form::kXmmRm) return "dq";
    switch (ins.rmSize) {
    case 8: return "b";
    case 16: return "w";
    case 64: return "q";
    default: return "d";
    }
}

const char* x87Note(const DecodedInstruction& ins) {
    const std::uint32_t f = ins.form;
    if (f & form::kX87Int16) return "(16 Bit:) ";
    if (f & (form::kX87Real32 | form::kX87Int32)) return "(32 Bit:) ";
    if (f & (form::kX87Real64 | form::kX87Int64)) return "(64 Bit:) ";
    if (f & form::kX87Real80) return "(80 Bit:) ";
    if (f & form::kX87Bcd) return "(BCD 10 Bytes:) ";
    if (f & form::kEnvironment) return ins.opSize == 16 ? "(14 Bytes:) " : "(28 Bytes:) ";
    if (f & form::kFpuState) return ins.opSize == 16 ? "(94 Bytes:) " : "(108 Bytes:) ";
    if (f & form::kFxArea) return "(512 Bytes:) ";
    return "";
}

void writeRmOperand(TextOut& out, const DecodedInstruction& ins) {
    if ((ins.modrm >> 6) == 3) {
        const int rm = (ins.modrm & 7) | rexBit(ins, state::kRexB);
        if (ins.form & form::kMmxRm) out.put(mmxName(rm));
        else if (ins.form & form::kXmmRm) out.put(xmmName(rm));
        else out.put(gprName(ins.rmSize, rm, anyRex(ins)));
        return;
    }
    if (ins.layout == Layout::X87Mem) out.put(x87Note(ins));
    else if (ins.form & form::kSizeLetter) out.put(sizeLetter(ins));
    writeMemoryOperand(out, ins);
}

// Immediates: unsigned by their width, signed where the form says so, and a
// 32-bit immediate of a 64-bit operand signed (it is sign-extended).
void writeImmediate(TextOut& out, const DecodedInstruction& ins) {
    if (ins.form & form::kSigned) writeSigned(out, ins.imm, ins.immSize);
    else if (ins.immSize == 4 && ins.opSize == 64 && (ins.form & form::kWide)) writeSigned(out, ins.imm, 4);
    else writeUnsigned(out, ins.imm, ins.immSize);
}

void writeModrmOperands(TextOut& out, const DecodedInstruction& ins) {
    if (ins.form & form::kRegOperand) {
        if (ins.form & form::kRegFirst) {
            writeRegOperand(out, ins);
            out.put(',');
            writeRmOperand(out, ins);
        } else {
            writeRmOperand(out, ins);
            out.put(',');
            writeRegOperand(out, ins);
        }
    } else {
        writeRmOperand(out, ins);
    }
    if (ins.immSize) {
        out.put(',');
        writeImmediate(out, ins);
    }
    if (ins.imm2Size) {
        out.put(',');
        writeUnsigned(out, ins.imm2, 1);
    }
}

const char* accumulator(const DecodedInstruction& ins) {
    if (!(ins.form & form::kWide)) return "AL";
    return gprName(ins.opSize, 0, false);
}

void writeStringOperands(TextOut& out, const DecodedInstruction& ins) {
    const bool m64 = (ins.state & state::kMode64) != 0;
    const char* si = ins.addrSize == 16 ? "[DS:SI]" : ins.addrSize == 64 ? "[RSI]" : m64 ? "[ESI]" : "[DS:ESI]";
    const char* di = ins.addrSize == 16 ? "[ES:DI]" : ins.addrSize == 64 ? "[RDI]" : m64 ? "[EDI]" : "[ES:EDI]";
    const char* acc = accumulator(ins);
    const char* first = di;
    const char* second = si;
    switch (ins.aux) {
    case kMovs: break;
    case kCmps: first = si; second = di; break;
    case kStos: second = acc; break;
    case kLods: first = acc; break;
    case kScas: first = acc; second = di; break;
    case kIns: second = "DX"; break;
    case kOuts: first = "DX"; break;
    default: break;
    }
    out.put(first);
    out.put(',');
    out.put(second);
}

void writeBranch(TextOut& out, const DecodedInstruction& ins, FilePos position) {
    writeSigned(out, ins.imm, ins.immSize);
    const FilePos target = position + ins.length + FilePos(signExtend(ins.imm, ins.immSize));
    out.put("\r\n  =>");
    writeFilePosition(out, target);
}

void writeX87Register(TextOut& out, const DecodedInstruction& ins) {
    char sti[] = "ST(0)";
    sti[3] = char('0' + (ins.modrm & 7));
    if (ins.layout == Layout::X87StSti) out.put("ST,");
    out.put(sti);
    if (ins.layout == Layout::X87StiSt) out.put(",ST");
}

void writeControlMove(TextOut& out, const DecodedInstruction& ins, const char* prefix) {
    const int bits = (ins.state & state::kMode64) ? 64 : 32;
    const char* gpr = gprName(bits, (ins.modrm & 7) | rexBit(ins, state::kRexB), false);
    const int n = ((ins.modrm >> 3) & 7) | rexBit(ins, state::kRexR);
    char name[] = "CR00";
    name[0] = prefix[0];
    name[1] = prefix[1];
    if (n >= 10) {
        name[2] = '1';
        name[3] = char('0' + n - 10);
    } else {
        name[2] = char('0' + n);
        name[3] = '\0';
    }
    if (ins.aux & 1) {
        out.put(name);
        out.put(',');
        out.put(gpr);
    } else {
        out.put(gpr);
        out.put(',');
        out.put(name);
    }
}

void writeBody(TextOut& out, const DecodedInstruction& ins, FilePos position) {
    if (ins.layout == Layout::Imul3) {
        writeRegOperand(out, ins);
        out.put(" = ");
        out.put(ins.mnemonic);
        writeRmOperand(out, ins);
        out.put(',');
        writeImmediate(out, ins);
        return;
    }
    out.put(ins.mnemonic);
    const int opReg = (ins.opcode & 7) | rexBit(ins, state::kRexB);
    switch (ins.layout) {
    case Layout::ModRM:
    case Layout::Amd3DNow:
        writeModrmOperands(out, ins);
        break;
    case Layout::ModRMOne:
        writeModrmOperands(out, ins);
        out.put(",1");
        break;
    case Layout::ModRMCL:
        writeModrmOperands(out, ins);
        out.put(",CL");
        break;
    case Layout::ModRMXmm0:
        writeModrmOperands(out, ins);
        out.put(",XMM0");
        break;
    case Layout::X87Mem:
        writeRmOperand(out, ins);
        break;
    case Layout::X87St:
    case Layout::X87StSti:
    case Layout::X87StiSt:
        writeX87Register(out, ins);
        break;
    case Layout::AccImm:
        out.put(accumulator(ins));
        out.put(',');
        writeImmediate(out, ins);
        break;
    case Layout::RegOp:
        out.put(gprName(ins.regSize, opReg, anyRex(ins)));
        break;
    case Layout::RegOpImm:
        out.put(gprName(ins.regSize, opReg, anyRex(ins)));
        out.put(',');
        writeImmediate(out, ins);
        break;
    case Layout::XchgAcc:
        out.put(accumulator(ins));
        out.put(',');
        out.put(gprName(ins.regSize, opReg, anyRex(ins)));
        break;
    case Layout::Imm:
        writeImmediate(out, ins);
        break;
    case Layout::Enter:
        writeUnsigned(out, ins.imm, 2);
        out.put(',');
        writeUnsigned(out, ins.imm2, 1);
        break;
    case Layout::Rel:
        writeBranch(out, ins, position);
        break;
    case Layout::Moffs:
        if (ins.aux == 0) {
            out.put(accumulator(ins));
            out.put(",[");
            writeUnsigned(out, ins.imm, ins.immSize);
            out.put(']');
        } else {
            out.put('[');
            writeUnsigned(out, ins.imm, ins.immSize);
            out.put("],");
            out.put(accumulator(ins));
        }
        break;
    case Layout::String:
        writeStringOperands(out, ins);
        break;
    case Layout::FarPtr:
        writeUnsigned(out, ins.imm2, 2);
        out.put(':');
        writeUnsigned(out, ins.imm, ins.immSize);
        break;
    case Layout::InImm:
        out.put((ins.form & form::kWide) ? (ins.opSize == 16 ? "AX" : "EAX") : "AL");
        out.put(',');
        writeUnsigned(out, ins.imm, 1);
        break;
    case Layout::OutImm:
        writeUnsigned(out, ins.imm, 1);
        out.put(',');
        out.put((ins.form & form::kWide) ? (ins.opSize == 16 ? "AX" : "EAX") : "AL");
        break;
    case Layout::CtrlReg:
        writeControlMove(out, ins, "CR");
        break;
    case Layout::DebugReg:
        writeControlMove(out, ins, (ins.aux & 2) ? "TR" : "DR");
        break;
    case Layout::Vector:
        writeVectorOperands(out, ins);
        break;
    default:
        break;
    }
}

}  // namespace

std::size_t formatInstruction(const DecodedInstruction& ins, FilePos position, char* text,
                              std::size_t capacity) {
    if (!text || capacity == 0) return 0;
    TextOut out{text, capacity};
    writeNotes(out, ins);
    if (ins.invalid) out.put("(invalid Opcode)");
    else writeBody(out, ins, position);
    out.terminate();
    return out.length;
}

}  // namespace quorby::disasm
