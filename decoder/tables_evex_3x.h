#pragma once
// The EVEX maps 0F 38 and 0F 3A: AVX-512F, BW, DQ, CD, VNNI, VPOPCNTDQ,
// BITALG, VBMI and the EVEX forms of VAES and VPCLMULQDQ.
#include "decoder/tables_evex.h"
#include "decoder/tables_vex.h"

namespace quorby::disasm::vbuild {

// Sign and zero extensions under 66 and the down-converting moves under F3
// (row 0x20 + i: signed saturation, 0x10 + i: unsigned, 0x30 + i: truncation).
constexpr void fillEvexExtendsAndNarrows(MapRows& m) {
    const std::uint8_t part[6] = {Wh, Wq, We, Wh, Wq, Wh};
    const char* const sx[6] = {"VPMOVSXBW ", "VPMOVSXBD ", "VPMOVSXBQ ", "VPMOVSXWD ", "VPMOVSXWQ ", "VPMOVSXDQ "};
    const char* const zx[6] = {"VPMOVZXBW ", "VPMOVZXBD ", "VPMOVZXBQ ", "VPMOVZXWD ", "VPMOVZXWQ ", "VPMOVZXDQ "};
    const char* const ss[6] = {"VPMOVSWB ", "VPMOVSDB ", "VPMOVSQB ", "VPMOVSDW ", "VPMOVSQW ", "VPMOVSQD "};
    const char* const us[6] = {"VPMOVUSWB ", "VPMOVUSDB ", "VPMOVUSQB ", "VPMOVUSDW ", "VPMOVUSQW ", "VPMOVUSQD "};
    const char* const tr[6] = {"VPMOVWB ", "VPMOVDB ", "VPMOVQB ", "VPMOVDW ", "VPMOVQW ", "VPMOVQD "};
    for (int i = 0; i < 6; ++i) {
        const std::uint32_t dqOnly = i == 5 ? kW0 : 0;
        m[0x20 + i][P66] = E(sx[i], operands(Vx, part[i]), dqOnly);
        m[0x30 + i][P66] = E(zx[i], operands(Vx, part[i]), dqOnly);
        m[0x20 + i][PF3] = E(ss[i], operands(part[i], Vx), kW0 | kSizeLetter);
        m[0x10 + i][PF3] = E(us[i], operands(part[i], Vx), kW0 | kSizeLetter);
        m[0x30 + i][PF3] = E(tr[i], operands(part[i], Vx), kW0 | kSizeLetter);
    }
}

constexpr void fillEvexGathers(VectorTables& t, MapRows& m) {
    const std::uint32_t gFull = operands(Vx, Vsib), gWide = operands(Vh, Vsib), gNarrow = operands(Vx, VsibH);
    const std::uint32_t sFull = operands(Vsib, Vx), sWide = operands(Vsib, Vh), sNarrow = operands(VsibH, Vx);
    m[0x90][P66] = byW(t, E("VPGATHERDD ", gFull), E("VPGATHERDQ ", gNarrow));
    m[0x91][P66] = byW(t, E("VPGATHERQD ", gWide), E("VPGATHERQQ ", gFull));
    m[0x92][P66] = byW(t, E("VGATHERDPS ", gFull), E("VGATHERDPD ", gNarrow));
    m[0x93][P66] = byW(t, E("VGATHERQPS ", gWide), E("VGATHERQPD ", gFull));
    m[0xA0][P66] = byW(t, E("VPSCATTERDD ", sFull), E("VPSCATTERDQ ", sNarrow));
    m[0xA1][P66] = byW(t, E("VPSCATTERQD ", sWide), E("VPSCATTERQQ ", sFull));
    m[0xA2][P66] = byW(t, E("VSCATTERDPS ", sFull), E("VSCATTERDPD ", sNarrow));
    m[0xA3][P66] = byW(t, E("VSCATTERQPS ", sWide), E("VSCATTERQPD ", sFull));
}

constexpr void fillEvexMaskConversions(VectorTables& t, MapRows& m) {
    const std::uint32_t fromMask = operands(Vx, KW), toMask = operands(Kr, Wx);
    m[0x28][PF3] = wNames(t, "VPMOVM2B ", "VPMOVM2W ", fromMask, kRegOnly);
    m[0x38][PF3] = wNames(t, "VPMOVM2D ", "VPMOVM2Q ", fromMask, kRegOnly);
    m[0x29][PF3] = wNames(t, "VPMOVB2M ", "VPMOVW2M ", toMask, kRegOnly);
    m[0x39][PF3] = wNames(t, "VPMOVD2M ", "VPMOVQ2M ", toMask, kRegOnly);
    m[0x2A][PF3] = E("VPBROADCASTMB2Q ", fromMask, kW1 | kRegOnly);
    m[0x3A][PF3] = E("VPBROADCASTMW2D ", fromMask, kW0 | kRegOnly);
    m[0x26][P66] = wNames(t, "VPTESTMB ", "VPTESTMW ", KHW);
    m[0x26][PF3] = wNames(t, "VPTESTNMB ", "VPTESTNMW ", KHW);
    m[0x27][P66] = dq(t, "VPTESTMD ", "VPTESTMQ ", KHW);
    m[0x27][PF3] = dq(t, "VPTESTNMD ", "VPTESTNMQ ", KHW);
}

constexpr void fillEvexBroadcasts(VectorTables& t, MapRows& m) {
    m[0x18][P66] = E("VBROADCASTSS ", operands(Vx, W32), kW0);
    m[0x19][P66] = wNames(t, "VBROADCASTF32X2 ", "VBROADCASTSD ", operands(Vx, W64), kL1);
    m[0x1A][P66] = wNames(t, "VBROADCASTF32X4 ", "VBROADCASTF64X2 ", operands(Vx, W128), kL1 | kMemOnly);
    m[0x1B][P66] = wNames(t, "VBROADCASTF32X8 ", "VBROADCASTF64X4 ", operands(Vx, Wy), kL1 | kMemOnly);
    m[0x58][P66] = E("VPBROADCASTD ", operands(Vx, W32), kW0);
    m[0x59][P66] = wNames(t, "VBROADCASTI32X2 ", "VPBROADCASTQ ", operands(Vx, W64));
    m[0x5A][P66] = wNames(t, "VBROADCASTI32X4 ", "VBROADCASTI64X2 ", operands(Vx, W128), kL1 | kMemOnly);
    m[0x5B][P66] = wNames(t, "VBROADCASTI32X8 ", "VBROADCASTI64X4 ", operands(Vx, Wy), kL1 | kMemOnly);
    m[0x78][P66] = E("VPBROADCASTB ", operands(Vx, W8), kW0);
    m[0x79][P66] = E("VPBROADCASTW ", operands(Vx, W16), kW0);
    m[0x7A][P66] = E("VPBROADCASTB ", operands(Vx, Ed), kW0 | kRegOnly);
    m[0x7B][P66] = E("VPBROADCASTW ", operands(Vx, Ed), kW0 | kRegOnly);
    m[0x7C][P66] = wNames(t, "VPBROADCASTD ", "VPBROADCASTQ ", operands(Vx, Ey), kRegOnly);
}

constexpr void fillEvex0F38(VectorTables& t) {
    MapRows& m = t.evex[1];
    fillEvexExtendsAndNarrows(m);
    fillEvexGathers(t, m);
    fillEvexMaskConversions(t, m);
    fillEvexBroadcasts(t, m);
    m[0x00][P66] = E("VPSHUFB ", VHW);
    m[0x04][P66] = E("VPMADDUBSW ", VHW);
    m[0x0B][P66] = E("VPMULHRSW ", VHW);
    m[0x0C][P66] = E("VPERMILPS ", VHW, kD);
    m[0x0D][P66] = E("VPERMILPD ", VHW, kQ);
    m[0x10][P66] = E("VPSRLVW ", VHW, kW1);
    m[0x11][P66] = E("VPSRAVW ", VHW, kW1);
    m[0x12][P66] = E("VPSLLVW ", VHW, kW1);
    m[0x13][P66] = E("VCVTPH2PS ", operands(Vx, Wh), kW0 | kSae);
    m[0x14][P66] = dq(t, "VPRORVD ", "VPRORVQ ", VHW);
    m[0x15][P66] = dq(t, "VPROLVD ", "VPROLVQ ", VHW);
    m[0x16][P66] = dq(t, "VPERMPS ", "VPERMPD ", VHW, kL1);
    m[0x1C][P66] = E("VPABSB ", VW);
    m[0x1D][P66] = E("VPABSW ", VW);
    m[0x1E][P66] = E("VPABSD ", VW, kD);
    m[0x1F][P66] = E("VPABSQ ", VW, kQ);
    m[0x28][P66] = E("VPMULDQ ", VHW, kQ);
    m[0x29][P66] = E("VPCMPEQQ ", KHW, kQ);
    m[0x2A][P66] = E("VMOVNTDQA ", VW, kW0 | kMemOnly);
    m[0x2B][P66] = E("VPACKUSDW ", VHW, kD);
    m[0x2C][P66] = dq(t, "VSCALEFPS ", "VSCALEFPD ", VHW, kRounding);
    m[0x2D][P66] = byW(t, E("VSCALEFSS ", SS, kLig | kRounding), E("VSCALEFSD ", SD, kLig | kRounding));
    m[0x36][P66] = dq(t, "VPERMD ", "VPERMQ ", VHW, kL1);
    m[0x37][P66] = E("VPCMPGTQ ", KHW, kQ);
    m[0x38][P66] = E("VPMINSB ", VHW);
    m[0x39][P66] = dq(t, "VPMINSD ", "VPMINSQ ", VHW);
    m[0x3A][P66] = E("VPMINUW ", VHW);
    m[0x3B][P66] = dq(t, "VPMINUD ", "VPMINUQ ", VHW);
    m[0x3C][P66] = E("VPMAXSB ", VHW);
    m[0x3D][P66] = dq(t, "VPMAXSD ", "VPMAXSQ ", VHW);
    m[0x3E][P66] = E("VPMAXUW ", VHW);
    m[0x3F][P66] = dq(t, "VPMAXUD ", "VPMAXUQ ", VHW);
    m[0x40][P66] = dq(t, "VPMULLD ", "VPMULLQ ", VHW);
    m[0x42][P66] = dq(t, "VGETEXPPS ", "VGETEXPPD ", VW, kSae);
    m[0x43][P66] = byW(t, E("VGETEXPSS ", SS, kLig | kSae), E("VGETEXPSD ", SD, kLig | kSae));
    m[0x44][P66] = dq(t, "VPLZCNTD ", "VPLZCNTQ ", VW);
    m[0x45][P66] = dq(t, "VPSRLVD ", "VPSRLVQ ", VHW);
    m[0x46][P66] = dq(t, "VPSRAVD ", "VPSRAVQ ", VHW);
    m[0x47][P66] = dq(t, "VPSLLVD ", "VPSLLVQ ", VHW);
    m[0x4C][P66] = dq(t, "VRCP14PS ", "VRCP14PD ", VW);
    m[0x4D][P66] = byW(t, E("VRCP14SS ", SS, kLig), E("VRCP14SD ", SD, kLig));
    m[0x4E][P66] = dq(t, "VRSQRT14PS ", "VRSQRT14PD ", VW);
    m[0x4F][P66] = byW(t, E("VRSQRT14SS ", SS, kLig), E("VRSQRT14SD ", SD, kLig));
    const char* const vnni[4] = {"VPDPBUSD ", "VPDPBUSDS ", "VPDPWSSD ", "VPDPWSSDS "};
    for (int i = 0; i < 4; ++i) m[0x50 + i][P66] = E(vnni[i], VHW, kD);
    m[0x54][P66] = wNames(t, "VPOPCNTB ", "VPOPCNTW ", VW);
    m[0x55][P66] = dq(t, "VPOPCNTD ", "VPOPCNTQ ", VW);
    m[0x64][P66] = dq(t, "VPBLENDMD ", "VPBLENDMQ ", VHW);
    m[0x65][P66] = dq(t, "VBLENDMPS ", "VBLENDMPD ", VHW);
    m[0x66][P66] = wNames(t, "VPBLENDMB ", "VPBLENDMW ", VHW);
    m[0x75][P66] = wNames(t, "VPERMI2B ", "VPERMI2W ", VHW);
    m[0x76][P66] = dq(t, "VPERMI2D ", "VPERMI2Q ", VHW);
    m[0x77][P66] = dq(t, "VPERMI2PS ", "VPERMI2PD ", VHW);
    m[0x7D][P66] = wNames(t, "VPERMT2B ", "VPERMT2W ", VHW);
    m[0x7E][P66] = dq(t, "VPERMT2D ", "VPERMT2Q ", VHW);
    m[0x7F][P66] = dq(t, "VPERMT2PS ", "VPERMT2PD ", VHW);
    m[0x83][P66] = E("VPMULTISHIFTQB ", VHW, kQ);
    m[0x88][P66] = wNames(t, "VEXPANDPS ", "VEXPANDPD ", VW, kDispByElement);
    m[0x89][P66] = wNames(t, "VPEXPANDD ", "VPEXPANDQ ", VW, kDispByElement);
    m[0x8A][P66] = wNames(t, "VCOMPRESSPS ", "VCOMPRESSPD ", WV, kDispByElement);
    m[0x8B][P66] = wNames(t, "VPCOMPRESSD ", "VPCOMPRESSQ ", WV, kDispByElement);
    m[0x8D][P66] = wNames(t, "VPERMB ", "VPERMW ", VHW);
    fillFma(t, m, P66, kRounding, kRounding);
    m[0xC4][P66] = dq(t, "VPCONFLICTD ", "VPCONFLICTQ ", VW);
    const char* const aes[4] = {"VAESENC ", "VAESENCLAST ", "VAESDEC ", "VAESDECLAST "};
    for (int i = 0; i < 4; ++i) m[0xDC + i][P66] = E(aes[i], VHW);
}

constexpr void fillEvex0F3A(VectorTables& t) {
    MapRows& m = t.evex[2];
    m[0x00][P66] = E("VPERMQ ", VWI, kQ | kL1);
    m[0x01][P66] = E("VPERMPD ", VWI, kQ | kL1);
    m[0x03][P66] = dq(t, "VALIGND ", "VALIGNQ ", VHWI);
    m[0x04][P66] = E("VPERMILPS ", VWI, kD);
    m[0x05][P66] = E("VPERMILPD ", VWI, kQ);
    m[0x08][P66] = E("VRNDSCALEPS ", VWI, kD | kSae);
    m[0x09][P66] = E("VRNDSCALEPD ", VWI, kQ | kSae);
    m[0x0A][P66] = E("VRNDSCALESS ", operands(V32, H32, W32, Ib), kW0 | kLig | kSae);
    m[0x0B][P66] = E("VRNDSCALESD ", operands(V64, H64, W64, Ib), kW1 | kLig | kSae);
    m[0x0F][P66] = E("VPALIGNR ", VHWI);
    m[0x14][P66] = E("VPEXTRB ", operands(Eb, V128, Ib), kL0);
    m[0x15][P66] = E("VPEXTRW ", operands(Ew, V128, Ib), kL0);
    m[0x16][P66] = wNames(t, "VPEXTRD ", "VPEXTRQ ", operands(Ey, V128, Ib), kL0);
    m[0x17][P66] = E("VEXTRACTPS ", operands(Ed, V128, Ib), kL0);
    const std::uint32_t ins128 = operands(Vx, Hx, W128, Ib), ins256 = operands(Vx, Hx, Wy, Ib);
    const std::uint32_t ext128 = operands(W128, Vx, Ib), ext256 = operands(Wy, Vx, Ib);
    m[0x18][P66] = wNames(t, "VINSERTF32X4 ", "VINSERTF64X2 ", ins128, kL1);
    m[0x19][P66] = wNames(t, "VEXTRACTF32X4 ", "VEXTRACTF64X2 ", ext128, kL1);
    m[0x1A][P66] = wNames(t, "VINSERTF32X8 ", "VINSERTF64X4 ", ins256, kL1);
    m[0x1B][P66] = wNames(t, "VEXTRACTF32X8 ", "VEXTRACTF64X4 ", ext256, kL1);
    m[0x38][P66] = wNames(t, "VINSERTI32X4 ", "VINSERTI64X2 ", ins128, kL1);
    m[0x39][P66] = wNames(t, "VEXTRACTI32X4 ", "VEXTRACTI64X2 ", ext128, kL1);
    m[0x3A][P66] = wNames(t, "VINSERTI32X8 ", "VINSERTI64X4 ", ins256, kL1);
    m[0x3B][P66] = wNames(t, "VEXTRACTI32X8 ", "VEXTRACTI64X4 ", ext256, kL1);
    m[0x1D][P66] = E("VCVTPS2PH ", operands(Wh, Vx, Ib), kW0 | kSae);
    m[0x1E][P66] = dq(t, "VPCMPUD ", "VPCMPUQ ", KHWI);
    m[0x1F][P66] = dq(t, "VPCMPD ", "VPCMPQ ", KHWI);
    m[0x3E][P66] = wNames(t, "VPCMPUB ", "VPCMPUW ", KHWI);
    m[0x3F][P66] = wNames(t, "VPCMPB ", "VPCMPW ", KHWI);
    m[0x20][P66] = E("VPINSRB ", operands(V128, H128, Eb, Ib), kL0);
    m[0x21][P66] = E("VINSERTPS ", operands(V128, H128, W32, Ib), kL0 | kW0);
    m[0x22][P66] = wNames(t, "VPINSRD ", "VPINSRQ ", operands(V128, H128, Ey, Ib), kL0);
    m[0x23][P66] = dq(t, "VSHUFF32X4 ", "VSHUFF64X2 ", VHWI, kL1);
    m[0x43][P66] = dq(t, "VSHUFI32X4 ", "VSHUFI64X2 ", VHWI, kL1);
    m[0x25][P66] = dq(t, "VPTERNLOGD ", "VPTERNLOGQ ", VHWI);
    m[0x26][P66] = dq(t, "VGETMANTPS ", "VGETMANTPD ", VWI, kSae);
    m[0x27][P66] = byW(t, E("VGETMANTSS ", operands(V32, H32, W32, Ib), kLig | kSae),
                       E("VGETMANTSD ", operands(V64, H64, W64, Ib), kLig | kSae));
    m[0x42][P66] = E("VDBPSADBW ", VHWI, kW0);
    m[0x44][P66] = E("VPCLMULQDQ ", VHWI);
    m[0x50][P66] = dq(t, "VRANGEPS ", "VRANGEPD ", VHWI, kSae);
    m[0x51][P66] = byW(t, E("VRANGESS ", operands(V32, H32, W32, Ib), kLig | kSae),
                       E("VRANGESD ", operands(V64, H64, W64, Ib), kLig | kSae));
    m[0x54][P66] = dq(t, "VFIXUPIMMPS ", "VFIXUPIMMPD ", VHWI, kSae);
    m[0x55][P66] = byW(t, E("VFIXUPIMMSS ", operands(V32, H32, W32, Ib), kLig | kSae),
                       E("VFIXUPIMMSD ", operands(V64, H64, W64, Ib), kLig | kSae));
    m[0x56][P66] = dq(t, "VREDUCEPS ", "VREDUCEPD ", VWI, kSae);
    m[0x57][P66] = byW(t, E("VREDUCESS ", operands(V32, H32, W32, Ib), kLig | kSae),
                       E("VREDUCESD ", operands(V64, H64, W64, Ib), kLig | kSae));
    m[0x66][P66] = dq(t, "VFPCLASSPS ", "VFPCLASSPD ", operands(Kr, Wx, Ib), kSizeLetter);
    m[0x67][P66] = byW(t, E("VFPCLASSSS ", operands(Kr, W32, Ib), kLig), E("VFPCLASSSD ", operands(Kr, W64, Ib), kLig));
}

}  // namespace quorby::disasm::vbuild
