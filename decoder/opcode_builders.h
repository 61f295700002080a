#pragma once
// Short constructors used only while the opcode tables are built at compile
// time, so that each table row reads close to the published opcode map.
#include "decoder/decoder_state.h"
#include "decoder/opcode_tables.h"

namespace quorby::disasm::build {

// OperandForm shorthands.
inline constexpr std::uint32_t W = form::kWide;
inline constexpr std::uint32_t D = form::kRegFirst;
inline constexpr std::uint32_t I = form::kImm;
inline constexpr std::uint32_t I8 = form::kImm | form::kImm8;
inline constexpr std::uint32_t R = form::kRegOperand;
inline constexpr std::uint32_t S = form::kSizeLetter;
inline constexpr std::uint32_t SG = form::kSigned;
inline constexpr std::uint32_t SEG = form::kSegReg;
inline constexpr std::uint32_t PR = form::kMmxReg;   // P: MMX in reg
inline constexpr std::uint32_t QR = form::kMmxRm;    // Q/N: MMX in r/m
inline constexpr std::uint32_t VR = form::kXmmReg;   // V: XMM in reg
inline constexpr std::uint32_t WR = form::kXmmRm;    // W/U: XMM in r/m
inline constexpr std::uint32_t F16 = form::kForce16;
inline constexpr std::uint32_t F32 = form::kForce32;
inline constexpr std::uint32_t F64 = form::kForce64;
inline constexpr std::uint32_t FAR = form::kFarPointer;
inline constexpr std::uint32_t TB = form::kTbyte;

// Common register/register-or-memory forms.
inline constexpr std::uint32_t Eb_Gb = R;
inline constexpr std::uint32_t Ev_Gv = R | W;
inline constexpr std::uint32_t Gb_Eb = R | D;
inline constexpr std::uint32_t Gv_Ev = R | D | W;
inline constexpr std::uint32_t Vx_Wx = R | D | VR | WR;
inline constexpr std::uint32_t Wx_Vx = R | VR | WR;
inline constexpr std::uint32_t Pq_Qq = R | D | PR | QR;
inline constexpr std::uint32_t Qq_Pq = R | PR | QR;

inline constexpr std::uint16_t kI64 = flag::kInvalid64;
inline constexpr std::uint16_t kO64 = flag::kOnly64;
inline constexpr std::uint16_t kD64 = flag::kDefault64;
inline constexpr std::uint16_t kMem = flag::kMemOnly;
inline constexpr std::uint16_t kReg = flag::kRegOnly;

constexpr OpcodeEntry X() { return OpcodeEntry{}; }
constexpr OpcodeEntry N(const char* m, std::uint16_t f = 0) {
    return OpcodeEntry{m, 0, Layout::None, 0, f};
}
constexpr OpcodeEntry M(const char* m, std::uint32_t fm, std::uint16_t f = 0) {
    return OpcodeEntry{m, fm, Layout::ModRM, 0, f};
}
constexpr OpcodeEntry L(const char* m, Layout l, std::uint32_t fm = 0, std::uint8_t aux = 0,
                        std::uint16_t f = 0) {
    return OpcodeEntry{m, fm, l, aux, f};
}
// A mnemonic chosen by operand size from kSizedNames.
constexpr OpcodeEntry SN(SizedName n, Layout l = Layout::None, std::uint32_t fm = 0,
                         std::uint16_t f = 0) {
    return OpcodeEntry{"", fm, l, std::uint8_t(n), std::uint16_t(f | flag::kSizedName)};
}

// Pool helpers: each adds a row to a pool and returns the entry that refers to it.
constexpr OpcodeEntry addGroup(OpcodeTables& t, const OpcodeRow8& row, std::uint16_t f = 0) {
    t.groups[t.groupCount] = row;
    return OpcodeEntry{"", 0, Layout::Group, std::uint8_t(t.groupCount++), f};
}
constexpr OpcodeEntry addSplit(OpcodeTables& t, const OpcodeRow8& memory, const OpcodeRow8& reg) {
    t.splits[t.splitCount] = {memory, reg};
    return OpcodeEntry{"", 0, Layout::GroupSplit, std::uint8_t(t.splitCount++), 0};
}
constexpr OpcodeEntry addRmRow(OpcodeTables& t, const OpcodeRow8& row) {
    t.rmRows[t.rmRowCount] = row;
    return OpcodeEntry{"", 0, Layout::GroupRm, std::uint8_t(t.rmRowCount++), 0};
}
constexpr OpcodeEntry addPrefixed(OpcodeTables& t, const OpcodeEntry& none, const OpcodeEntry& p66,
                                  const OpcodeEntry& pF3, const OpcodeEntry& pF2) {
    t.prefixed[t.prefixedCount] = PrefixedRow{none, p66, pF3, pF2};
    return OpcodeEntry{"", 0, Layout::Prefixed, std::uint8_t(t.prefixedCount++), 0};
}
// One entry for the memory form and one for the register form, whatever the reg field.
constexpr OpcodeEntry byMod(OpcodeTables& t, const OpcodeEntry& memory, const OpcodeEntry& reg) {
    OpcodeRow8 a{}, b{};
    for (int r = 0; r < 8; ++r) {
        a[r] = memory;
        b[r] = reg;
    }
    return addSplit(t, a, b);
}
// An MMX instruction with its SSE2 form under 66.
constexpr OpcodeEntry mmxSse(OpcodeTables& t, const char* m, std::uint32_t extra = 0) {
    return addPrefixed(t, M(m, Pq_Qq | extra), M(m, Vx_Wx | extra), X(), X());
}
// An SSE instruction in its four variants ps, pd, ss, sd (empty name: invalid).
constexpr OpcodeEntry sse4(OpcodeTables& t, const char* ps, const char* pd, const char* ss,
                           const char* sd, std::uint32_t fm = Vx_Wx, std::uint16_t f = 0) {
    auto v = [&](const char* m) { return m[0] ? M(m, fm, f) : X(); };
    return addPrefixed(t, v(ps), v(pd), v(ss), v(sd));
}
// An instruction that exists only with the mandatory prefix 66.
constexpr OpcodeEntry only66(OpcodeTables& t, const OpcodeEntry& e) {
    return addPrefixed(t, X(), e, X(), X());
}

}  // namespace quorby::disasm::build
