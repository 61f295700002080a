// Opcode decoding: the walk through the opcode tables down to an entry, the
// operand sizes, and the reading of ModRM, SIB, displacement and immediate
// bytes. Produces a DecodedInstruction; the operand formatter writes its text.
#include "decoder/decode_context.h"
#include "decoder/decoder.h"

namespace quorby::disasm {

namespace detail {

namespace {

constexpr OpcodeEntry kMovsxd{"MOVSXD ", form::kRegOperand | form::kRegFirst | form::kWide |
                                             form::kForce32,
                              Layout::ModRM, 0, 0};
constexpr OpcodeEntry kXchgR8{"XCHG ", form::kWide, Layout::XchgAcc, 0, 0};

}  // namespace

bool readModrm(Context& c) {
    if (c.ins.hasModrm) return true;
    if (!c.cur.next(c.ins.modrm)) return false;
    c.ins.hasModrm = true;
    return true;
}

bool readMemory(Context& c) {
    DecodedInstruction& d = c.ins;
    const int mod = d.modrm >> 6;
    const int rm = d.modrm & 7;
    if (mod == 3) return true;
    int dispBytes = 0;
    if (d.addrSize == 16) {
        if (mod == 0 && rm == 6) dispBytes = 2;
        else if (mod == 1) dispBytes = 1;
        else if (mod == 2) dispBytes = 2;
    } else {
        if (rm == 4) {
            if (!c.cur.next(d.sib)) return false;
            d.hasSib = true;
            if ((d.sib & 7) == 5 && mod == 0) dispBytes = 4;
        }
        if (mod == 0 && rm == 5) dispBytes = 4;
        else if (mod == 1) dispBytes = 1;
        else if (mod == 2) dispBytes = 4;
    }
    if (dispBytes) {
        std::uint64_t v;
        if (!c.cur.nextValue(dispBytes, v)) return false;
        d.disp = std::uint32_t(v);
        d.dispSize = std::uint8_t(dispBytes);
    }
    return true;
}

bool readImmediate(Context& c, int bytes) {
    if (bytes == 0) return true;
    std::uint64_t v;
    if (!c.cur.nextValue(bytes, v)) return false;
    c.ins.imm = v;
    c.ins.immSize = std::uint8_t(bytes);
    return true;
}

namespace {

int immediateBytes(const DecodedInstruction& d) {
    if (!(d.form & form::kImm)) return 0;
    if (d.form & form::kImm8) return 1;
    if (d.flags & flag::kImmWord) return 2;
    if (d.form & form::kWide) return d.opSize == 16 ? 2 : 4;
    return 1;
}

int sizeIndex(int bits) { return bits == 16 ? 0 : bits == 32 ? 1 : 2; }

int prefixVariant(std::uint8_t prefix) {
    return prefix == 0x66 ? 1 : prefix == 0xF3 ? 2 : prefix == 0xF2 ? 3 : 0;
}

bool sameEntry(const OpcodeEntry& a, const OpcodeEntry& b) {
    return a.mnemonic == b.mnemonic && a.form == b.form && a.layout == b.layout && a.aux == b.aux &&
           a.flags == b.flags;
}

void removeNote(DecodedInstruction& d, int at) {
    if (at < 0 || at >= d.noteCount) return;
    for (int i = at; i + 1 < d.noteCount; ++i) d.notes[i] = d.notes[i + 1];
    --d.noteCount;
}

// The variant of a prefixed row: by the mandatory prefix, or by a prefix
// decoded as a plain one when the row defines another instruction for it;
// that prefix then loses its plain meaning and its note.
const OpcodeEntry* prefixedVariant(Context& c, const PrefixedRow& row) {
    const int v = prefixVariant(c.mandatory);
    if (v != 0 || c.late == 0) {
        // A mandatory 66 the row gives no instruction of its own sets the operand size.
        if (c.mandatory != 0x66 || !sameEntry(row[v], row[0])) c.mandatoryUsed = true;
        return &row[v];
    }
    c.mandatoryUsed = true;
    const int lv = prefixVariant(c.late);
    if (sameEntry(row[lv], row[0])) return &row[0];
    removeNote(c.ins, c.lateNote);
    if (c.late == 0x66)
        c.state = (c.state & ~state::kOperand32) | (c.baseState & state::kOperand32);
    c.late = 0;
    return &row[lv];
}

// Walks escapes, groups and prefix variants down to the instruction's entry.
const OpcodeEntry* resolveEntry(Context& c, const OpcodeEntry* e) {
    const OpcodeTables& t = kOpcodeTables;
    DecodedInstruction& d = c.ins;
    for (;;) {
        if ((e->flags & flag::kInvalid64) && mode64(c.state)) return nullptr;
        if ((e->flags & flag::kOnly64) && !mode64(c.state)) return nullptr;
        std::uint8_t b;
        switch (e->layout) {
        case Layout::Escape0F:
            if (!c.cur.next(b)) return nullptr;
            d.opcode = b;
            c.map = 1;
            e = &t.twoByte[b];
            break;
        case Layout::Escape38:
            if (!c.cur.next(b)) return nullptr;
            d.opcode = b;
            c.map = 2;
            e = &t.map38[b];
            break;
        case Layout::Escape3A:
            if (!c.cur.next(b)) return nullptr;
            d.opcode = b;
            c.map = 3;
            e = &t.map3A[b];
            break;
        case Layout::Group:
            if (!readModrm(c)) return nullptr;
            e = &t.groups[e->aux][(d.modrm >> 3) & 7];
            break;
        case Layout::GroupSplit:
            if (!readModrm(c)) return nullptr;
            e = &t.splits[e->aux][(d.modrm >> 6) == 3 ? 1 : 0][(d.modrm >> 3) & 7];
            break;
        case Layout::GroupRm:
            if (!readModrm(c)) return nullptr;
            e = &t.rmRows[e->aux][d.modrm & 7];
            break;
        case Layout::Prefixed:
            e = prefixedVariant(c, t.prefixed[e->aux]);
            break;
        case Layout::X87: {
            if (!readModrm(c)) return nullptr;
            const int row = d.opcode - 0xD8;
            const int reg = (d.modrm >> 3) & 7;
            e = (d.modrm >> 6) == 3 ? &t.x87Register[row][reg] : &t.x87Memory[row][reg];
            break;
        }
        default:
            return e;
        }
    }
}

void computeSizes(Context& c) {
    DecodedInstruction& d = c.ins;
    const std::uint32_t s = c.state;
    const bool rexW = (s & state::kRexW) != 0;
    const bool op32 = (s & state::kOperand32) != 0;
    if (rexW) d.opSize = 64;
    else if (mode64(s) && (d.flags & flag::kDefault64)) d.opSize = op32 ? 64 : 16;
    else d.opSize = op32 ? 32 : 16;
    d.addrSize = (s & state::kAddress64) ? 64 : (s & state::kAddress32) ? 32 : 16;
    const int full = (d.form & form::kWide) ? d.opSize : 8;
    d.regSize = std::uint8_t(full);
    if (d.flags & flag::kSizeY) d.regSize = rexW ? 64 : 32;
    if (d.flags & flag::kReg16) d.regSize = 16;
    int rm = full;
    if (d.flags & flag::kRmByte) rm = 8;
    if (d.form & form::kForce16) rm = 16;
    if (d.form & form::kForce32) rm = 32;
    if (d.form & form::kForce64) rm = 64;
    if (d.flags & flag::kRmSizeY) rm = rexW ? 64 : 32;
    if (d.flags & flag::kRmAddrSize) rm = d.addrSize;
    if (d.flags & flag::kRegAddrSize) d.regSize = d.addrSize;
    if (d.flags & flag::kSize64In64) rm = d.regSize = mode64(s) ? 64 : 32;
    d.rmSize = std::uint8_t(rm);
}

void chooseMnemonic(Context& c, const OpcodeEntry& e) {
    DecodedInstruction& d = c.ins;
    d.mnemonic = e.mnemonic;
    if (!(e.flags & flag::kSizedName)) return;
    const int bits = (e.flags & flag::kSizedByAddr) ? d.addrSize : d.opSize;
    d.mnemonic = kSizedNames[e.aux][sizeIndex(bits)];
    const bool defaultIs16 = !(c.baseState & state::kOperand32);
    if ((e.aux == kNamePusha || e.aux == kNamePopa) && d.opSize == 16 && defaultIs16)
        d.mnemonic = e.aux == kNamePusha ? "PUSHA" : "POPA";
    if (e.aux == kNameCmpxchg8b && d.opSize == 64)  // 16 bytes: written "dq"
        d.form = (d.form & ~form::kForce64) | form::kXmmRm;
}

// Reads the operand bytes the layout calls for.
bool readOperands(Context& c) {
    DecodedInstruction& d = c.ins;
    switch (d.layout) {
    case Layout::ModRM:
    case Layout::ModRMOne:
    case Layout::ModRMCL:
    case Layout::ModRMXmm0:
    case Layout::Imul3:
    case Layout::X87Mem: {
        if (!readModrm(c)) return false;
        const bool isReg = (d.modrm >> 6) == 3;
        // A form the instruction does not have is invalid but still takes its bytes.
        if ((isReg && (d.flags & flag::kMemOnly)) || (!isReg && (d.flags & flag::kRegOnly)))
            d.invalid = true;
        if (!readMemory(c) || !readImmediate(c, immediateBytes(d))) return false;
        if (d.flags & flag::kImm2Byte) {
            std::uint8_t second;
            if (!c.cur.next(second)) return false;
            d.imm2 = second;
            d.imm2Size = 1;
        }
        // Segment register numbers 6 and 7 do not exist; the operand bytes are taken along.
        if ((d.form & form::kSegReg) && ((d.modrm >> 3) & 7) >= 6) d.invalid = true;
        return true;
    }
    case Layout::CtrlReg:
    case Layout::DebugReg:
        return readModrm(c);
    case Layout::Amd3DNow: {
        std::uint8_t suffix;
        if (!readModrm(c) || !readMemory(c) || !c.cur.next(suffix)) return false;
        d.mnemonic = amd3DNowName(suffix);
        if (!d.mnemonic) {
            d.mnemonic = "";
            d.invalid = true;
        }
        return true;
    }
    case Layout::AccImm:
    case Layout::Imm:
    case Layout::InImm:
    case Layout::OutImm:
        return readImmediate(c, immediateBytes(d));
    case Layout::RegOpImm:
        return readImmediate(c, (d.form & form::kWide) && d.opSize == 64 ? 8 : immediateBytes(d));
    case Layout::Enter: {
        if (!readImmediate(c, 2)) return false;
        std::uint8_t level;
        if (!c.cur.next(level)) return false;
        d.imm2 = level;
        d.imm2Size = 1;
        return true;
    }
    case Layout::Rel: {
        int bytes = 1;
        if (!(d.form & form::kImm8)) bytes = (mode64(c.state) || d.opSize != 16) ? 4 : 2;
        return readImmediate(c, bytes);
    }
    case Layout::Moffs:
        return readImmediate(c, d.addrSize / 8);
    case Layout::FarPtr: {
        if (!readImmediate(c, d.opSize == 16 ? 2 : 4)) return false;
        std::uint64_t sel;
        if (!c.cur.nextValue(2, sel)) return false;
        d.imm2 = std::uint32_t(sel);
        d.imm2Size = 2;
        return true;
    }
    default:
        return true;
    }
}

// 0F opcodes that have no ModRM byte, unassigned ones included: rows 0 and
// 3 up to the escapes, the conditional jumps, the pushes and pops of FS and
// GS with CPUID and RSM, BSWAP, and EMMS.
bool twoByteWithoutModrm(std::uint8_t op) {
    if (op <= 0x0F) return op != 0x00 && op != 0x01 && op != 0x02 && op != 0x03 && op != 0x0D;
    if (op >= 0x30 && op <= 0x3F) return op != 0x38 && op != 0x3A;
    if (op >= 0x80 && op <= 0x8F) return true;
    if (op >= 0xC8 && op <= 0xCF) return true;
    return op == 0x77 || op == 0xA0 || op == 0xA1 || op == 0xA2 || op == 0xA8 || op == 0xA9 ||
           op == 0xAA;
}

bool twoByteWithImm8(std::uint8_t op) {
    return (op >= 0x70 && op <= 0x73) || op == 0xA4 || op == 0xAC || op == 0xBA || op == 0xC2 ||
           (op >= 0xC4 && op <= 0xC6);
}

// An opcode the tables do not name still has the shape its map gives it:
// in 0F the ModRM byte and 8-bit immediate of its row, in 0F 38 a ModRM
// byte, in 0F 3A a ModRM byte and an 8-bit immediate, with SIB and
// displacement. An unassigned member
// of a one-byte group takes the opcode byte alone.
void skipUnnamed(Context& c, std::size_t opcodeEnd) {
    DecodedInstruction& d = c.ins;
    if (c.map == 0) {
        const bool x87 = d.opcode >= 0xD8 && d.opcode <= 0xDF;
        if (d.hasModrm && !x87) c.cur.pos = opcodeEnd;
        return;
    }
    if (c.map == 1 && twoByteWithoutModrm(d.opcode)) return;
    // The moves to and from control, debug and test registers always name a register.
    if (c.map == 1 && d.opcode >= 0x20 && d.opcode <= 0x27) {
        readModrm(c);
        return;
    }
    d.addrSize = (c.state & state::kAddress64) ? 64 : (c.state & state::kAddress32) ? 32 : 16;
    if (!readModrm(c) || !readMemory(c)) return;
    if (c.map == 3 || (c.map == 1 && twoByteWithImm8(d.opcode))) readImmediate(c, 1);
}

}  // namespace

void decodeOpcode(Context& c, std::uint8_t op) {
    DecodedInstruction& d = c.ins;
    d.opcode = op;
    if ((op == 0xC4 || op == 0xC5 || op == 0x62 || op == 0x8F) && isVectorEscape(c)) {
        decodeVector(c, op);
        return;
    }
    const OpcodeTables& t = kOpcodeTables;
    const OpcodeEntry* e = &t.oneByte[op];
    if (mode64(c.state) && op == 0x63) e = &kMovsxd;
    if (op == 0x90 && (c.state & state::kRexB)) e = &kXchgR8;
    const std::size_t opcodeEnd = c.cur.pos;
    e = resolveEntry(c, e);
    if (!e || e->layout == Layout::Invalid) {
        d.state = c.state;
        d.invalid = true;
        if (!c.cur.overrun && (e || c.map != 0)) skipUnnamed(c, opcodeEnd);
        return;
    }
    // A 66 taken as mandatory prefix by an opcode without SSE variants sets the operand size.
    if (c.mandatory == 0x66 && !c.mandatoryUsed) c.state = withOperandPrefix(c.state, c.baseState);
    d.state = c.state;
    d.form = e->form;
    d.layout = e->layout;
    d.aux = e->aux;
    d.flags = e->flags;
    computeSizes(c);
    chooseMnemonic(c, *e);
    if (!readOperands(c)) d.invalid = true;
}

}  // namespace detail

int decodeOnly(const std::uint8_t* bytes, std::size_t size, std::uint32_t& state,
               DecodedInstruction& out) {
    if (!bytes || size == 0) return 1;
    out = DecodedInstruction{};
    detail::Context c(bytes, size, out, state);
    detail::decodeNext(c);
    if (c.cur.overrun) {
        out.invalid = true;
        out.length = std::uint32_t(size);
    } else {
        out.length = std::uint32_t(c.cur.pos);
    }
    if (out.length == 0) out.length = 1;
    if (out.invalid) state |= state::kDecodeError;
    return 0;
}

int decodeInstruction(const std::uint8_t* bytes, std::size_t size, FilePos position,
                      std::uint32_t& state, char* text, std::size_t capacity,
                      std::uint32_t& length, std::size_t& textLength) {
    if (!text || capacity == 0) return 1;
    DecodedInstruction ins;
    if (decodeOnly(bytes, size, state, ins) != 0) return 1;
    length = ins.length;
    textLength = formatInstruction(ins, position, text, capacity);
    return 0;
}

}  // namespace quorby::disasm
