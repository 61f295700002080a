#pragma once
// The EVEX map 0F: AVX-512F, BW, DQ and VL forms of the two-byte rows.
#include "decoder/vector_builders.h"

namespace quorby::disasm::vbuild {

inline constexpr std::uint32_t kD = kW0 | kBcst32;  // doubleword elements, broadcast
inline constexpr std::uint32_t kQ = kW1 | kBcst64;  // quadword elements, broadcast

// Packed single (W0) and double (W1) under none and 66, scalar under F3 and F2.
constexpr void evexArith(MapRows& m, int op, const char* const (&n)[4], std::uint32_t packedFlags,
                         std::uint32_t scalarFlags, std::uint32_t packed = VHW) {
    if (n[0]) m[op][NP] = E(n[0], packed, kD | packedFlags);
    if (n[1]) m[op][P66] = E(n[1], packed, kQ | packedFlags);
    if (n[2]) m[op][PF3] = E(n[2], SS, kW0 | kLig | scalarFlags);
    if (n[3]) m[op][PF2] = E(n[3], SD, kW1 | kLig | scalarFlags);
}

// A doubleword form under W0 and a quadword form under W1, both broadcasting.
constexpr VectorEntry dq(VectorTables& t, const char* d, const char* q, std::uint32_t ops,
                         std::uint32_t f = 0) {
    return byW(t, E(d, ops, f | kBcst32), E(q, ops, f | kBcst64));
}

constexpr void fillEvexMoves(VectorTables& t, MapRows& m) {
    m[0x10][NP] = E("VMOVUPS ", VW, kW0);
    m[0x10][P66] = E("VMOVUPD ", VW, kW1);
    m[0x10][PF3] = byMod(t, E("VMOVSS ", operands(V32, W32), kW0 | kLig), E("VMOVSS ", SS, kW0 | kLig));
    m[0x10][PF2] = byMod(t, E("VMOVSD ", operands(V64, W64), kW1 | kLig), E("VMOVSD ", SD, kW1 | kLig));
    m[0x11][NP] = E("VMOVUPS ", WV, kW0);
    m[0x11][P66] = E("VMOVUPD ", WV, kW1);
    m[0x11][PF3] = byMod(t, E("VMOVSS ", operands(W32, V32), kW0 | kLig),
                         E("VMOVSS ", operands(W32, H32, V32), kW0 | kLig));
    m[0x11][PF2] = byMod(t, E("VMOVSD ", operands(W64, V64), kW1 | kLig),
                         E("VMOVSD ", operands(W64, H64, V64), kW1 | kLig));
    const std::uint32_t vhq = operands(V128, H128, W64), vhx = operands(V128, H128, W128);
    m[0x12][NP] = byMod(t, E("VMOVLPS ", vhq, kL0 | kW0), E("VMOVHLPS ", vhx, kL0 | kW0));
    m[0x12][P66] = E("VMOVLPD ", vhq, kL0 | kW1 | kMemOnly);
    m[0x12][PF3] = E("VMOVSLDUP ", VW, kW0);
    m[0x12][PF2] = E("VMOVDDUP ", operands(Vx, operand(kW, kDup)), kW1);
    m[0x13][NP] = E("VMOVLPS ", operands(W64, V128), kL0 | kW0 | kMemOnly);
    m[0x13][P66] = E("VMOVLPD ", operands(W64, V128), kL0 | kW1 | kMemOnly);
    m[0x16][NP] = byMod(t, E("VMOVHPS ", vhq, kL0 | kW0), E("VMOVLHPS ", vhx, kL0 | kW0));
    m[0x16][P66] = E("VMOVHPD ", vhq, kL0 | kW1 | kMemOnly);
    m[0x16][PF3] = E("VMOVSHDUP ", VW, kW0);
    m[0x17][NP] = E("VMOVHPS ", operands(W64, V128), kL0 | kW0 | kMemOnly);
    m[0x17][P66] = E("VMOVHPD ", operands(W64, V128), kL0 | kW1 | kMemOnly);
    m[0x28][NP] = E("VMOVAPS ", VW, kW0);
    m[0x28][P66] = E("VMOVAPD ", VW, kW1);
    m[0x29][NP] = E("VMOVAPS ", WV, kW0);
    m[0x29][P66] = E("VMOVAPD ", WV, kW1);
    m[0x2B][NP] = E("VMOVNTPS ", WV, kW0 | kMemOnly);
    m[0x2B][P66] = E("VMOVNTPD ", WV, kW1 | kMemOnly);
    m[0x6E][P66] = wNames(t, "VMOVD ", "VMOVQ ", operands(V128, Ey), kL0);
    m[0x7E][P66] = wNames(t, "VMOVD ", "VMOVQ ", operands(Ey, V128), kL0);
    m[0x7E][PF3] = E("VMOVQ ", operands(V128, W64), kL0 | kW1);
    m[0xD6][P66] = E("VMOVQ ", operands(W64, V128), kL0 | kW1);
    m[0x6F][P66] = wNames(t, "VMOVDQA32 ", "VMOVDQA64 ", VW);
    m[0x6F][PF3] = wNames(t, "VMOVDQU32 ", "VMOVDQU64 ", VW);
    m[0x6F][PF2] = wNames(t, "VMOVDQU8 ", "VMOVDQU16 ", VW);
    m[0x7F][P66] = wNames(t, "VMOVDQA32 ", "VMOVDQA64 ", WV);
    m[0x7F][PF3] = wNames(t, "VMOVDQU32 ", "VMOVDQU64 ", WV);
    m[0x7F][PF2] = wNames(t, "VMOVDQU8 ", "VMOVDQU16 ", WV);
    m[0xE7][P66] = E("VMOVNTDQ ", WV, kW0 | kMemOnly);
}

// Conversions between floating-point and integer elements.
constexpr void fillEvexConversions(VectorTables& t, MapRows& m) {
    const std::uint32_t widen = operands(Vx, Wh), narrow = operands(Vh, Wx);
    const std::uint32_t er = kRounding, sae = kSae, sz = kSizeLetter;
    m[0x2A][PF3] = E("VCVTSI2SS ", operands(V32, H32, Ey), kLig | er | sz);
    m[0x2A][PF2] = E("VCVTSI2SD ", operands(V64, H64, Ey), kLig | er | sz);
    m[0x2C][PF3] = E("VCVTTSS2SI ", operands(Gy, W32), kLig | sae);
    m[0x2C][PF2] = E("VCVTTSD2SI ", operands(Gy, W64), kLig | sae);
    m[0x2D][PF3] = E("VCVTSS2SI ", operands(Gy, W32), kLig | er);
    m[0x2D][PF2] = E("VCVTSD2SI ", operands(Gy, W64), kLig | er);
    m[0x5A][NP] = E("VCVTPS2PD ", widen, kD | sae);
    m[0x5A][P66] = E("VCVTPD2PS ", narrow, kQ | er | sz);
    m[0x5A][PF3] = E("VCVTSS2SD ", operands(V64, H64, W32), kW0 | kLig | sae);
    m[0x5A][PF2] = E("VCVTSD2SS ", operands(V32, H32, W64), kW1 | kLig | er);
    m[0x5B][NP] = byW(t, E("VCVTDQ2PS ", VW, kBcst32 | er), E("VCVTQQ2PS ", narrow, kBcst64 | er | sz));
    m[0x5B][P66] = E("VCVTPS2DQ ", VW, kD | er);
    m[0x5B][PF3] = E("VCVTTPS2DQ ", VW, kD | sae);
    m[0x78][NP] = byW(t, E("VCVTTPS2UDQ ", VW, kBcst32 | sae), E("VCVTTPD2UDQ ", narrow, kBcst64 | sae | sz));
    m[0x78][P66] = byW(t, E("VCVTTPS2UQQ ", widen, kBcst32 | sae), E("VCVTTPD2UQQ ", VW, kBcst64 | sae));
    m[0x78][PF3] = E("VCVTTSS2USI ", operands(Gy, W32), kLig | sae);
    m[0x78][PF2] = E("VCVTTSD2USI ", operands(Gy, W64), kLig | sae);
    m[0x79][NP] = byW(t, E("VCVTPS2UDQ ", VW, kBcst32 | er), E("VCVTPD2UDQ ", narrow, kBcst64 | er | sz));
    m[0x79][P66] = byW(t, E("VCVTPS2UQQ ", widen, kBcst32 | er), E("VCVTPD2UQQ ", VW, kBcst64 | er));
    m[0x79][PF3] = E("VCVTSS2USI ", operands(Gy, W32), kLig | er);
    m[0x79][PF2] = E("VCVTSD2USI ", operands(Gy, W64), kLig | er);
    m[0x7A][P66] = byW(t, E("VCVTTPS2QQ ", widen, kBcst32 | sae), E("VCVTTPD2QQ ", VW, kBcst64 | sae));
    m[0x7A][PF3] = byW(t, E("VCVTUDQ2PD ", widen, kBcst32), E("VCVTUQQ2PD ", VW, kBcst64 | er));
    m[0x7A][PF2] = byW(t, E("VCVTUDQ2PS ", VW, kBcst32 | er), E("VCVTUQQ2PS ", narrow, kBcst64 | er | sz));
    m[0x7B][P66] = byW(t, E("VCVTPS2QQ ", widen, kBcst32 | er), E("VCVTPD2QQ ", VW, kBcst64 | er));
    m[0x7B][PF3] = E("VCVTUSI2SS ", operands(V32, H32, Ey), kLig | er | sz);
    m[0x7B][PF2] = E("VCVTUSI2SD ", operands(V64, H64, Ey), kLig | er | sz);
    m[0xE6][P66] = E("VCVTTPD2DQ ", narrow, kQ | sae | sz);
    m[0xE6][PF3] = byW(t, E("VCVTDQ2PD ", widen, kBcst32), E("VCVTQQ2PD ", VW, kBcst64 | er));
    m[0xE6][PF2] = E("VCVTPD2DQ ", narrow, kQ | er | sz);
}

constexpr void fillEvexIntegers(VectorTables& t, MapRows& m) {
    const std::uint32_t shiftX = operands(Vx, Hx, W128);
    struct Row { int op; const char* name; };
    const Row bytesWords[] = {{0x60, "VPUNPCKLBW "}, {0x61, "VPUNPCKLWD "}, {0x63, "VPACKSSWB "},
        {0x67, "VPACKUSWB "}, {0x68, "VPUNPCKHBW "}, {0x69, "VPUNPCKHWD "}, {0xD5, "VPMULLW "},
        {0xD8, "VPSUBUSB "}, {0xD9, "VPSUBUSW "}, {0xDA, "VPMINUB "}, {0xDC, "VPADDUSB "},
        {0xDD, "VPADDUSW "}, {0xDE, "VPMAXUB "}, {0xE0, "VPAVGB "}, {0xE3, "VPAVGW "},
        {0xE4, "VPMULHUW "}, {0xE5, "VPMULHW "}, {0xE8, "VPSUBSB "}, {0xE9, "VPSUBSW "},
        {0xEA, "VPMINSW "}, {0xEC, "VPADDSB "}, {0xED, "VPADDSW "}, {0xEE, "VPMAXSW "},
        {0xF5, "VPMADDWD "}, {0xF6, "VPSADBW "}, {0xF8, "VPSUBB "}, {0xF9, "VPSUBW "},
        {0xFC, "VPADDB "}, {0xFD, "VPADDW "}};
    for (const Row& r : bytesWords) m[r.op][P66] = E(r.name, VHW);
    const Row dwords[] = {{0x62, "VPUNPCKLDQ "}, {0x6A, "VPUNPCKHDQ "}, {0x6B, "VPACKSSDW "},
        {0xFA, "VPSUBD "}, {0xFE, "VPADDD "}};
    for (const Row& r : dwords) m[r.op][P66] = E(r.name, VHW, kD);
    const Row qwords[] = {{0x6C, "VPUNPCKLQDQ "}, {0x6D, "VPUNPCKHQDQ "}, {0xD4, "VPADDQ "},
        {0xF4, "VPMULUDQ "}, {0xFB, "VPSUBQ "}};
    for (const Row& r : qwords) m[r.op][P66] = E(r.name, VHW, kQ);
    m[0x64][P66] = E("VPCMPGTB ", KHW);
    m[0x65][P66] = E("VPCMPGTW ", KHW);
    m[0x66][P66] = E("VPCMPGTD ", KHW, kD);
    m[0x74][P66] = E("VPCMPEQB ", KHW);
    m[0x75][P66] = E("VPCMPEQW ", KHW);
    m[0x76][P66] = E("VPCMPEQD ", KHW, kD);
    m[0xDB][P66] = dq(t, "VPANDD ", "VPANDQ ", VHW);
    m[0xDF][P66] = dq(t, "VPANDND ", "VPANDNQ ", VHW);
    m[0xEB][P66] = dq(t, "VPORD ", "VPORQ ", VHW);
    m[0xEF][P66] = dq(t, "VPXORD ", "VPXORQ ", VHW);
    m[0xD1][P66] = E("VPSRLW ", shiftX);
    m[0xD2][P66] = E("VPSRLD ", shiftX, kW0);
    m[0xD3][P66] = E("VPSRLQ ", shiftX, kW1);
    m[0xE1][P66] = E("VPSRAW ", shiftX);
    m[0xE2][P66] = wNames(t, "VPSRAD ", "VPSRAQ ", shiftX);
    m[0xF1][P66] = E("VPSLLW ", shiftX);
    m[0xF2][P66] = E("VPSLLD ", shiftX, kW0);
    m[0xF3][P66] = E("VPSLLQ ", shiftX, kW1);
    m[0x70][P66] = E("VPSHUFD ", VWI, kD);
    m[0x70][PF3] = E("VPSHUFHW ", VWI);
    m[0x70][PF2] = E("VPSHUFLW ", VWI);
    const std::uint32_t hwi = operands(Hx, Wx, Ib);
    const VectorEntry none{};
    m[0x71][P66] = byReg(t, {none, none, E("VPSRLW ", hwi), none, E("VPSRAW ", hwi), none,
                             E("VPSLLW ", hwi), none});
    m[0x72][P66] = byReg(t, {dq(t, "VPRORD ", "VPRORQ ", hwi), dq(t, "VPROLD ", "VPROLQ ", hwi),
                             E("VPSRLD ", hwi, kD), none, dq(t, "VPSRAD ", "VPSRAQ ", hwi), none,
                             E("VPSLLD ", hwi, kD), none});
    m[0x73][P66] = byReg(t, {none, none, E("VPSRLQ ", hwi, kQ), E("VPSRLDQ ", hwi), none, none,
                             E("VPSLLQ ", hwi, kQ), E("VPSLLDQ ", hwi)});
    m[0xC4][P66] = E("VPINSRW ", operands(V128, H128, Ew, Ib), kL0);
    m[0xC5][P66] = E("VPEXTRW ", operands(Gd, W128, Ib), kL0 | kRegOnly);
}

constexpr void fillEvex0F(VectorTables& t) {
    MapRows& m = t.evex[0];
    fillEvexMoves(t, m);
    fillEvexConversions(t, m);
    fillEvexIntegers(t, m);
    evexArith(m, 0x14, {"VUNPCKLPS ", "VUNPCKLPD ", nullptr, nullptr}, 0, 0);
    evexArith(m, 0x15, {"VUNPCKHPS ", "VUNPCKHPD ", nullptr, nullptr}, 0, 0);
    m[0x2E][NP] = E("VUCOMISS ", operands(V32, W32), kW0 | kLig | kSae);
    m[0x2E][P66] = E("VUCOMISD ", operands(V64, W64), kW1 | kLig | kSae);
    m[0x2F][NP] = E("VCOMISS ", operands(V32, W32), kW0 | kLig | kSae);
    m[0x2F][P66] = E("VCOMISD ", operands(V64, W64), kW1 | kLig | kSae);
    evexArith(m, 0x51, {"VSQRTPS ", "VSQRTPD ", "VSQRTSS ", "VSQRTSD "}, kRounding, kRounding, VW);
    evexArith(m, 0x54, {"VANDPS ", "VANDPD ", nullptr, nullptr}, 0, 0);
    evexArith(m, 0x55, {"VANDNPS ", "VANDNPD ", nullptr, nullptr}, 0, 0);
    evexArith(m, 0x56, {"VORPS ", "VORPD ", nullptr, nullptr}, 0, 0);
    evexArith(m, 0x57, {"VXORPS ", "VXORPD ", nullptr, nullptr}, 0, 0);
    evexArith(m, 0x58, {"VADDPS ", "VADDPD ", "VADDSS ", "VADDSD "}, kRounding, kRounding);
    evexArith(m, 0x59, {"VMULPS ", "VMULPD ", "VMULSS ", "VMULSD "}, kRounding, kRounding);
    evexArith(m, 0x5C, {"VSUBPS ", "VSUBPD ", "VSUBSS ", "VSUBSD "}, kRounding, kRounding);
    evexArith(m, 0x5D, {"VMINPS ", "VMINPD ", "VMINSS ", "VMINSD "}, kSae, kSae);
    evexArith(m, 0x5E, {"VDIVPS ", "VDIVPD ", "VDIVSS ", "VDIVSD "}, kRounding, kRounding);
    evexArith(m, 0x5F, {"VMAXPS ", "VMAXPD ", "VMAXSS ", "VMAXSD "}, kSae, kSae);
    evexArith(m, 0xC2, {"VCMPPS ", "VCMPPD ", nullptr, nullptr}, kSae, 0, KHWI);
    m[0xC2][PF3] = E("VCMPSS ", operands(Kr, H32, W32, Ib), kW0 | kLig | kSae);
    m[0xC2][PF2] = E("VCMPSD ", operands(Kr, H64, W64, Ib), kW1 | kLig | kSae);
    evexArith(m, 0xC6, {"VSHUFPS ", "VSHUFPD ", nullptr, nullptr}, 0, 0, VHWI);
}

}  // namespace quorby::disasm::vbuild
