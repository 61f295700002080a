#pragma once
// The VEX maps 0F, 0F 38 and 0F 3A: AVX, AVX2, FMA3, F16C, BMI1, BMI2, the
// VEX forms of AES and PCLMULQDQ, AVX-VNNI and the VEX-encoded mask
// instructions of AVX-512.
#include "decoder/vector_builders.h"

namespace quorby::disasm::vbuild {

// Packed single and double under none and 66, scalar single and double under F3 and F2.
constexpr void vexArith(MapRows& m, int op, const char* const (&n)[4], std::uint32_t packed = VHW) {
    if (n[0]) m[op][NP] = E(n[0], packed);
    if (n[1]) m[op][P66] = E(n[1], packed);
    if (n[2]) m[op][PF3] = E(n[2], SS, kLig);
    if (n[3]) m[op][PF2] = E(n[3], SD, kLig);
}

// The mask instructions: a W0 and a W1 name under none and under 66.
constexpr void maskOp(VectorTables& t, MapRows& m, int op, const char* const (&n)[4],
                      std::uint32_t ops, std::uint32_t f) {
    m[op][NP] = wNames(t, n[0], n[1], ops, f | kRegOnly);
    m[op][P66] = wNames(t, n[2], n[3], ops, f | kRegOnly);
}

constexpr void fillVexMasks(VectorTables& t, MapRows& m) {
    const std::uint32_t kkk = operands(Kr, KH, KW);
    maskOp(t, m, 0x41, {"KANDW ", "KANDQ ", "KANDB ", "KANDD "}, kkk, kL1);
    maskOp(t, m, 0x42, {"KANDNW ", "KANDNQ ", "KANDNB ", "KANDND "}, kkk, kL1);
    maskOp(t, m, 0x44, {"KNOTW ", "KNOTQ ", "KNOTB ", "KNOTD "}, operands(Kr, KW), kL0);
    maskOp(t, m, 0x45, {"KORW ", "KORQ ", "KORB ", "KORD "}, kkk, kL1);
    maskOp(t, m, 0x46, {"KXNORW ", "KXNORQ ", "KXNORB ", "KXNORD "}, kkk, kL1);
    maskOp(t, m, 0x47, {"KXORW ", "KXORQ ", "KXORB ", "KXORD "}, kkk, kL1);
    maskOp(t, m, 0x4A, {"KADDW ", "KADDQ ", "KADDB ", "KADDD "}, kkk, kL1);
    m[0x4B][NP] = wNames(t, "KUNPCKWD ", "KUNPCKDQ ", kkk, kL1 | kRegOnly);
    m[0x4B][P66] = E("KUNPCKBW ", kkk, kL1 | kW0 | kRegOnly);
    maskOp(t, m, 0x98, {"KORTESTW ", "KORTESTQ ", "KORTESTB ", "KORTESTD "}, operands(Kr, KW), kL0);
    maskOp(t, m, 0x99, {"KTESTW ", "KTESTQ ", "KTESTB ", "KTESTD "}, operands(Kr, KW), kL0);
    const std::uint8_t km16 = operand(kKW, kM16), km64 = operand(kKW, kM64);
    const std::uint8_t km8 = operand(kKW, kM8), km32 = operand(kKW, kM32);
    m[0x90][NP] = byW(t, E("KMOVW ", operands(Kr, km16), kL0), E("KMOVQ ", operands(Kr, km64), kL0));
    m[0x90][P66] = byW(t, E("KMOVB ", operands(Kr, km8), kL0), E("KMOVD ", operands(Kr, km32), kL0));
    m[0x91][NP] = byW(t, E("KMOVW ", operands(km16, Kr), kL0 | kMemOnly),
                      E("KMOVQ ", operands(km64, Kr), kL0 | kMemOnly));
    m[0x91][P66] = byW(t, E("KMOVB ", operands(km8, Kr), kL0 | kMemOnly),
                       E("KMOVD ", operands(km32, Kr), kL0 | kMemOnly));
    m[0x92][NP] = E("KMOVW ", operands(Kr, Ed), kL0 | kW0 | kRegOnly);
    m[0x92][P66] = E("KMOVB ", operands(Kr, Ed), kL0 | kW0 | kRegOnly);
    m[0x92][PF2] = wNames(t, "KMOVD ", "KMOVQ ", operands(Kr, Ey), kL0 | kRegOnly);
    m[0x93][NP] = E("KMOVW ", operands(Gd, KW), kL0 | kW0 | kRegOnly);
    m[0x93][P66] = E("KMOVB ", operands(Gd, KW), kL0 | kW0 | kRegOnly);
    m[0x93][PF2] = wNames(t, "KMOVD ", "KMOVQ ", operands(Gy, KW), kL0 | kRegOnly);
}

constexpr void fillVex0F(VectorTables& t) {
    MapRows& m = t.vex[0];
    m[0x10][NP] = E("VMOVUPS ", VW);
    m[0x10][P66] = E("VMOVUPD ", VW);
    m[0x10][PF3] = byMod(t, E("VMOVSS ", operands(V32, W32), kLig), E("VMOVSS ", SS, kLig));
    m[0x10][PF2] = byMod(t, E("VMOVSD ", operands(V64, W64), kLig), E("VMOVSD ", SD, kLig));
    m[0x11][NP] = E("VMOVUPS ", WV);
    m[0x11][P66] = E("VMOVUPD ", WV);
    m[0x11][PF3] = byMod(t, E("VMOVSS ", operands(W32, V32), kLig),
                         E("VMOVSS ", operands(W32, H32, V32), kLig));
    m[0x11][PF2] = byMod(t, E("VMOVSD ", operands(W64, V64), kLig),
                         E("VMOVSD ", operands(W64, H64, V64), kLig));
    const std::uint32_t vhq = operands(V128, H128, W64);
    m[0x12][NP] = byMod(t, E("VMOVLPS ", vhq, kL0), E("VMOVHLPS ", operands(V128, H128, W128), kL0));
    m[0x12][P66] = E("VMOVLPD ", vhq, kL0 | kMemOnly);
    m[0x12][PF3] = E("VMOVSLDUP ", VW);
    m[0x12][PF2] = E("VMOVDDUP ", operands(Vx, operand(kW, kDup)));
    m[0x13][NP] = E("VMOVLPS ", operands(W64, V128), kL0 | kMemOnly);
    m[0x13][P66] = E("VMOVLPD ", operands(W64, V128), kL0 | kMemOnly);
    vexArith(m, 0x14, {"VUNPCKLPS ", "VUNPCKLPD ", nullptr, nullptr});
    vexArith(m, 0x15, {"VUNPCKHPS ", "VUNPCKHPD ", nullptr, nullptr});
    m[0x16][NP] = byMod(t, E("VMOVHPS ", vhq, kL0), E("VMOVLHPS ", operands(V128, H128, W128), kL0));
    m[0x16][P66] = E("VMOVHPD ", vhq, kL0 | kMemOnly);
    m[0x16][PF3] = E("VMOVSHDUP ", VW);
    m[0x17][NP] = E("VMOVHPS ", operands(W64, V128), kL0 | kMemOnly);
    m[0x17][P66] = E("VMOVHPD ", operands(W64, V128), kL0 | kMemOnly);
    m[0x28][NP] = E("VMOVAPS ", VW);
    m[0x28][P66] = E("VMOVAPD ", VW);
    m[0x29][NP] = E("VMOVAPS ", WV);
    m[0x29][P66] = E("VMOVAPD ", WV);
    m[0x2A][PF3] = E("VCVTSI2SS ", operands(V32, H32, Ey), kLig | kSizeLetter);
    m[0x2A][PF2] = E("VCVTSI2SD ", operands(V64, H64, Ey), kLig | kSizeLetter);
    m[0x2B][NP] = E("VMOVNTPS ", WV, kMemOnly);
    m[0x2B][P66] = E("VMOVNTPD ", WV, kMemOnly);
    m[0x2C][PF3] = E("VCVTTSS2SI ", operands(Gy, W32), kLig);
    m[0x2C][PF2] = E("VCVTTSD2SI ", operands(Gy, W64), kLig);
    m[0x2D][PF3] = E("VCVTSS2SI ", operands(Gy, W32), kLig);
    m[0x2D][PF2] = E("VCVTSD2SI ", operands(Gy, W64), kLig);
    m[0x2E][NP] = E("VUCOMISS ", operands(V32, W32), kLig);
    m[0x2E][P66] = E("VUCOMISD ", operands(V64, W64), kLig);
    m[0x2F][NP] = E("VCOMISS ", operands(V32, W32), kLig);
    m[0x2F][P66] = E("VCOMISD ", operands(V64, W64), kLig);
    fillVexMasks(t, m);
    m[0x50][NP] = E("VMOVMSKPS ", operands(Gd, Wx), kRegOnly);
    m[0x50][P66] = E("VMOVMSKPD ", operands(Gd, Wx), kRegOnly);
    vexArith(m, 0x51, {"VSQRTPS ", "VSQRTPD ", "VSQRTSS ", "VSQRTSD "}, VW);
    vexArith(m, 0x52, {"VRSQRTPS ", nullptr, "VRSQRTSS ", nullptr}, VW);
    vexArith(m, 0x53, {"VRCPPS ", nullptr, "VRCPSS ", nullptr}, VW);
    vexArith(m, 0x54, {"VANDPS ", "VANDPD ", nullptr, nullptr});
    vexArith(m, 0x55, {"VANDNPS ", "VANDNPD ", nullptr, nullptr});
    vexArith(m, 0x56, {"VORPS ", "VORPD ", nullptr, nullptr});
    vexArith(m, 0x57, {"VXORPS ", "VXORPD ", nullptr, nullptr});
    vexArith(m, 0x58, {"VADDPS ", "VADDPD ", "VADDSS ", "VADDSD "});
    vexArith(m, 0x59, {"VMULPS ", "VMULPD ", "VMULSS ", "VMULSD "});
    m[0x5A][NP] = E("VCVTPS2PD ", operands(Vx, Wh));
    m[0x5A][P66] = E("VCVTPD2PS ", operands(Vh, Wx), kSizeLetter);
    m[0x5A][PF3] = E("VCVTSS2SD ", operands(V64, H64, W32), kLig);
    m[0x5A][PF2] = E("VCVTSD2SS ", operands(V32, H32, W64), kLig);
    m[0x5B][NP] = E("VCVTDQ2PS ", VW);
    m[0x5B][P66] = E("VCVTPS2DQ ", VW);
    m[0x5B][PF3] = E("VCVTTPS2DQ ", VW);
    vexArith(m, 0x5C, {"VSUBPS ", "VSUBPD ", "VSUBSS ", "VSUBSD "});
    vexArith(m, 0x5D, {"VMINPS ", "VMINPD ", "VMINSS ", "VMINSD "});
    vexArith(m, 0x5E, {"VDIVPS ", "VDIVPD ", "VDIVSS ", "VDIVSD "});
    vexArith(m, 0x5F, {"VMAXPS ", "VMAXPD ", "VMAXSS ", "VMAXSD "});
    const char* const row6[14] = {"VPUNPCKLBW ", "VPUNPCKLWD ", "VPUNPCKLDQ ", "VPACKSSWB ",
                                  "VPCMPGTB ",   "VPCMPGTW ",   "VPCMPGTD ",   "VPACKUSWB ",
                                  "VPUNPCKHBW ", "VPUNPCKHWD ", "VPUNPCKHDQ ", "VPACKSSDW ",
                                  "VPUNPCKLQDQ ", "VPUNPCKHQDQ "};
    for (int i = 0; i < 14; ++i) m[0x60 + i][P66] = E(row6[i], VHW);
    m[0x6E][P66] = wNames(t, "VMOVD ", "VMOVQ ", operands(V128, Ey), kL0);
    m[0x6F][P66] = E("VMOVDQA ", VW);
    m[0x6F][PF3] = E("VMOVDQU ", VW);
    m[0x70][P66] = E("VPSHUFD ", VWI);
    m[0x70][PF3] = E("VPSHUFHW ", VWI);
    m[0x70][PF2] = E("VPSHUFLW ", VWI);
    const std::uint32_t shiftImm = operands(Hx, Wx, Ib);
    const VectorEntry none{};
    m[0x71][P66] = byReg(t, {none, none, E("VPSRLW ", shiftImm, kRegOnly), none,
                             E("VPSRAW ", shiftImm, kRegOnly), none, E("VPSLLW ", shiftImm, kRegOnly), none});
    m[0x72][P66] = byReg(t, {none, none, E("VPSRLD ", shiftImm, kRegOnly), none,
                             E("VPSRAD ", shiftImm, kRegOnly), none, E("VPSLLD ", shiftImm, kRegOnly), none});
    m[0x73][P66] = byReg(t, {none, none, E("VPSRLQ ", shiftImm, kRegOnly), E("VPSRLDQ ", shiftImm, kRegOnly),
                             none, none, E("VPSLLQ ", shiftImm, kRegOnly), E("VPSLLDQ ", shiftImm, kRegOnly)});
    m[0x74][P66] = E("VPCMPEQB ", VHW);
    m[0x75][P66] = E("VPCMPEQW ", VHW);
    m[0x76][P66] = E("VPCMPEQD ", VHW);
    m[0x77][NP] = byL(t, E("VZEROUPPER", 0), E("VZEROALL", 0));
    m[0x7C][P66] = E("VHADDPD ", VHW);
    m[0x7C][PF2] = E("VHADDPS ", VHW);
    m[0x7D][P66] = E("VHSUBPD ", VHW);
    m[0x7D][PF2] = E("VHSUBPS ", VHW);
    m[0x7E][P66] = wNames(t, "VMOVD ", "VMOVQ ", operands(Ey, V128), kL0);
    m[0x7E][PF3] = E("VMOVQ ", operands(V128, W64), kL0);
    m[0x7F][P66] = E("VMOVDQA ", WV);
    m[0x7F][PF3] = E("VMOVDQU ", WV);
    m[0xAE][NP] = byReg(t, {none, none, E("VLDMXCSR ", operands(W32), kL0 | kMemOnly | kSizeLetter),
                            E("VSTMXCSR ", operands(W32), kL0 | kMemOnly | kSizeLetter), none, none, none, none});
    vexArith(m, 0xC2, {"VCMPPS ", "VCMPPD ", nullptr, nullptr}, VHWI);
    m[0xC2][PF3] = E("VCMPSS ", operands(V32, H32, W32, Ib), kLig);
    m[0xC2][PF2] = E("VCMPSD ", operands(V64, H64, W64, Ib), kLig);
    m[0xC4][P66] = E("VPINSRW ", operands(V128, H128, Ew, Ib), kL0);
    m[0xC5][P66] = E("VPEXTRW ", operands(Gd, W128, Ib), kL0 | kRegOnly);
    vexArith(m, 0xC6, {"VSHUFPS ", "VSHUFPD ", nullptr, nullptr}, VHWI);
    m[0xD0][P66] = E("VADDSUBPD ", VHW);
    m[0xD0][PF2] = E("VADDSUBPS ", VHW);
    const std::uint32_t shiftX = operands(Vx, Hx, W128);
    const char* const rowD[16] = {nullptr,     "VPSRLW ",   "VPSRLD ",  "VPSRLQ ",   "VPADDQ ",  "VPMULLW ",
                                  nullptr,     nullptr,     "VPSUBUSB ", "VPSUBUSW ", "VPMINUB ", "VPAND ",
                                  "VPADDUSB ", "VPADDUSW ", "VPMAXUB ", "VPANDN "};
    const char* const rowE[16] = {"VPAVGB ",  "VPSRAW ",  "VPSRAD ",  "VPAVGW ",  "VPMULHUW ", "VPMULHW ",
                                  nullptr,    nullptr,    "VPSUBSB ", "VPSUBSW ", "VPMINSW ",  "VPOR ",
                                  "VPADDSB ", "VPADDSW ", "VPMAXSW ", "VPXOR "};
    const char* const rowF[16] = {nullptr,    "VPSLLW ",   "VPSLLD ", "VPSLLQ ", "VPMULUDQ ", "VPMADDWD ",
                                  "VPSADBW ", nullptr,     "VPSUBB ", "VPSUBW ", "VPSUBD ",   "VPSUBQ ",
                                  "VPADDB ",  "VPADDW ",   "VPADDD ", nullptr};
    for (int i = 0; i < 16; ++i) {
        const bool countInXmm = (i >= 1 && i <= 3);
        if (rowD[i]) m[0xD0 + i][P66] = E(rowD[i], countInXmm ? shiftX : VHW);
        if (rowE[i]) m[0xE0 + i][P66] = E(rowE[i], (i == 1 || i == 2) ? shiftX : VHW);
        if (rowF[i]) m[0xF0 + i][P66] = E(rowF[i], countInXmm ? shiftX : VHW);
    }
    m[0xD6][P66] = E("VMOVQ ", operands(W64, V128), kL0);
    m[0xD7][P66] = E("VPMOVMSKB ", operands(Gd, Wx), kRegOnly);
    m[0xE6][P66] = E("VCVTTPD2DQ ", operands(Vh, Wx), kSizeLetter);
    m[0xE6][PF3] = E("VCVTDQ2PD ", operands(Vx, Wh));
    m[0xE6][PF2] = E("VCVTPD2DQ ", operands(Vh, Wx), kSizeLetter);
    m[0xE7][P66] = E("VMOVNTDQ ", WV, kMemOnly);
    m[0xF0][PF2] = E("VLDDQU ", VW, kMemOnly);
    m[0xF7][P66] = E("VMASKMOVDQU ", operands(V128, W128), kL0 | kRegOnly);
}

// The FMA3 rows 96-9F, A6-AF, B6-BF: packed or scalar, single (W0) or double (W1).
constexpr void fillFma(VectorTables& t, MapRows& m, int prefix, std::uint32_t packedFlags,
                       std::uint32_t scalarFlags) {
    const char* const names[3][10][2] = {
        {{"VFMADDSUB132PS ", "VFMADDSUB132PD "}, {"VFMSUBADD132PS ", "VFMSUBADD132PD "},
         {"VFMADD132PS ", "VFMADD132PD "}, {"VFMADD132SS ", "VFMADD132SD "},
         {"VFMSUB132PS ", "VFMSUB132PD "}, {"VFMSUB132SS ", "VFMSUB132SD "},
         {"VFNMADD132PS ", "VFNMADD132PD "}, {"VFNMADD132SS ", "VFNMADD132SD "},
         {"VFNMSUB132PS ", "VFNMSUB132PD "}, {"VFNMSUB132SS ", "VFNMSUB132SD "}},
        {{"VFMADDSUB213PS ", "VFMADDSUB213PD "}, {"VFMSUBADD213PS ", "VFMSUBADD213PD "},
         {"VFMADD213PS ", "VFMADD213PD "}, {"VFMADD213SS ", "VFMADD213SD "},
         {"VFMSUB213PS ", "VFMSUB213PD "}, {"VFMSUB213SS ", "VFMSUB213SD "},
         {"VFNMADD213PS ", "VFNMADD213PD "}, {"VFNMADD213SS ", "VFNMADD213SD "},
         {"VFNMSUB213PS ", "VFNMSUB213PD "}, {"VFNMSUB213SS ", "VFNMSUB213SD "}},
        {{"VFMADDSUB231PS ", "VFMADDSUB231PD "}, {"VFMSUBADD231PS ", "VFMSUBADD231PD "},
         {"VFMADD231PS ", "VFMADD231PD "}, {"VFMADD231SS ", "VFMADD231SD "},
         {"VFMSUB231PS ", "VFMSUB231PD "}, {"VFMSUB231SS ", "VFMSUB231SD "},
         {"VFNMADD231PS ", "VFNMADD231PD "}, {"VFNMADD231SS ", "VFNMADD231SD "},
         {"VFNMSUB231PS ", "VFNMSUB231PD "}, {"VFNMSUB231SS ", "VFNMSUB231SD "}}};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 10; ++i) {
            const int op = 0x96 + row * 0x10 + i;
            const bool scalar = i >= 3 && (i & 1);
            const auto& n = names[row][i];
            m[op][prefix] = scalar ? byW(t, E(n[0], SS, scalarFlags | kLig), E(n[1], SD, scalarFlags | kLig))
                                   : byW(t, E(n[0], VHW, packedFlags | kBcst32),
                                         E(n[1], VHW, packedFlags | kBcst64));
        }
    }
}

constexpr void fillVex0F38(VectorTables& t) {
    MapRows& m = t.vex[1];
    const char* const ssse3[12] = {"VPSHUFB ",  "VPHADDW ", "VPHADDD ", "VPHADDSW ",
                                   "VPMADDUBSW ", "VPHSUBW ", "VPHSUBD ", "VPHSUBSW ",
                                   "VPSIGNB ",  "VPSIGNW ", "VPSIGND ", "VPMULHRSW "};
    for (int i = 0; i < 12; ++i) m[i][P66] = E(ssse3[i], VHW);
    m[0x0C][P66] = E("VPERMILPS ", VHW, kW0);
    m[0x0D][P66] = E("VPERMILPD ", VHW, kW0);
    m[0x0E][P66] = E("VTESTPS ", VW, kW0);
    m[0x0F][P66] = E("VTESTPD ", VW, kW0);
    m[0x13][P66] = E("VCVTPH2PS ", operands(Vx, Wh), kW0);
    m[0x16][P66] = E("VPERMPS ", VHW, kL1 | kW0);
    m[0x17][P66] = E("VPTEST ", VW);
    m[0x18][P66] = E("VBROADCASTSS ", operands(Vx, W32), kW0);
    m[0x19][P66] = E("VBROADCASTSD ", operands(Vx, W64), kL1 | kW0);
    m[0x1A][P66] = E("VBROADCASTF128 ", operands(Vx, W128), kL1 | kW0 | kMemOnly);
    m[0x1C][P66] = E("VPABSB ", VW);
    m[0x1D][P66] = E("VPABSW ", VW);
    m[0x1E][P66] = E("VPABSD ", VW);
    const std::uint8_t pmovSource[6] = {Wh, Wq, We, Wh, Wq, Wh};
    const char* const pmovsx[6] = {"VPMOVSXBW ", "VPMOVSXBD ", "VPMOVSXBQ ", "VPMOVSXWD ", "VPMOVSXWQ ", "VPMOVSXDQ "};
    const char* const pmovzx[6] = {"VPMOVZXBW ", "VPMOVZXBD ", "VPMOVZXBQ ", "VPMOVZXWD ", "VPMOVZXWQ ", "VPMOVZXDQ "};
    for (int i = 0; i < 6; ++i) {
        m[0x20 + i][P66] = E(pmovsx[i], operands(Vx, pmovSource[i]));
        m[0x30 + i][P66] = E(pmovzx[i], operands(Vx, pmovSource[i]));
    }
    m[0x28][P66] = E("VPMULDQ ", VHW);
    m[0x29][P66] = E("VPCMPEQQ ", VHW);
    m[0x2A][P66] = E("VMOVNTDQA ", VW, kMemOnly);
    m[0x2B][P66] = E("VPACKUSDW ", VHW);
    m[0x2C][P66] = E("VMASKMOVPS ", VHW, kW0 | kMemOnly);
    m[0x2D][P66] = E("VMASKMOVPD ", VHW, kW0 | kMemOnly);
    m[0x2E][P66] = E("VMASKMOVPS ", operands(Wx, Hx, Vx), kW0 | kMemOnly);
    m[0x2F][P66] = E("VMASKMOVPD ", operands(Wx, Hx, Vx), kW0 | kMemOnly);
    m[0x36][P66] = E("VPERMD ", VHW, kL1 | kW0);
    m[0x37][P66] = E("VPCMPGTQ ", VHW);
    const char* const minmax[8] = {"VPMINSB ", "VPMINSD ", "VPMINUW ", "VPMINUD ",
                                   "VPMAXSB ", "VPMAXSD ", "VPMAXUW ", "VPMAXUD "};
    for (int i = 0; i < 8; ++i) m[0x38 + i][P66] = E(minmax[i], VHW);
    m[0x40][P66] = E("VPMULLD ", VHW);
    m[0x41][P66] = E("VPHMINPOSUW ", VW, kL0);
    m[0x45][P66] = wNames(t, "VPSRLVD ", "VPSRLVQ ", VHW);
    m[0x46][P66] = E("VPSRAVD ", VHW, kW0);
    m[0x47][P66] = wNames(t, "VPSLLVD ", "VPSLLVQ ", VHW);
    const char* const vnni[4] = {"VPDPBUSD ", "VPDPBUSDS ", "VPDPWSSD ", "VPDPWSSDS "};
    for (int i = 0; i < 4; ++i) m[0x50 + i][P66] = E(vnni[i], VHW, kW0);
    m[0x58][P66] = E("VPBROADCASTD ", operands(Vx, W32), kW0);
    m[0x59][P66] = E("VPBROADCASTQ ", operands(Vx, W64), kW0);
    m[0x5A][P66] = E("VBROADCASTI128 ", operands(Vx, W128), kL1 | kW0 | kMemOnly);
    m[0x78][P66] = E("VPBROADCASTB ", operands(Vx, W8), kW0);
    m[0x79][P66] = E("VPBROADCASTW ", operands(Vx, W16), kW0);
    m[0x8C][P66] = wNames(t, "VPMASKMOVD ", "VPMASKMOVQ ", VHW, kMemOnly);
    m[0x8E][P66] = wNames(t, "VPMASKMOVD ", "VPMASKMOVQ ", operands(Wx, Hx, Vx), kMemOnly);
    // Gathers: the index vector is as wide as the data for dword indices with
    // dword data and for qword indices with qword data.
    const std::uint32_t gFull = operands(Vx, Vsib, Hx), gWideIndex = operands(Vh, Vsib, Hh),
                        gNarrowIndex = operands(Vx, VsibH, Hx);
    m[0x90][P66] = byW(t, E("VPGATHERDD ", gFull), E("VPGATHERDQ ", gNarrowIndex));
    m[0x91][P66] = byW(t, E("VPGATHERQD ", gWideIndex), E("VPGATHERQQ ", gFull));
    m[0x92][P66] = byW(t, E("VGATHERDPS ", gFull), E("VGATHERDPD ", gNarrowIndex));
    m[0x93][P66] = byW(t, E("VGATHERQPS ", gWideIndex), E("VGATHERQPD ", gFull));
    fillFma(t, m, P66, 0, 0);
    m[0xDB][P66] = E("VAESIMC ", VW, kL0);
    const char* const aes[4] = {"VAESENC ", "VAESENCLAST ", "VAESDEC ", "VAESDECLAST "};
    for (int i = 0; i < 4; ++i) m[0xDC + i][P66] = E(aes[i], VHW);
    m[0xF2][NP] = E("ANDN ", operands(Gy, By, Ey), kL0);
    const VectorEntry none{};
    const std::uint32_t be = operands(By, Ey);
    m[0xF3][NP] = byReg(t, {none, E("BLSR ", be, kL0), E("BLSMSK ", be, kL0), E("BLSI ", be, kL0),
                            none, none, none, none});
    m[0xF5][NP] = E("BZHI ", operands(Gy, Ey, By), kL0);
    m[0xF5][PF3] = E("PEXT ", operands(Gy, By, Ey), kL0);
    m[0xF5][PF2] = E("PDEP ", operands(Gy, By, Ey), kL0);
    m[0xF6][PF2] = E("MULX ", operands(Gy, By, Ey), kL0);
    m[0xF7][NP] = E("BEXTR ", operands(Gy, Ey, By), kL0);
    m[0xF7][P66] = E("SHLX ", operands(Gy, Ey, By), kL0);
    m[0xF7][PF3] = E("SARX ", operands(Gy, Ey, By), kL0);
    m[0xF7][PF2] = E("SHRX ", operands(Gy, Ey, By), kL0);
}

constexpr void fillVex0F3A(VectorTables& t) {
    MapRows& m = t.vex[2];
    m[0x00][P66] = E("VPERMQ ", VWI, kL1 | kW1);
    m[0x01][P66] = E("VPERMPD ", VWI, kL1 | kW1);
    m[0x02][P66] = E("VPBLENDD ", VHWI, kW0);
    m[0x04][P66] = E("VPERMILPS ", VWI, kW0);
    m[0x05][P66] = E("VPERMILPD ", VWI, kW0);
    m[0x06][P66] = E("VPERM2F128 ", VHWI, kL1 | kW0);
    m[0x08][P66] = E("VROUNDPS ", VWI);
    m[0x09][P66] = E("VROUNDPD ", VWI);
    m[0x0A][P66] = E("VROUNDSS ", operands(V32, H32, W32, Ib), kLig);
    m[0x0B][P66] = E("VROUNDSD ", operands(V64, H64, W64, Ib), kLig);
    m[0x0C][P66] = E("VBLENDPS ", VHWI);
    m[0x0D][P66] = E("VBLENDPD ", VHWI);
    m[0x0E][P66] = E("VPBLENDW ", VHWI);
    m[0x0F][P66] = E("VPALIGNR ", VHWI);
    m[0x14][P66] = E("VPEXTRB ", operands(Eb, V128, Ib), kL0);
    m[0x15][P66] = E("VPEXTRW ", operands(Ew, V128, Ib), kL0);
    m[0x16][P66] = wNames(t, "VPEXTRD ", "VPEXTRQ ", operands(Ey, V128, Ib), kL0);
    m[0x17][P66] = E("VEXTRACTPS ", operands(Ed, V128, Ib), kL0);
    m[0x18][P66] = E("VINSERTF128 ", operands(Vx, Hx, W128, Ib), kL1 | kW0);
    m[0x19][P66] = E("VEXTRACTF128 ", operands(W128, Vx, Ib), kL1 | kW0);
    m[0x1D][P66] = E("VCVTPS2PH ", operands(Wh, Vx, Ib), kW0);
    m[0x20][P66] = E("VPINSRB ", operands(V128, H128, Eb, Ib), kL0);
    m[0x21][P66] = E("VINSERTPS ", operands(V128, H128, W32, Ib), kL0);
    m[0x22][P66] = wNames(t, "VPINSRD ", "VPINSRQ ", operands(V128, H128, Ey, Ib), kL0);
    m[0x38][P66] = E("VINSERTI128 ", operands(Vx, Hx, W128, Ib), kL1 | kW0);
    m[0x39][P66] = E("VEXTRACTI128 ", operands(W128, Vx, Ib), kL1 | kW0);
    m[0x40][P66] = E("VDPPS ", VHWI);
    m[0x41][P66] = E("VDPPD ", VHWI, kL0);
    m[0x42][P66] = E("VMPSADBW ", VHWI);
    m[0x44][P66] = E("VPCLMULQDQ ", VHWI);
    m[0x46][P66] = E("VPERM2I128 ", VHWI, kL1 | kW0);
    const std::uint32_t blendv = operands(Vx, Hx, Wx, Lx);
    m[0x4A][P66] = E("VBLENDVPS ", blendv, kW0);
    m[0x4B][P66] = E("VBLENDVPD ", blendv, kW0);
    m[0x4C][P66] = E("VPBLENDVB ", blendv, kW0);
    const char* const str[4] = {"VPCMPESTRM ", "VPCMPESTRI ", "VPCMPISTRM ", "VPCMPISTRI "};
    for (int i = 0; i < 4; ++i) m[0x60 + i][P66] = E(str[i], operands(V128, W128, Ib), kL0);
    m[0xDF][P66] = E("VAESKEYGENASSIST ", operands(V128, W128, Ib), kL0);
    m[0xF0][PF2] = E("RORX ", operands(Gy, Ey, Ib), kL0);
    const char* const shifts[4][2] = {{"KSHIFTRB ", "KSHIFTRW "}, {"KSHIFTRD ", "KSHIFTRQ "},
                                      {"KSHIFTLB ", "KSHIFTLW "}, {"KSHIFTLD ", "KSHIFTLQ "}};
    for (int i = 0; i < 4; ++i)
        m[0x30 + i][P66] = wNames(t, shifts[i][0], shifts[i][1], operands(Kr, KW, Ib), kL0 | kRegOnly);
}

}  // namespace quorby::disasm::vbuild
