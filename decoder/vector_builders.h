#pragma once
// Short constructors used only while the VEX and EVEX tables are built at
// compile time, so that each row reads close to the published opcode maps
// (V: ModRM reg, H: vvvv, W: ModRM r/m, suffix: the operand's size).
#include "decoder/vector_tables.h"

namespace quorby::disasm::vbuild {

using namespace vec;

using MapRows = std::array<std::array<VectorEntry, 4>, 256>;
enum Prefix : int { NP = 0, P66 = 1, PF3 = 2, PF2 = 3 };

inline constexpr std::uint8_t Vx = operand(kV), Hx = operand(kH), Wx = operand(kW);
inline constexpr std::uint8_t Vh = operand(kV, kHalf), Hh = operand(kH, kHalf), Wh = operand(kW, kHalf);
inline constexpr std::uint8_t Wq = operand(kW, kQuarter), We = operand(kW, kEighth);
inline constexpr std::uint8_t V128 = operand(kV, kX), H128 = operand(kH, kX), W128 = operand(kW, kX);
inline constexpr std::uint8_t Vy = operand(kV, kY), Hy = operand(kH, kY), Wy = operand(kW, kY);
inline constexpr std::uint8_t V32 = operand(kV, kM32), H32 = operand(kH, kM32), W32 = operand(kW, kM32);
inline constexpr std::uint8_t V64 = operand(kV, kM64), H64 = operand(kH, kM64), W64 = operand(kW, kM64);
inline constexpr std::uint8_t W8 = operand(kW, kM8), W16 = operand(kW, kM16);
inline constexpr std::uint8_t Lx = operand(kL), Ib = operand(kIb), Id = operand(kId);
inline constexpr std::uint8_t Gy = operand(kG), By = operand(kB), Ey = operand(kE);
inline constexpr std::uint8_t Gd = operand(kG, kM32), Ed = operand(kE, kM32);
inline constexpr std::uint8_t Eb = operand(kE, kM8), Ew = operand(kE, kM16);
inline constexpr std::uint8_t Kr = operand(kK), KH = operand(kKH), KW = operand(kKW);
inline constexpr std::uint8_t Vsib = operand(kVsib), VsibH = operand(kVsib, kHalf);

inline constexpr std::uint32_t VHW = operands(Vx, Hx, Wx);
inline constexpr std::uint32_t VHWI = operands(Vx, Hx, Wx, Ib);
inline constexpr std::uint32_t VW = operands(Vx, Wx);
inline constexpr std::uint32_t WV = operands(Wx, Vx);
inline constexpr std::uint32_t VWI = operands(Vx, Wx, Ib);
inline constexpr std::uint32_t SS = operands(V32, H32, W32);
inline constexpr std::uint32_t SD = operands(V64, H64, W64);
inline constexpr std::uint32_t KHW = operands(Kr, Hx, Wx);
inline constexpr std::uint32_t KHWI = operands(Kr, Hx, Wx, Ib);

constexpr VectorEntry E(const char* m, std::uint32_t ops, std::uint32_t f = 0) {
    return VectorEntry{m, ops, f, Split::None, 0};
}

constexpr VectorEntry addPool(VectorTables& t, Split s, const VectorEntry* alts, int n) {
    const int at = t.poolCount;
    for (int i = 0; i < n; ++i) t.pool[at + i] = alts[i];
    t.poolCount += n;
    return VectorEntry{"", 0, 0, s, std::uint16_t(at)};
}
constexpr VectorEntry byW(VectorTables& t, const VectorEntry& w0, const VectorEntry& w1) {
    const VectorEntry alts[2] = {w0, w1};
    return addPool(t, Split::W, alts, 2);
}
constexpr VectorEntry byMod(VectorTables& t, const VectorEntry& memory, const VectorEntry& reg) {
    const VectorEntry alts[2] = {memory, reg};
    return addPool(t, Split::Mod, alts, 2);
}
constexpr VectorEntry byL(VectorTables& t, const VectorEntry& l0, const VectorEntry& l1) {
    const VectorEntry alts[2] = {l0, l1};
    return addPool(t, Split::L, alts, 2);
}
constexpr VectorEntry byReg(VectorTables& t, const std::array<VectorEntry, 8>& members) {
    return addPool(t, Split::Reg, members.data(), 8);
}
// One mnemonic for W0 and another for W1, same operands and flags.
constexpr VectorEntry wNames(VectorTables& t, const char* w0, const char* w1, std::uint32_t ops,
                             std::uint32_t f = 0) {
    return byW(t, E(w0, ops, f), E(w1, ops, f));
}

}  // namespace quorby::disasm::vbuild
