#pragma once
// Newer VEX and EVEX rows: AVX-512 IFMA, VBMI2, BITALG, GFNI, BF16 and
// VP2INTERSECT; their VEX forms (AVX-IFMA, GFNI, AVX-NE-CONVERT); the
// AVX-VNNI-INT8 dot products, CMPccXADD and the tile instructions of AMX.
#include "decoder/tables_evex.h"

namespace quorby::disasm::vbuild {

constexpr void fillNewerEvex(VectorTables& t) {
    MapRows& m = t.evex[1];
    m[0xB4][P66] = E("VPMADD52LUQ ", VHW, kQ);
    m[0xB5][P66] = E("VPMADD52HUQ ", VHW, kQ);
    m[0x62][P66] = wNames(t, "VPEXPANDB ", "VPEXPANDW ", VW);
    m[0x63][P66] = wNames(t, "VPCOMPRESSB ", "VPCOMPRESSW ", WV);
    m[0x70][P66] = E("VPSHLDVW ", VHW, kW1);
    m[0x71][P66] = dq(t, "VPSHLDVD ", "VPSHLDVQ ", VHW);
    m[0x72][P66] = E("VPSHRDVW ", VHW, kW1);
    m[0x73][P66] = dq(t, "VPSHRDVD ", "VPSHRDVQ ", VHW);
    m[0x8F][P66] = E("VPSHUFBITQMB ", KHW, kW0);
    m[0xCF][P66] = E("VGF2P8MULB ", VHW, kW0);
    m[0x72][PF2] = E("VCVTNE2PS2BF16 ", VHW, kD);
    m[0x72][PF3] = E("VCVTNEPS2BF16 ", operands(Vh, Wx), kD);
    m[0x52][PF3] = E("VDPBF16PS ", VHW, kD);
    m[0x68][PF2] = dq(t, "VP2INTERSECTD ", "VP2INTERSECTQ ", KHW);
    MapRows& a = t.evex[2];
    a[0x70][P66] = E("VPSHLDW ", VHWI, kW1);
    a[0x71][P66] = dq(t, "VPSHLDD ", "VPSHLDQ ", VHWI);
    a[0x72][P66] = E("VPSHRDW ", VHWI, kW1);
    a[0x73][P66] = dq(t, "VPSHRDD ", "VPSHRDQ ", VHWI);
    a[0xCE][P66] = E("VGF2P8AFFINEQB ", VHWI, kQ);
    a[0xCF][P66] = E("VGF2P8AFFINEINVQB ", VHWI, kQ);
}

// AMX, 64-bit mode only: the tile configuration, loads and stores with a
// SIB memory operand, and the dot products (ModRM reg, r/m, then vvvv).
constexpr void fillAmx(VectorTables& t, MapRows& m) {
    const std::uint32_t amx = kW0 | kL0 | kOnly64;
    const std::uint8_t T = operand(kV, kTile), TW = operand(kW, kTile), TH = operand(kH, kTile);
    const VectorEntry none{};
    m[0x49][NP] = byMod(t, byReg(t, {E("LDTILECFG ", operands(Wx), amx), none, none, none, none, none, none, none}),
                        E("TILERELEASE", 0, amx));
    m[0x49][P66] = byMod(t, byReg(t, {E("STTILECFG ", operands(Wx), amx), none, none, none, none, none, none, none}),
                         none);
    m[0x49][PF2] = byMod(t, none, E("TILEZERO ", operands(T), amx));
    m[0x4B][PF2] = E("TILELOADD ", operands(T, TW), amx | kMemOnly);
    m[0x4B][P66] = E("TILELOADDT1 ", operands(T, TW), amx | kMemOnly);
    m[0x4B][PF3] = E("TILESTORED ", operands(TW, T), amx | kMemOnly);
    const std::uint32_t ttt = operands(T, TW, TH);
    m[0x5C][PF3] = E("TDPBF16PS ", ttt, amx | kRegOnly);
    m[0x5C][PF2] = E("TDPFP16PS ", ttt, amx | kRegOnly);
    m[0x5E][NP] = E("TDPBUUD ", ttt, amx | kRegOnly);
    m[0x5E][P66] = E("TDPBUSD ", ttt, amx | kRegOnly);
    m[0x5E][PF3] = E("TDPBSUD ", ttt, amx | kRegOnly);
    m[0x5E][PF2] = E("TDPBSSD ", ttt, amx | kRegOnly);
}

constexpr void fillNewerVex(VectorTables& t) {
    MapRows& m = t.vex[1];
    m[0xB4][P66] = E("VPMADD52LUQ ", VHW, kW1);
    m[0xB5][P66] = E("VPMADD52HUQ ", VHW, kW1);
    m[0xCF][P66] = E("VGF2P8MULB ", VHW, kW0);
    m[0x72][PF3] = E("VCVTNEPS2BF16 ", operands(Vh, Wx), kW0);
    m[0xB0][P66] = E("VCVTNEEPH2PS ", VW, kW0 | kMemOnly);
    m[0xB0][PF3] = E("VCVTNEEBF162PS ", VW, kW0 | kMemOnly);
    m[0xB0][PF2] = E("VCVTNEOBF162PS ", VW, kW0 | kMemOnly);
    m[0xB0][NP] = E("VCVTNEOPH2PS ", VW, kW0 | kMemOnly);
    m[0xB1][P66] = E("VBCSTNESH2PS ", operands(Vx, W16), kW0 | kMemOnly);
    m[0xB1][PF3] = E("VBCSTNEBF162PS ", operands(Vx, W16), kW0 | kMemOnly);
    const char* const int8[2][3] = {{"VPDPBUUD ", "VPDPBSUD ", "VPDPBSSD "},
                                    {"VPDPBUUDS ", "VPDPBSUDS ", "VPDPBSSDS "}};
    for (int i = 0; i < 2; ++i) {
        m[0x50 + i][NP] = E(int8[i][0], VHW, kW0);
        m[0x50 + i][PF3] = E(int8[i][1], VHW, kW0);
        m[0x50 + i][PF2] = E(int8[i][2], VHW, kW0);
    }
    // CMPccXADD: memory, the register compared and the register added.
    const char* const cmpxadd[16] = {"CMPOXADD ", "CMPNOXADD ", "CMPBXADD ", "CMPNBXADD ",
                                     "CMPZXADD ", "CMPNZXADD ", "CMPBEXADD ", "CMPNBEXADD ",
                                     "CMPSXADD ", "CMPNSXADD ", "CMPPXADD ", "CMPNPXADD ",
                                     "CMPLXADD ", "CMPNLXADD ", "CMPLEXADD ", "CMPNLEXADD "};
    for (int i = 0; i < 16; ++i)
        m[0xE0 + i][P66] = E(cmpxadd[i], operands(Ey, Gy, By), kL0 | kMemOnly | kOnly64 | kSizeLetter);
    fillAmx(t, m);
    MapRows& a = t.vex[2];
    a[0xCE][P66] = E("VGF2P8AFFINEQB ", VHWI, kW1);
    a[0xCF][P66] = E("VGF2P8AFFINEINVQB ", VHWI, kW1);
}

}  // namespace quorby::disasm::vbuild
