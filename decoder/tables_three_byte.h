#pragma once
// The three-byte maps 0F 38 (no immediate) and 0F 3A (an 8-bit immediate):
// SSSE3, SSE4.1, SSE4.2 and a few neighbours (AES, SHA, CRC32, MOVBE).
#include "decoder/opcode_builders.h"

namespace quorby::disasm::build {

constexpr void fillMap38(OpcodeTables& t) {
    auto& m = t.map38;
    const char* ssse3[12] = {"PSHUFB ", "PHADDW ", "PHADDD ", "PHADDSW ", "PMADDUBSW ", "PHSUBW ",
                             "PHSUBD ", "PHSUBSW ", "PSIGNB ", "PSIGNW ", "PSIGND ", "PMULHRSW "};
    for (int i = 0; i < 12; ++i) m[i] = mmxSse(t, ssse3[i]);
    m[0x1C] = mmxSse(t, "PABSB ");
    m[0x1D] = mmxSse(t, "PABSW ");
    m[0x1E] = mmxSse(t, "PABSD ");
    m[0x10] = only66(t, L("PBLENDVB ", Layout::ModRMXmm0, Vx_Wx));
    m[0x14] = only66(t, L("BLENDVPS ", Layout::ModRMXmm0, Vx_Wx));
    m[0x15] = only66(t, L("BLENDVPD ", Layout::ModRMXmm0, Vx_Wx));
    m[0x17] = only66(t, M("PTEST ", Vx_Wx));
    const char* pmovsx[6] = {"PMOVSXBW ", "PMOVSXBD ", "PMOVSXBQ ", "PMOVSXWD ", "PMOVSXWQ ", "PMOVSXDQ "};
    const char* pmovzx[6] = {"PMOVZXBW ", "PMOVZXBD ", "PMOVZXBQ ", "PMOVZXWD ", "PMOVZXWQ ", "PMOVZXDQ "};
    for (int i = 0; i < 6; ++i) {
        m[0x20 + i] = only66(t, M(pmovsx[i], Vx_Wx));
        m[0x30 + i] = only66(t, M(pmovzx[i], Vx_Wx));
    }
    m[0x28] = only66(t, M("PMULDQ ", Vx_Wx));
    m[0x29] = only66(t, M("PCMPEQQ ", Vx_Wx));
    m[0x2A] = only66(t, M("MOVNTDQA ", Vx_Wx, kMem));
    m[0x2B] = only66(t, M("PACKUSDW ", Vx_Wx));
    m[0x37] = only66(t, M("PCMPGTQ ", Vx_Wx));
    const char* minmax[8] = {"PMINSB ", "PMINSD ", "PMINUW ", "PMINUD ",
                             "PMAXSB ", "PMAXSD ", "PMAXUW ", "PMAXUD "};
    for (int i = 0; i < 8; ++i) m[0x38 + i] = only66(t, M(minmax[i], Vx_Wx));
    m[0x40] = only66(t, M("PMULLD ", Vx_Wx));
    m[0x41] = only66(t, M("PHMINPOSUW ", Vx_Wx));
    m[0x80] = only66(t, M("INVEPT ", Gv_Ev | F64, kMem | kD64));
    m[0x81] = only66(t, M("INVVPID ", Gv_Ev | F64, kMem | kD64));
    m[0x82] = only66(t, M("INVPCID ", Gv_Ev | F64, kMem | kD64));
    const char* sha[6] = {"SHA1NEXTE ", "SHA1MSG1 ", "SHA1MSG2 ", "SHA256RNDS2 ", "SHA256MSG1 ", "SHA256MSG2 "};
    for (int i = 0; i < 6; ++i)
        m[0xC8 + i] = addPrefixed(t, i == 3 ? L(sha[i], Layout::ModRMXmm0, Vx_Wx) : M(sha[i], Vx_Wx),
                                  X(), X(), X());
    const char* aes[5] = {"AESIMC ", "AESENC ", "AESENCLAST ", "AESDEC ", "AESDECLAST "};
    m[0xDB] = only66(t, M(aes[0], Vx_Wx));
    // Key Locker: under F3 the AES rounds with a handle in memory.
    const char* keyLocker[4] = {"AESENC128KL ", "AESDEC128KL ", "AESENC256KL ", "AESDEC256KL "};
    for (int i = 0; i < 4; ++i) {
        const OpcodeEntry kl = M(keyLocker[i], R | D | VR, kMem);
        m[0xDC + i] = addPrefixed(t, X(), M(aes[i + 1], Vx_Wx), i == 0 ? byMod(t, kl, M("LOADIWKEY ", Vx_Wx)) : kl, X());
    }
    m[0xD8] = addPrefixed(t, X(), X(),
                          addGroup(t, {M("AESENCWIDE128KL ", 0, kMem), M("AESDECWIDE128KL ", 0, kMem),
                                       M("AESENCWIDE256KL ", 0, kMem), M("AESDECWIDE256KL ", 0, kMem),
                                       X(), X(), X(), X()}),
                          X());
    m[0xFA] = addPrefixed(t, X(), X(), M("ENCODEKEY128 ", R | D | W | F32, kReg | flag::kSizeY), X());
    m[0xFB] = addPrefixed(t, X(), X(), M("ENCODEKEY256 ", R | D | W | F32, kReg | flag::kSizeY), X());
    m[0xCF] = only66(t, M("GF2P8MULB ", Vx_Wx));
    // Direct stores and enqueue stores: the destination address in a
    // register of the address size.
    const std::uint16_t Y = flag::kSizeY;
    const OpcodeEntry enqueue = M("", Gv_Ev, kMem | flag::kRegAddrSize);
    m[0xF8] = addPrefixed(t, X(), OpcodeEntry{"MOVDIR64B ", enqueue.form, enqueue.layout, 0, enqueue.flags},
                          OpcodeEntry{"ENQCMDS ", enqueue.form, enqueue.layout, 0, enqueue.flags},
                          OpcodeEntry{"ENQCMD ", enqueue.form, enqueue.layout, 0, enqueue.flags});
    m[0xF9] = addPrefixed(t, M("MOVDIRI ", Ev_Gv, kMem | Y), X(), X(), X());
    m[0xF5] = addPrefixed(t, X(), SN(kNameWruss, Layout::ModRM, Ev_Gv, kMem | Y), X(), X());
    m[0xFC] = addPrefixed(t, M("AADD ", Ev_Gv, kMem | Y), M("AAND ", Ev_Gv, kMem | Y),
                          M("AXOR ", Ev_Gv, kMem | Y), M("AOR ", Ev_Gv, kMem | Y));
    m[0xF0] = addPrefixed(t, M("MOVBE ", Gv_Ev, kMem), M("MOVBE ", Gv_Ev, kMem), X(),
                          M("CRC32 ", Gv_Ev, flag::kSizeY | flag::kRmByte));
    m[0xF1] = addPrefixed(t, M("MOVBE ", Ev_Gv, kMem), M("MOVBE ", Ev_Gv, kMem), X(),
                          M("CRC32 ", Gv_Ev, flag::kSizeY));
    m[0xF6] = addPrefixed(t, SN(kNameWrss, Layout::ModRM, Ev_Gv, kMem | flag::kSizeY),
                          M("ADCX ", Gv_Ev, flag::kSizeY | flag::kRmSizeY),
                          M("ADOX ", Gv_Ev, flag::kSizeY | flag::kRmSizeY), X());
}

constexpr void fillMap3A(OpcodeTables& t) {
    auto& m = t.map3A;
    const char* round[7] = {"ROUNDPS ", "ROUNDPD ", "ROUNDSS ", "ROUNDSD ", "BLENDPS ", "BLENDPD ", "PBLENDW "};
    for (int i = 0; i < 7; ++i) m[0x08 + i] = only66(t, M(round[i], Vx_Wx | I8));
    m[0x0F] = mmxSse(t, "PALIGNR ", I8);
    m[0x14] = only66(t, M("PEXTRB ", R | VR | I8 | F32));
    m[0x15] = only66(t, M("PEXTRW ", R | VR | I8 | F32));
    m[0x16] = only66(t, SN(kNamePextrd, Layout::ModRM, R | VR | I8, flag::kRmSizeY));
    m[0x17] = only66(t, M("EXTRACTPS ", R | VR | I8 | F32));
    m[0x20] = only66(t, M("PINSRB ", R | D | VR | I8 | F32));
    m[0x21] = only66(t, M("INSERTPS ", Vx_Wx | I8));
    m[0x22] = only66(t, SN(kNamePinsrd, Layout::ModRM, R | D | VR | I8, flag::kRmSizeY));
    const char* dp[5] = {"DPPS ", "DPPD ", "MPSADBW ", nullptr, "PCLMULQDQ "};
    for (int i = 0; i < 5; ++i)
        if (dp[i]) m[0x40 + i] = only66(t, M(dp[i], Vx_Wx | I8));
    const char* str[4] = {"PCMPESTRM ", "PCMPESTRI ", "PCMPISTRM ", "PCMPISTRI "};
    for (int i = 0; i < 4; ++i) m[0x60 + i] = only66(t, M(str[i], Vx_Wx | I8));
    m[0xCC] = addPrefixed(t, M("SHA1RNDS4 ", Vx_Wx | I8), X(), X(), X());
    m[0xDF] = only66(t, M("AESKEYGENASSIST ", Vx_Wx | I8));
    m[0xCE] = only66(t, M("GF2P8AFFINEQB ", Vx_Wx | I8));
    m[0xCF] = only66(t, M("GF2P8AFFINEINVQB ", Vx_Wx | I8));
}

}  // namespace quorby::disasm::build
