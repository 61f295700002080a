#pragma once
// AMD's vector extensions: the XOP maps 8 (with an 8-bit immediate), 9 and
// A (with a 32-bit immediate), among them TBM and LWP, and the four-operand
// FMA4 and VPERMIL2PS/PD in the VEX map 0F 3A. The fourth register comes
// from the immediate's high four bits; W swaps it with the r/m operand.
#include "decoder/vector_builders.h"

namespace quorby::disasm::vbuild {

// Vx, Hx, then the r/m operand and the immediate's register, swapped by W.
constexpr VectorEntry fourOperands(VectorTables& t, const char* m, std::uint8_t v, std::uint8_t h,
                                   std::uint8_t w, std::uint8_t l, std::uint32_t f = 0) {
    return byW(t, E(m, operands(v, h, w, l), f), E(m, operands(v, h, l, w), f));
}

constexpr void fillFma4(VectorTables& t) {
    MapRows& m = t.vex[2];
    const std::uint8_t L128 = operand(kL, kX);
    const char* const packed[12] = {"VFMADDSUBPS ", "VFMADDSUBPD ", "VFMSUBADDPS ", "VFMSUBADDPD ",
                                    "VFMADDPS ",    "VFMADDPD ",    "VFMSUBPS ",    "VFMSUBPD ",
                                    "VFNMADDPS ",   "VFNMADDPD ",   "VFNMSUBPS ",   "VFNMSUBPD "};
    const int packedOps[12] = {0x5C, 0x5D, 0x5E, 0x5F, 0x68, 0x69, 0x6C, 0x6D, 0x78, 0x79, 0x7C, 0x7D};
    for (int i = 0; i < 12; ++i) m[packedOps[i]][P66] = fourOperands(t, packed[i], Vx, Hx, Wx, Lx);
    const char* const scalar[8] = {"VFMADDSS ", "VFMADDSD ", "VFMSUBSS ", "VFMSUBSD ",
                                   "VFNMADDSS ", "VFNMADDSD ", "VFNMSUBSS ", "VFNMSUBSD "};
    const int scalarOps[8] = {0x6A, 0x6B, 0x6E, 0x6F, 0x7A, 0x7B, 0x7E, 0x7F};
    for (int i = 0; i < 8; ++i)
        m[scalarOps[i]][P66] = fourOperands(t, scalar[i], V128, H128, i % 2 ? W64 : W32, L128, kLig);
    m[0x48][P66] = fourOperands(t, "VPERMIL2PS ", Vx, Hx, Wx, Lx);
    m[0x49][P66] = fourOperands(t, "VPERMIL2PD ", Vx, Hx, Wx, Lx);
}

constexpr void fillXop8(VectorTables& t) {
    MapRows& m = t.xop[0];
    const std::uint32_t vhwl = operands(Vx, Hx, Wx, Lx);
    const char* const macs[10] = {"VPMACSSWW ", "VPMACSSWD ", "VPMACSSDQL ", "VPMACSSDD ", "VPMACSSDQH ",
                                  "VPMACSWW ",  "VPMACSWD ",  "VPMACSDQL ",  "VPMACSDD ",  "VPMACSDQH "};
    const int macsOps[10] = {0x85, 0x86, 0x87, 0x8E, 0x8F, 0x95, 0x96, 0x97, 0x9E, 0x9F};
    for (int i = 0; i < 10; ++i) m[macsOps[i]][NP] = E(macs[i], vhwl, kW0);
    m[0xA6][NP] = E("VPMADCSSWD ", vhwl, kW0);
    m[0xB6][NP] = E("VPMADCSWD ", vhwl, kW0);
    m[0xA2][NP] = fourOperands(t, "VPCMOV ", Vx, Hx, Wx, Lx);
    m[0xA3][NP] = fourOperands(t, "VPPERM ", Vx, Hx, Wx, Lx, kL0);
    const char* const rot[4] = {"VPROTB ", "VPROTW ", "VPROTD ", "VPROTQ "};
    for (int i = 0; i < 4; ++i) m[0xC0 + i][NP] = E(rot[i], VWI, kW0 | kL0);
    const char* const com[8] = {"VPCOMB ", "VPCOMW ", "VPCOMD ", "VPCOMQ ",
                                "VPCOMUB ", "VPCOMUW ", "VPCOMUD ", "VPCOMUQ "};
    for (int i = 0; i < 4; ++i) {
        m[0xCC + i][NP] = E(com[i], VHWI, kW0 | kL0);
        m[0xEC + i][NP] = E(com[i + 4], VHWI, kW0 | kL0);
    }
}

constexpr void fillXop9(VectorTables& t) {
    MapRows& m = t.xop[1];
    const VectorEntry none{};
    const std::uint32_t be = operands(By, Ey);
    // TBM: the destination in vvvv.
    m[0x01][NP] = byReg(t, {none, E("BLCFILL ", be, kL0), E("BLSFILL ", be, kL0), E("BLCS ", be, kL0),
                            E("TZMSK ", be, kL0), E("BLCIC ", be, kL0), E("BLSIC ", be, kL0),
                            E("T1MSKC ", be, kL0)});
    m[0x02][NP] = byReg(t, {none, E("BLCMSK ", be, kL0), none, none, none, none, E("BLCI ", be, kL0), none});
    // LWP: the control block's address in a register.
    m[0x12][NP] = byReg(t, {E("LLWPCB ", operands(Ey), kL0 | kRegOnly), E("SLWPCB ", operands(Ey), kL0 | kRegOnly),
                            none, none, none, none, none, none});
    m[0x80][NP] = E("VFRCZPS ", VW, kW0);
    m[0x81][NP] = E("VFRCZPD ", VW, kW0);
    m[0x82][NP] = E("VFRCZSS ", operands(V128, W32), kW0 | kL0);
    m[0x83][NP] = E("VFRCZSD ", operands(V128, W64), kW0 | kL0);
    const char* const shifts[12] = {"VPROTB ", "VPROTW ", "VPROTD ", "VPROTQ ", "VPSHLB ", "VPSHLW ",
                                    "VPSHLD ", "VPSHLQ ", "VPSHAB ", "VPSHAW ", "VPSHAD ", "VPSHAQ "};
    for (int i = 0; i < 12; ++i)
        m[0x90 + i][NP] = byW(t, E(shifts[i], operands(Vx, Wx, Hx), kL0), E(shifts[i], VHW, kL0));
    const char* const hadd[12] = {"VPHADDBW ", "VPHADDBD ", "VPHADDBQ ", "VPHADDWD ", "VPHADDWQ ", "VPHADDDQ ",
                                  "VPHADDUBW ", "VPHADDUBD ", "VPHADDUBQ ", "VPHADDUWD ", "VPHADDUWQ ", "VPHADDUDQ "};
    const int haddOps[6] = {0x01, 0x02, 0x03, 0x06, 0x07, 0x0B};
    for (int i = 0; i < 6; ++i) {
        m[0xC0 + haddOps[i]][NP] = E(hadd[i], VW, kW0 | kL0);
        m[0xD0 + haddOps[i]][NP] = E(hadd[i + 6], VW, kW0 | kL0);
    }
    m[0xE1][NP] = E("VPHSUBBW ", VW, kW0 | kL0);
    m[0xE2][NP] = E("VPHSUBWD ", VW, kW0 | kL0);
    m[0xE3][NP] = E("VPHSUBDQ ", VW, kW0 | kL0);
}

constexpr void fillXopA(VectorTables& t) {
    MapRows& m = t.xop[2];
    const VectorEntry none{};
    m[0x10][NP] = E("BEXTR ", operands(Gy, Ey, Id), kL0);
    m[0x12][NP] = byReg(t, {E("LWPINS ", operands(By, Ed, Id), kL0), E("LWPVAL ", operands(By, Ed, Id), kL0),
                            none, none, none, none, none, none});
}

}  // namespace quorby::disasm::vbuild
