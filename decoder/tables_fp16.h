#pragma once
// AVX512-FP16: the EVEX maps 5 and 6 and the half-precision rows of 0F 3A.
// Packed forms (PH) broadcast 16-bit elements; scalar forms (SH) read 16
// bits of memory.
#include "decoder/tables_evex.h"

namespace quorby::disasm::vbuild {

inline constexpr std::uint32_t kH16 = kW0 | kBcst16;  // word elements, broadcast
inline constexpr std::uint8_t V16 = operand(kV, kM16), H16 = operand(kH, kM16);
inline constexpr std::uint32_t SH = operands(V16, H16, W16);

constexpr void fillFp16Map5(VectorTables& t) {
    MapRows& m = t.evexFp16[0];
    m[0x10][PF3] = byMod(t, E("VMOVSH ", operands(V16, W16), kW0 | kLig), E("VMOVSH ", SH, kW0 | kLig));
    m[0x11][PF3] = byMod(t, E("VMOVSH ", operands(W16, V16), kW0 | kLig),
                         E("VMOVSH ", operands(W16, H16, V16), kW0 | kLig));
    const char* const arith[6][2] = {{"VADDPH ", "VADDSH "}, {"VMULPH ", "VMULSH "}, {"VSUBPH ", "VSUBSH "},
                                     {"VMINPH ", "VMINSH "}, {"VDIVPH ", "VDIVSH "}, {"VMAXPH ", "VMAXSH "}};
    const int arithOps[6] = {0x58, 0x59, 0x5C, 0x5D, 0x5E, 0x5F};
    for (int i = 0; i < 6; ++i) {
        const std::uint32_t er = (arithOps[i] == 0x5D || arithOps[i] == 0x5F) ? kSae : kRounding;
        m[arithOps[i]][NP] = E(arith[i][0], VHW, kH16 | er);
        m[arithOps[i]][PF3] = E(arith[i][1], SH, kW0 | kLig | er);
    }
    m[0x51][NP] = E("VSQRTPH ", VW, kH16 | kRounding);
    m[0x51][PF3] = E("VSQRTSH ", SH, kW0 | kLig | kRounding);
    m[0x2E][NP] = E("VUCOMISH ", operands(V16, W16), kW0 | kLig | kSae);
    m[0x2F][NP] = E("VCOMISH ", operands(V16, W16), kW0 | kLig | kSae);
    // Conversions with integers.
    m[0x2A][PF3] = E("VCVTSI2SH ", operands(V16, H16, Ey), kLig | kRounding | kSizeLetter);
    m[0x7B][PF3] = E("VCVTUSI2SH ", operands(V16, H16, Ey), kLig | kRounding | kSizeLetter);
    m[0x2C][PF3] = E("VCVTTSH2SI ", operands(Gy, W16), kLig | kSae);
    m[0x2D][PF3] = E("VCVTSH2SI ", operands(Gy, W16), kLig | kRounding);
    m[0x78][PF3] = E("VCVTTSH2USI ", operands(Gy, W16), kLig | kSae);
    m[0x79][PF3] = E("VCVTSH2USI ", operands(Gy, W16), kLig | kRounding);
    m[0x5B][NP] = byW(t, E("VCVTDQ2PH ", operands(Vh, Wx), kD | kRounding | kSizeLetter),
                      E("VCVTQQ2PH ", operands(V128, Wx), kQ | kRounding | kSizeLetter));
    m[0x7A][PF2] = byW(t, E("VCVTUDQ2PH ", operands(Vh, Wx), kD | kRounding | kSizeLetter),
                       E("VCVTUQQ2PH ", operands(V128, Wx), kQ | kRounding | kSizeLetter));
    m[0x5B][P66] = E("VCVTPH2DQ ", operands(Vx, Wh), kH16 | kRounding);
    m[0x5B][PF3] = E("VCVTTPH2DQ ", operands(Vx, Wh), kH16 | kSae);
    m[0x79][NP] = E("VCVTPH2UDQ ", operands(Vx, Wh), kH16 | kRounding);
    m[0x78][NP] = E("VCVTTPH2UDQ ", operands(Vx, Wh), kH16 | kSae);
    m[0x7B][P66] = E("VCVTPH2QQ ", operands(Vx, Wq), kH16 | kRounding);
    m[0x7A][P66] = E("VCVTTPH2QQ ", operands(Vx, Wq), kH16 | kSae);
    m[0x79][P66] = E("VCVTPH2UQQ ", operands(Vx, Wq), kH16 | kRounding);
    m[0x78][P66] = E("VCVTTPH2UQQ ", operands(Vx, Wq), kH16 | kSae);
    m[0x7D][P66] = E("VCVTPH2W ", VW, kH16 | kRounding);
    m[0x7C][P66] = E("VCVTTPH2W ", VW, kH16 | kSae);
    m[0x7D][NP] = E("VCVTPH2UW ", VW, kH16 | kRounding);
    m[0x7C][NP] = E("VCVTTPH2UW ", VW, kH16 | kSae);
    m[0x7D][PF3] = E("VCVTW2PH ", VW, kH16 | kRounding);
    m[0x7D][PF2] = E("VCVTUW2PH ", VW, kH16 | kRounding);
    // Conversions with single and double precision.
    m[0x5A][NP] = E("VCVTPH2PD ", operands(Vx, Wq), kH16 | kSae);
    m[0x5A][P66] = E("VCVTPD2PH ", operands(V128, Wx), kQ | kRounding | kSizeLetter);
    m[0x5A][PF3] = E("VCVTSH2SD ", operands(V64, H64, W16), kW0 | kLig | kSae);
    m[0x5A][PF2] = E("VCVTSD2SH ", operands(V16, H16, W64), kW1 | kLig | kRounding);
    m[0x1D][P66] = E("VCVTPS2PHX ", operands(Vh, Wx), kD | kRounding | kSizeLetter);
    m[0x1D][NP] = E("VCVTSS2SH ", operands(V16, H16, W32), kW0 | kLig | kRounding);
    m[0x6E][P66] = E("VMOVW ", operands(V16, operand(kE, kM16)), kL0);
    m[0x7E][P66] = E("VMOVW ", operands(operand(kE, kM16), V16), kL0);
}

constexpr void fillFp16Map6(VectorTables& t) {
    MapRows& m = t.evexFp16[1];
    m[0x13][P66] = E("VCVTPH2PSX ", operands(Vx, Wh), kH16 | kSae);
    m[0x13][NP] = E("VCVTSH2SS ", operands(V32, H32, W16), kW0 | kLig | kSae);
    m[0x2C][P66] = E("VSCALEFPH ", VHW, kH16 | kRounding);
    m[0x2D][P66] = E("VSCALEFSH ", SH, kW0 | kLig | kRounding);
    m[0x42][P66] = E("VGETEXPPH ", VW, kH16 | kSae);
    m[0x43][P66] = E("VGETEXPSH ", SH, kW0 | kLig | kSae);
    m[0x4C][P66] = E("VRCPPH ", VW, kH16);
    m[0x4D][P66] = E("VRCPSH ", SH, kW0 | kLig);
    m[0x4E][P66] = E("VRSQRTPH ", VW, kH16);
    m[0x4F][P66] = E("VRSQRTSH ", SH, kW0 | kLig);
    // The complex multiplications: pairs of halves, broadcast of 32 bits.
    m[0x56][PF3] = E("VFMADDCPH ", VHW, kD | kRounding);
    m[0x56][PF2] = E("VFCMADDCPH ", VHW, kD | kRounding);
    m[0x57][PF3] = E("VFMADDCSH ", SS, kW0 | kLig | kRounding);
    m[0x57][PF2] = E("VFCMADDCSH ", SS, kW0 | kLig | kRounding);
    m[0xD6][PF3] = E("VFMULCPH ", VHW, kD | kRounding);
    m[0xD6][PF2] = E("VFCMULCPH ", VHW, kD | kRounding);
    m[0xD7][PF3] = E("VFMULCSH ", SS, kW0 | kLig | kRounding);
    m[0xD7][PF2] = E("VFCMULCSH ", SS, kW0 | kLig | kRounding);
    // Fused multiply-add in the rows of FMA3: 132, 213 and 231.
    const char* const names[3][10] = {
        {"VFMADDSUB132PH ", "VFMSUBADD132PH ", "VFMADD132PH ", "VFMADD132SH ", "VFMSUB132PH ",
         "VFMSUB132SH ", "VFNMADD132PH ", "VFNMADD132SH ", "VFNMSUB132PH ", "VFNMSUB132SH "},
        {"VFMADDSUB213PH ", "VFMSUBADD213PH ", "VFMADD213PH ", "VFMADD213SH ", "VFMSUB213PH ",
         "VFMSUB213SH ", "VFNMADD213PH ", "VFNMADD213SH ", "VFNMSUB213PH ", "VFNMSUB213SH "},
        {"VFMADDSUB231PH ", "VFMSUBADD231PH ", "VFMADD231PH ", "VFMADD231SH ", "VFMSUB231PH ",
         "VFMSUB231SH ", "VFNMADD231PH ", "VFNMADD231SH ", "VFNMSUB231PH ", "VFNMSUB231SH "}};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 10; ++i) {
            const bool scalar = i >= 3 && (i & 1);  // as in FMA3: 9B, 9D, 9F ... are the SH forms
            m[0x96 + row * 0x10 + i][P66] = scalar ? E(names[row][i], SH, kW0 | kLig | kRounding)
                                                   : E(names[row][i], VHW, kH16 | kRounding);
        }
    }
}

// The 0F 3A rows without implied prefix.
constexpr void fillFp16Map3A(VectorTables& t) {
    MapRows& m = t.evex[2];
    const std::uint32_t shI = operands(V16, H16, W16, Ib);
    m[0x08][NP] = E("VRNDSCALEPH ", VWI, kH16 | kSae);
    m[0x0A][NP] = E("VRNDSCALESH ", shI, kW0 | kLig | kSae);
    m[0x26][NP] = E("VGETMANTPH ", VWI, kH16 | kSae);
    m[0x27][NP] = E("VGETMANTSH ", shI, kW0 | kLig | kSae);
    m[0x56][NP] = E("VREDUCEPH ", VWI, kH16 | kSae);
    m[0x57][NP] = E("VREDUCESH ", shI, kW0 | kLig | kSae);
    m[0x66][NP] = E("VFPCLASSPH ", operands(Kr, Wx, Ib), kH16 | kSizeLetter);
    m[0x67][NP] = E("VFPCLASSSH ", operands(Kr, W16, Ib), kW0 | kLig);
    m[0xC2][NP] = E("VCMPPH ", KHWI, kH16 | kSae);
    m[0xC2][PF3] = E("VCMPSH ", operands(Kr, H16, W16, Ib), kW0 | kLig | kSae);
}

}  // namespace quorby::disasm::vbuild
