// VEX and EVEX instructions: the prefix fields, the walk to the table entry,
// the operand bytes and the checks an encoding must pass. An encoding that
// fails a check takes all its bytes and decodes as an invalid opcode, so that
// the listing goes on at the next instruction.
#include "decoder/decode_context.h"
#include "decoder/vector_operands.h"
#include "decoder/vector_tables.h"

namespace quorby::disasm::detail {

namespace {

using namespace vec;

// The fields of a VEX or EVEX prefix, the inverted ones already turned round.
struct VectorPrefix {
    bool evex = false;
    bool xop = false;
    int map = 1;  // 1: 0F, 2: 0F 38, 3: 0F 3A, XOP 8, 9, 10; any other value is no known map
    int pp = 0;   // implied prefix: none, 66, F3, F2
    bool r = false, x = false, b = false, w = false;
    bool r2 = false, v2 = false;  // EVEX R' and V'
    int vvvv = 0;
    int length = 0;               // VEX.L, or EVEX L'L
    int mask = 0;
    bool zeroing = false, bcst = false;
    bool reserved = false;        // a fixed bit of the EVEX prefix has the wrong value
};

bool readVex(Cursor& cur, std::uint8_t op, VectorPrefix& p) {
    std::uint8_t b1;
    if (!cur.next(b1)) return false;
    std::uint8_t b2 = b1;  // C5 has R, vvvv, L and pp in one byte
    p.xop = op == 0x8F;    // XOP has the fields of the three-byte VEX form
    if (op != 0xC5) {
        p.x = !(b1 & 0x40);
        p.b = !(b1 & 0x20);
        p.map = b1 & 0x1F;
        if (!cur.next(b2)) return false;
        p.w = (b2 & 0x80) != 0;
    }
    p.r = !(b1 & 0x80);
    p.vvvv = (~b2 >> 3) & 15;
    p.length = (b2 >> 2) & 1;
    p.pp = b2 & 3;
    return true;
}

bool readEvex(Cursor& cur, VectorPrefix& p) {
    std::uint8_t p0, p1, p2;
    if (!cur.next(p0) || !cur.next(p1) || !cur.next(p2)) return false;
    p.evex = true;
    p.r = !(p0 & 0x80);
    p.x = !(p0 & 0x40);
    p.b = !(p0 & 0x20);
    p.r2 = !(p0 & 0x10);
    p.map = p0 & 7;
    p.reserved = (p0 & 0x08) || !(p1 & 0x04);
    p.w = (p1 & 0x80) != 0;
    p.vvvv = (~p1 >> 3) & 15;
    p.pp = p1 & 3;
    p.zeroing = (p2 & 0x80) != 0;
    p.length = (p2 >> 5) & 3;
    p.bcst = (p2 & 0x10) != 0;
    p.v2 = !(p2 & 0x08);
    p.mask = p2 & 7;
    return true;
}

// True when the entry has a general register whose width W selects.
bool hasSizedGpr(const VectorEntry& e) {
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t op = std::uint8_t(e.operands >> (8 * i));
        const Kind k = kindOf(op);
        if ((k == kE || k == kG || k == kB) && sizeOf(op) == kFull) return true;
    }
    return false;
}

// Follows W, mod, reg and length splits down to the instruction's entry;
// nullptr when the span ends at the ModRM byte. Outside 64-bit mode the
// general registers have 32 bits whatever W says, so W1 names the 32-bit
// form there (VMOVD, VPEXTRD, VPINSRD, VPBROADCASTD, KMOVD).
const VectorEntry* resolve(Context& c, const VectorEntry* e, const VectorPrefix& p) {
    const auto& pool = kVectorTables.pool;
    for (;;) {
        switch (e->split) {
        case Split::None:
            return e;
        case Split::W: {
            const bool w = p.w && (mode64(c.state) || !hasSizedGpr(pool[e->aux + 1]));
            e = &pool[e->aux + (w ? 1 : 0)];
            break;
        }
        case Split::L:
            e = &pool[e->aux + (p.length ? 1 : 0)];
            break;
        case Split::Mod:
            if (!readModrm(c)) return nullptr;
            e = &pool[e->aux + ((c.ins.modrm >> 6) == 3 ? 1 : 0)];
            break;
        case Split::Reg:
            if (!readModrm(c)) return nullptr;
            e = &pool[e->aux + ((c.ins.modrm >> 3) & 7)];
            break;
        }
    }
}

// An opcode outside the tables still has the shape of its map: a ModRM byte
// (all but VZEROUPPER/VZEROALL) and, in 0F 3A and XOP 8, an 8-bit
// immediate, in XOP A a 32-bit one.
void skipUnknown(Context& c, const VectorPrefix& p) {
    c.ins.invalid = true;
    if (!p.xop && p.map == 1 && c.ins.opcode == 0x77) return;
    if (!readModrm(c) || !readMemory(c)) return;
    if ((!p.xop && p.map == 3) || (p.xop && p.map == 8)) readImmediate(c, 1);
    if (p.xop && p.map == 10) readImmediate(c, 4);
}

struct OperandUse {
    bool vvvv = false, vsib = false;
    int immBytes = 0;
    std::uint8_t vsibOperand = 0;
};

OperandUse operandUse(const VectorEntry& e) {
    OperandUse u;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t op = std::uint8_t(e.operands >> (8 * i));
        const Kind k = kindOf(op);
        if (k == kH || k == kB || k == kKH) u.vvvv = true;
        if (k == kIb || k == kL) u.immBytes = 1;
        if (k == kId) u.immBytes = 4;
        if (k == kVsib) {
            u.vsib = true;
            u.vsibOperand = op;
        }
    }
    return u;
}

// The vector length, rounding and broadcast that the EVEX bits L'L and b
// select; false when the entry allows none of them.
bool applyEvexControls(DecodedInstruction& d, const VectorPrefix& p, std::uint32_t flags, bool isReg) {
    if (!p.bcst) return p.length != 3 || (flags & kLig);
    if (isReg) {
        d.vectorBits = 512;
        if (flags & kRounding) d.rounding = std::uint8_t(kRoundNearest + p.length);
        else if (flags & kSae) d.rounding = kSuppressOnly;
        else return false;
        return true;
    }
    if (!(flags & (kBcst16 | kBcst32 | kBcst64))) return false;
    d.broadcast = 1;  // the count is known once the operand's size is
    return p.length != 3;
}

bool passesChecks(const DecodedInstruction& d, const VectorPrefix& p, const OperandUse& use,
                  std::uint32_t flags, bool isReg, bool blocked) {
    if (blocked || p.reserved) return false;
    if (!(flags & kLig) && !d.rounding) {
        if ((flags & kL0) && p.length != 0) return false;
        if ((flags & kL1) && p.length == 0) return false;
    }
    if (((flags & kW0) && p.w) || ((flags & kW1) && !p.w)) return false;
    if ((flags & kOnly64) && !(d.state & state::kMode64)) return false;
    if (((flags & kMemOnly) && isReg) || ((flags & kRegOnly) && !isReg)) return false;
    if (!use.vvvv && (d.vvvv & (use.vsib ? 15 : 31)) != 0) return false;  // V' extends a VSIB index
    if (use.vsib && (isReg || (d.modrm & 7) != 4 || (p.evex && p.mask == 0))) return false;
    // A VEX gather needs three different registers: destination, index and mask.
    if (use.vsib && !p.evex && (d.vreg == d.vindex || d.vreg == d.vvvv || d.vindex == d.vvvv)) return false;
    // Zeroing needs a mask register other than K0.
    if (p.evex && p.zeroing && p.mask == 0) return false;
    return true;
}

void setRegisters(DecodedInstruction& d, const VectorPrefix& p, bool m64) {
    const int r = m64 && p.r ? 8 : 0, r2 = m64 && p.r2 ? 16 : 0;
    const int b = m64 && p.b ? 8 : 0, x = m64 && p.x ? 8 : 0, x2 = m64 && p.evex && p.x ? 16 : 0;
    const int v2 = m64 && p.evex && p.v2 ? 16 : 0;
    d.vreg = std::uint8_t(((d.modrm >> 3) & 7) | r | r2);
    d.vrm = std::uint8_t((d.modrm & 7) | b | x2);
    d.vvvv = std::uint8_t((m64 ? p.vvvv : p.vvvv & 7) | v2);
    d.vindex = std::uint8_t(((d.sib >> 3) & 7) | x | v2);
}

// Memory size, broadcast count and EVEX displacement factor of the memory operand.
void sizeMemory(DecodedInstruction& d, const VectorEntry& e, const OperandUse& use, bool evex) {
    const std::uint8_t memOp = vectorMemoryOperand(e);
    if (use.vsib) d.vsibBits = std::uint16_t(vectorRegisterBits(sizeOf(use.vsibOperand), d.vectorBits));
    int bytes = vectorMemoryBytes(memOp, d);
    if (d.broadcast) {
        const int element = (e.flags & kBcst64) ? 8 : (e.flags & kBcst16) ? 2 : 4;
        d.broadcast = std::uint8_t(bytes / element);
        bytes = element;
    }
    if (e.flags & kDispByElement) bytes = d.vexW ? 8 : 4;
    if (evex) d.dispScale = std::uint8_t(bytes);
}

}  // namespace

bool isVectorEscape(const Context& c) {
    if (c.ins.opcode == 0x8F) {  // XOP: POP has reg 0, XOP a map of 8 or more
        const int next = c.cur.peek(0);
        return (c.baseState & state::kProtected) && next >= 0 && (next & 0x1F) >= 8;
    }
    if (mode64(c.state)) return true;
    if (!(c.baseState & state::kProtected)) return false;  // Real Mode: LES, LDS, BOUND
    const int next = c.cur.peek(0);
    return next >= 0 && (next & 0xC0) == 0xC0;
}

void decodeVector(Context& c, std::uint8_t op) {
    DecodedInstruction& d = c.ins;
    VectorPrefix p;
    if (!(op == 0x62 ? readEvex(c.cur, p) : readVex(c.cur, op, p))) return;
    if (!c.cur.next(d.opcode)) return;
    const bool m64 = mode64(c.state);
    c.state &= ~state::kRexBits;
    if (m64) {
        if (p.r) c.state |= state::kRexR;
        if (p.x) c.state |= state::kRexX;
        if (p.b) c.state |= state::kRexB;
        if (p.w) c.state |= state::kRexW;
    }
    d.state = c.state;
    d.layout = Layout::Vector;
    d.vexW = p.w;
    d.addrSize = (c.state & state::kAddress64) ? 64 : (c.state & state::kAddress32) ? 32 : 16;
    const VectorEntry* e = nullptr;
    if (p.xop && p.map >= 8 && p.map <= 10) {
        e = resolve(c, &kVectorTables.xop[p.map - 8][d.opcode][p.pp], p);
        if (!e) return;
    } else if (p.evex && (p.map == 5 || p.map == 6)) {
        e = resolve(c, &kVectorTables.evexFp16[p.map - 5][d.opcode][p.pp], p);
        if (!e) return;
    } else if (!p.xop && p.map >= 1 && p.map <= 3) {
        const VectorMap& maps = p.evex ? kVectorTables.evex : kVectorTables.vex;
        e = resolve(c, &maps[p.map - 1][d.opcode][p.pp], p);
        if (!e) return;
    }
    if (!e || !e->mnemonic) {
        skipUnknown(c, p);
        return;
    }
    d.vector = e;
    d.mnemonic = e->mnemonic;
    const OperandUse use = operandUse(*e);
    const bool hasModrm = e->operands != 0;
    if (hasModrm && !readModrm(c)) return;
    const bool isReg = hasModrm && (d.modrm >> 6) == 3;
    if (hasModrm && !isReg && !readMemory(c)) return;
    if (!readImmediate(c, use.immBytes)) return;
    d.vectorBits = std::uint16_t(p.evex ? 128 << (p.length > 2 ? 2 : p.length) : (p.length ? 256 : 128));
    const bool controlsFit = !p.evex || applyEvexControls(d, p, e->flags, isReg);
    setRegisters(d, p, m64);
    if (hasModrm && !isReg) sizeMemory(d, *e, use, p.evex);
    d.mask = std::uint8_t(p.evex ? p.mask : 0);
    d.zeroing = p.evex && p.zeroing;
    if (!controlsFit || !passesChecks(d, p, use, e->flags, isReg, c.vexBlocked)) d.invalid = true;
}

}  // namespace quorby::disasm::detail
