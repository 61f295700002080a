#pragma once
// The two-byte map 0F xx: system and integer rows, MMX and SSE..SSE3 rows with
// their mandatory-prefix variants.
#include "decoder/opcode_builders.h"

namespace quorby::disasm::build {

// An instruction whose F3 and F2 forms are other instructions; 66 leaves it as it is.
constexpr OpcodeEntry byRep(OpcodeTables& t, const OpcodeEntry& none, const OpcodeEntry& f3,
                            const OpcodeEntry& f2) {
    return addPrefixed(t, none, none, f3, f2);
}

constexpr void fillTwoByteSystem(OpcodeTables& t) {
    auto& m = t.twoByte;
    const std::uint16_t Y = flag::kSizeY;
    const std::uint16_t RY = flag::kRmSizeY;
    m[0x00] = addGroup(t, {M("SLDT ", S | W | F16), M("STR ", S | W | F16), M("LLDT ", S | W | F16),
                           M("LTR ", S | W | F16), M("VERR ", S | W | F16), M("VERW ", S | W | F16),
                           X(), X()});
    const OpcodeEntry vmx = addRmRow(t, {X(), N("VMCALL"), N("VMLAUNCH"), N("VMRESUME"),
                                         N("VMXOFF"), X(), X(), X()});
    const OpcodeEntry mon = addRmRow(t, {N("MONITOR"), N("MWAIT"), N("CLAC"), N("STAC"), X(), X(),
                                         X(), N("ENCLS")});
    const OpcodeEntry xcr = addRmRow(t, {N("XGETBV"), N("XSETBV"), X(), X(), N("VMFUNC"),
                                         N("XEND"), N("XTEST"), N("ENCLU")});
    // AMD's secure virtual machine instructions.
    const OpcodeEntry svm = addRmRow(t, {N("VMRUN"), N("VMMCALL"), N("VMLOAD"), N("VMSAVE"), N("STGI"),
                                         N("CLGI"), N("SKINIT"), N("INVLPGA")});
    // SERIALIZE; under F3 the shadow-stack and under F2 the TSX load-tracking instructions.
    const OpcodeEntry pkru = addRmRow(
        t, {byRep(t, N("SERIALIZE"), N("SETSSBSY"), N("XSUSLDTRK")), byRep(t, X(), X(), N("XRESLDTRK")),
            byRep(t, X(), N("SAVEPREVSSP"), X()), X(), byRep(t, X(), N("UIRET"), X()),
            byRep(t, X(), N("TESTUI"), X()), byRep(t, N("RDPKRU"), N("CLUI"), N("RDPKRU")),
            byRep(t, N("WRPKRU"), N("STUI"), N("WRPKRU"))});
    const OpcodeEntry swp = addRmRow(t, {N("SWAPGS", kO64), N("RDTSCP"), N("MONITORX"), N("MWAITX"),
                                         N("CLZERO"), N("RDPRU"), X(), X()});
    m[0x01] = addSplit(
        t,
        {M("SGDT ", S | FAR, kMem), M("SIDT ", S | FAR, kMem), M("LGDT ", S | FAR, kMem),
         M("LIDT ", S | FAR, kMem), M("SMSW ", S | W | F16),
         byRep(t, X(), M("RSTORSSP ", S | F64, kMem), X()), M("LMSW ", S | W | F16),
         M("INVLPG ", S, kMem)},
        {vmx, mon, xcr, svm, M("SMSW ", S | W), pkru, M("LMSW ", S | W | F16), swp});
    m[0x02] = M("LAR ", Gv_Ev);
    m[0x03] = M("LSL ", Gv_Ev);
    m[0x05] = N("SYSCALL");
    m[0x06] = N("CLTS");
    m[0x07] = N("SYSRET");
    m[0x08] = N("INVD");
    m[0x09] = byRep(t, N("WBINVD"), N("WBNOINVD"), N("WBINVD"));
    m[0x0B] = N("UD2");
    {
        const OpcodeEntry p = M("PREFETCH ", S);
        m[0x0D] = addGroup(t, {p, M("PREFETCHW ", S), M("PREFETCHWT1 ", S), p, p, p, p, p});
    }
    m[0x0E] = N("FEMMS");
    m[0x0F] = L("", Layout::Amd3DNow, Pq_Qq);
    {
        // The hint space 0F 18-1F: prefetches and CLDEMOTE with memory, NOP with a register.
        const OpcodeEntry nop = M("NOP ", S | W);
        m[0x18] = addSplit(t, {M("PREFETCHNTA ", S), M("PREFETCH0 ", S), M("PREFETCH1 ", S),
                               M("PREFETCH2 ", S), nop, nop, nop, nop},
                           {nop, nop, nop, nop, nop, nop, nop, nop});
        for (int b = 0x19; b <= 0x1F; ++b) m[b] = nop;
        m[0x1C] = addPrefixed(t, addSplit(t, {M("CLDEMOTE ", S), nop, nop, nop, nop, nop, nop, nop},
                                          {nop, nop, nop, nop, nop, nop, nop, nop}),
                              nop, nop, nop);
        // F3 0F 1E FA/FB are the branch-target markers, F3 0F 1E /1 with a
        // register reads the shadow-stack pointer; the rest is a hint NOP.
        const OpcodeEntry endbr = addRmRow(t, {nop, nop, N("ENDBR64"), N("ENDBR32"), nop, nop, nop, nop});
        const OpcodeEntry f3 = addSplit(t, {nop, nop, nop, nop, nop, nop, nop, nop},
                                        {nop, SN(kNameRdssp, Layout::ModRM, W, RY), nop, nop, nop, nop, nop, endbr});
        m[0x1E] = addPrefixed(t, nop, nop, f3, nop);
    }
    m[0x20] = L("MOV ", Layout::CtrlReg, 0, 0);
    m[0x21] = L("MOV ", Layout::DebugReg, 0, 0);
    m[0x22] = L("MOV ", Layout::CtrlReg, 0, 1);
    m[0x23] = L("MOV ", Layout::DebugReg, 0, 1);
    // The test registers of the 386 and 486 (aux bit 1).
    m[0x24] = L("MOV ", Layout::DebugReg, 0, 2, kI64);
    m[0x26] = L("MOV ", Layout::DebugReg, 0, 3, kI64);
    m[0x30] = N("WRMSR");
    m[0x31] = N("RDTSC");
    m[0x32] = N("RDMSR");
    m[0x33] = N("RDPMC");
    m[0x34] = N("SYSENTER");
    m[0x35] = N("SYSEXIT");
    m[0x37] = N("GETSEC");
    m[0x38] = L("", Layout::Escape38);
    m[0x3A] = L("", Layout::Escape3A);
    const char* cmov[16] = {"CMOVO ", "CMOVNO ", "CMOVB ", "CMOVAE ", "CMOVE ", "CMOVNE ",
                            "CMOVBE ", "CMOVA ", "CMOVS ", "CMOVNS ", "CMOVP ", "CMOVNP ",
                            "CMOVL ", "CMOVGE ", "CMOVLE ", "CMOVG "};
    const char* jcc[16] = {"JO ",  "JNO ", "JB ", "JAE ", "JZ ", "JNZ ", "JBE ", "JA ",
                           "JS ",  "JNS ", "JP ", "JNP ", "JL ", "JGE ", "JLE ", "JG "};
    const char* setcc[16] = {"SETO ", "SETNO ", "SETB ", "SETAE ", "SETE ", "SETNE ",
                             "SETBE ", "SETA ", "SETS ", "SETNS ", "SETP ", "SETPO ",
                             "SETL ", "SETGE ", "SETLE ", "SETG "};
    for (int c = 0; c < 16; ++c) {
        m[0x40 + c] = M(cmov[c], Gv_Ev);
        m[0x80 + c] = L(jcc[c], Layout::Rel, W, 0, kD64);
        m[0x90 + c] = M(setcc[c], S);
    }
    m[0x77] = N("EMMS");
    // VMREAD and VMWRITE; under 66 and F2 AMD's SSE4a bit-field instructions.
    m[0x78] = addPrefixed(t, M("VMREAD ", Ev_Gv, flag::kSize64In64),
                          M("EXTRQ ", WR | I8, kReg | flag::kImm2Byte), X(),
                          M("INSERTQ ", Vx_Wx | I8, kReg | flag::kImm2Byte));
    m[0x79] = addPrefixed(t, M("VMWRITE ", Gv_Ev, flag::kSize64In64), M("EXTRQ ", Vx_Wx, kReg), X(),
                          M("INSERTQ ", Vx_Wx, kReg));
    m[0xA0] = N("PUSH FS", kD64);
    m[0xA1] = N("POP FS", kD64);
    m[0xA2] = N("CPUID");
    m[0xA3] = M("BT ", Ev_Gv);
    m[0xA4] = M("SHLD ", Ev_Gv | I8);
    m[0xA5] = L("SHLD ", Layout::ModRMCL, Ev_Gv);
    m[0xA8] = N("PUSH GS", kD64);
    m[0xA9] = N("POP GS", kD64);
    m[0xAA] = N("RSM");
    m[0xAB] = M("BTS ", Ev_Gv);
    m[0xAC] = M("SHRD ", Ev_Gv | I8);
    m[0xAD] = L("SHRD ", Layout::ModRMCL, Ev_Gv);
    {
        // Row AE: state saving and fences; under 66 the cache-line writebacks
        // and TPAUSE, under F3 the FS/GS base moves, PTWRITE, the shadow-stack
        // instructions and UMONITOR, under F2 UMWAIT.
        const std::uint16_t base64 = kReg | kO64 | RY;
        const OpcodeEntry clflush = M("CLFLUSH ", S, kMem);
        m[0xAE] = addSplit(
            t,
            {SN(kNameFxsave, Layout::X87Mem, form::kFxArea), SN(kNameFxrstor, Layout::X87Mem, form::kFxArea),
             M("LDMXCSR ", S | F32), M("STMXCSR ", S | F32),
             addPrefixed(t, SN(kNameXsave, Layout::ModRM, S), SN(kNameXsave, Layout::ModRM, S),
                         M("PTWRITE ", S | W, RY), SN(kNameXsave, Layout::ModRM, S)),
             SN(kNameXrstor, Layout::ModRM, S),
             addPrefixed(t, SN(kNameXsaveopt, Layout::ModRM, S), M("CLWB ", S, kMem),
                         M("CLRSSBSY ", S | F64, kMem), SN(kNameXsaveopt, Layout::ModRM, S)),
             addPrefixed(t, clflush, M("CLFLUSHOPT ", S, kMem), clflush, clflush)},
            {byRep(t, X(), M("RDFSBASE ", W, base64), X()), byRep(t, X(), M("RDGSBASE ", W, base64), X()),
             byRep(t, X(), M("WRFSBASE ", W, base64), X()), byRep(t, X(), M("WRGSBASE ", W, base64), X()),
             byRep(t, X(), M("PTWRITE ", W, kReg | RY), X()),
             byRep(t, N("LFENCE"), SN(kNameIncssp, Layout::ModRM, W, kReg | RY), N("LFENCE")),
             addPrefixed(t, N("MFENCE"), M("TPAUSE ", W | F32, kReg), M("UMONITOR ", W, kReg | flag::kRmAddrSize),
                         M("UMWAIT ", W | F32, kReg)),
             N("SFENCE")});
    }
    m[0xAF] = M("IMUL ", Gv_Ev);
    m[0xB0] = M("CMPXCHG ", Eb_Gb);
    m[0xB1] = M("CMPXCHG ", Ev_Gv);
    m[0xB2] = M("LSS ", Gv_Ev | FAR, kMem);
    m[0xB3] = M("BTR ", Ev_Gv);
    m[0xB4] = M("LFS ", Gv_Ev | FAR, kMem);
    m[0xB5] = M("LGS ", Gv_Ev | FAR, kMem);
    m[0xB6] = M("MOVZX ", Gv_Ev | S, flag::kRmByte);
    m[0xB7] = M("MOVZX ", Gv_Ev | S | F16);
    m[0xB8] = addPrefixed(t, X(), X(), M("POPCNT ", Gv_Ev), X());
    m[0xB9] = M("UD1 ", Gv_Ev);
    m[0xBA] = addGroup(t, {X(), X(), X(), X(), M("BT ", S | W | I8), M("BTS ", S | W | I8),
                           M("BTR ", S | W | I8), M("BTC ", S | W | I8)});
    m[0xBB] = M("BTC ", Ev_Gv);
    m[0xBC] = addPrefixed(t, M("BSF ", Gv_Ev), M("BSF ", Gv_Ev), M("TZCNT ", Gv_Ev), M("BSF ", Gv_Ev));
    m[0xBD] = addPrefixed(t, M("BSR ", Gv_Ev), M("BSR ", Gv_Ev), M("LZCNT ", Gv_Ev), M("BSR ", Gv_Ev));
    m[0xBE] = M("MOVSX ", Gv_Ev | S, flag::kRmByte);
    m[0xBF] = M("MOVSX ", Gv_Ev | S | F16);
    m[0xC0] = M("XADD ", Eb_Gb);
    m[0xC1] = M("XADD ", Ev_Gv);
    m[0xC3] = M("MOVNTI ", Ev_Gv, kMem | Y);
    {
        const OpcodeEntry vmptrld =
            addPrefixed(t, M("VMPTRLD ", S | F64), M("VMCLEAR ", S | F64), M("VMXON ", S | F64), X());
        const OpcodeEntry rdseed = M("RDSEED ", W);
        const OpcodeEntry rdrand = M("RDRAND ", W);
        m[0xC7] = addSplit(t,
                           {X(), SN(kNameCmpxchg8b, Layout::ModRM, S | F64), X(),
                            SN(kNameXrstors, Layout::ModRM, 0, kMem), SN(kNameXsavec, Layout::ModRM, 0, kMem),
                            SN(kNameXsaves, Layout::ModRM, 0, kMem), vmptrld, M("VMPTRST ", S | F64)},
                           {X(), X(), X(), X(), X(), X(),
                            byRep(t, rdrand, M("SENDUIPI ", W, kReg | kD64 | kO64), rdrand),
                            byRep(t, rdseed, M("RDPID ", W, kReg | kD64), rdseed)});
    }
    for (int r = 0; r < 8; ++r) m[0xC8 + r] = L("BSWAP ", Layout::RegOp, W);
    m[0xFF] = M("UD0 ", Gv_Ev);
}

constexpr void fillTwoByteSimd(OpcodeTables& t) {
    auto& m = t.twoByte;
    const std::uint16_t Y = flag::kSizeY;
    const std::uint16_t RY = flag::kRmSizeY;
    m[0x10] = sse4(t, "MOVUPS ", "MOVUPD ", "MOVSS ", "MOVSD ");
    m[0x11] = sse4(t, "MOVUPS ", "MOVUPD ", "MOVSS ", "MOVSD ", Wx_Vx);
    m[0x12] = addPrefixed(t, byMod(t, M("MOVLPS ", Vx_Wx), M("MOVHLPS ", Vx_Wx)),
                          M("MOVLPD ", Vx_Wx, kMem), M("MOVSLDUP ", Vx_Wx), M("MOVDDUP ", Vx_Wx));
    m[0x13] = sse4(t, "MOVLPS ", "MOVLPD ", "", "", Wx_Vx, kMem);
    m[0x14] = sse4(t, "UNPCKLPS ", "UNPCKLPD ", "", "");
    m[0x15] = sse4(t, "UNPCKHPS ", "UNPCKHPD ", "", "");
    m[0x16] = addPrefixed(t, byMod(t, M("MOVHPS ", Vx_Wx), M("MOVLHPS ", Vx_Wx)),
                          M("MOVHPD ", Vx_Wx, kMem), M("MOVSHDUP ", Vx_Wx), X());
    m[0x17] = sse4(t, "MOVHPS ", "MOVHPD ", "", "", Wx_Vx, kMem);
    m[0x28] = sse4(t, "MOVAPS ", "MOVAPD ", "", "");
    m[0x29] = sse4(t, "MOVAPS ", "MOVAPD ", "", "", Wx_Vx);
    m[0x2A] = addPrefixed(t, M("CVTPI2PS ", R | D | VR | QR), M("CVTPI2PD ", R | D | VR | QR),
                          M("CVTSI2SS ", R | D | VR, RY), M("CVTSI2SD ", R | D | VR, RY));
    m[0x2B] = sse4(t, "MOVNTPS ", "MOVNTPD ", "MOVNTSS ", "MOVNTSD ", Wx_Vx, kMem);
    m[0x2C] = addPrefixed(t, M("CVTTPS2PI ", R | D | PR | WR), M("CVTTPD2PI ", R | D | PR | WR),
                          M("CVTTSS2SI ", R | D | W | WR, Y), M("CVTTSD2SI ", R | D | W | WR, Y));
    m[0x2D] = addPrefixed(t, M("CVTPS2PI ", R | D | PR | WR), M("CVTPD2PI ", R | D | PR | WR),
                          M("CVTSS2SI ", R | D | W | WR, Y), M("CVTSD2SI ", R | D | W | WR, Y));
    m[0x2E] = sse4(t, "UCOMISS ", "UCOMISD ", "", "");
    m[0x2F] = sse4(t, "COMISS ", "COMISD ", "", "");

    m[0x50] = sse4(t, "MOVMSKPS ", "MOVMSKPD ", "", "", R | D | W | WR, Y | kReg);
    m[0x51] = sse4(t, "SQRTPS ", "SQRTPD ", "SQRTSS ", "SQRTSD ");
    m[0x52] = sse4(t, "RSQRTPS ", "", "RSQRTSS ", "");
    m[0x53] = sse4(t, "RCPPS ", "", "RCPSS ", "");
    m[0x54] = sse4(t, "ANDPS ", "ANDPD ", "", "");
    m[0x55] = sse4(t, "ANDNPS ", "ANDNPD ", "", "");
    m[0x56] = sse4(t, "ORPS ", "ORPD ", "", "");
    m[0x57] = sse4(t, "XORPS ", "XORPD ", "", "");
    m[0x58] = sse4(t, "ADDPS ", "ADDPD ", "ADDSS ", "ADDSD ");
    m[0x59] = sse4(t, "MULPS ", "MULPD ", "MULSS ", "MULSD ");
    m[0x5A] = sse4(t, "CVTPS2PD ", "CVTPD2PS ", "CVTSS2SD ", "CVTSD2SS ");
    m[0x5B] = sse4(t, "CVTDQ2PS ", "CVTPS2DQ ", "CVTTPS2DQ ", "");
    m[0x5C] = sse4(t, "SUBPS ", "SUBPD ", "SUBSS ", "SUBSD ");
    m[0x5D] = sse4(t, "MINPS ", "MINPD ", "MINSS ", "MINSD ");
    m[0x5E] = sse4(t, "DIVPS ", "DIVPD ", "DIVSS ", "DIVSD ");
    m[0x5F] = sse4(t, "MAXPS ", "MAXPD ", "MAXSS ", "MAXSD ");

    const char* row6[12] = {"PUNPCKLBW ", "PUNPCKLWD ", "PUNPCKLDQ ", "PACKSSWB ",
                            "PCMPGTB ",   "PCMPGTW ",   "PCMPGTD ",   "PACKUSWB ",
                            "PUNPCKHBW ", "PUNPCKHWD ", "PUNPCKHDQ ", "PACKSSDW "};
    for (int i = 0; i < 12; ++i) m[0x60 + i] = mmxSse(t, row6[i]);
    m[0x6C] = only66(t, M("PUNPCKLQDQ ", Vx_Wx));
    m[0x6D] = only66(t, M("PUNPCKHQDQ ", Vx_Wx));
    m[0x6E] = addPrefixed(t, SN(kNameMovd, Layout::ModRM, R | D | PR, RY),
                          SN(kNameMovd, Layout::ModRM, R | D | VR, RY), X(), X());
    m[0x6F] = addPrefixed(t, M("MOVQ ", Pq_Qq), M("MOVDQA ", Vx_Wx), M("MOVDQU ", Vx_Wx), X());
    m[0x70] = addPrefixed(t, M("PSHUFW ", Pq_Qq | I8), M("PSHUFD ", Vx_Wx | I8),
                          M("PSHUFHW ", Vx_Wx | I8), M("PSHUFLW ", Vx_Wx | I8));
    auto shiftImm = [&](const char* mn, bool withMmx) {
        return addPrefixed(t, withMmx ? M(mn, QR | I8, kReg) : X(), M(mn, WR | I8, kReg), X(), X());
    };
    m[0x71] = addGroup(t, {X(), X(), shiftImm("PSRLW ", true), X(), shiftImm("PSRAW ", true), X(),
                           shiftImm("PSLLW ", true), X()});
    m[0x72] = addGroup(t, {X(), X(), shiftImm("PSRLD ", true), X(), shiftImm("PSRAD ", true), X(),
                           shiftImm("PSLLD ", true), X()});
    m[0x73] = addGroup(t, {X(), X(), shiftImm("PSRLQ ", true), shiftImm("PSRLDQ ", false), X(), X(),
                           shiftImm("PSLLQ ", true), shiftImm("PSLLDQ ", false)});
    m[0x74] = mmxSse(t, "PCMPEQB ");
    m[0x75] = mmxSse(t, "PCMPEQW ");
    m[0x76] = mmxSse(t, "PCMPEQD ");
    m[0x7C] = sse4(t, "", "HADDPD ", "", "HADDPS ");
    m[0x7D] = sse4(t, "", "HSUBPD ", "", "HSUBPS ");
    m[0x7E] = addPrefixed(t, SN(kNameMovd, Layout::ModRM, R | PR, RY),
                          SN(kNameMovd, Layout::ModRM, R | VR, RY), M("MOVQ ", Vx_Wx), X());
    m[0x7F] = addPrefixed(t, M("MOVQ ", Qq_Pq), M("MOVDQA ", Wx_Vx), M("MOVDQU ", Wx_Vx), X());

    m[0xC2] = sse4(t, "CMPPS ", "CMPPD ", "CMPSS ", "CMPSD ", Vx_Wx | I8);
    m[0xC4] = addPrefixed(t, M("PINSRW ", R | D | PR | I8 | F32), M("PINSRW ", R | D | VR | I8 | F32),
                          X(), X());
    m[0xC5] = addPrefixed(t, M("PEXTRW ", R | D | W | QR | I8, Y | kReg),
                          M("PEXTRW ", R | D | W | WR | I8, Y | kReg), X(), X());
    m[0xC6] = sse4(t, "SHUFPS ", "SHUFPD ", "", "", Vx_Wx | I8);
    const char* rowD[16] = {nullptr,    "PSRLW ",   "PSRLD ",  "PSRLQ ", "PADDQ ",   "PMULLW ",
                            nullptr,    nullptr,    "PSUBUSB ", "PSUBUSW ", "PMINUB ", "PAND ",
                            "PADDUSB ", "PADDUSW ", "PMAXUB ", "PANDN "};
    const char* rowE[16] = {"PAVGB ",  "PSRAW ",  "PSRAD ",  "PAVGW ", "PMULHUW ", "PMULHW ",
                            nullptr,   nullptr,   "PSUBSB ", "PSUBSW ", "PMINSW ", "POR ",
                            "PADDSB ", "PADDSW ", "PMAXSW ", "PXOR "};
    const char* rowF[16] = {nullptr,   "PSLLW ",   "PSLLD ", "PSLLQ ", "PMULUDQ ", "PMADDWD ",
                            "PSADBW ", nullptr,    "PSUBB ", "PSUBW ", "PSUBD ",   "PSUBQ ",
                            "PADDB ",  "PADDW ",   "PADDD ", nullptr};
    for (int i = 0; i < 16; ++i) {
        if (rowD[i]) m[0xD0 + i] = mmxSse(t, rowD[i]);
        if (rowE[i]) m[0xE0 + i] = mmxSse(t, rowE[i]);
        if (rowF[i]) m[0xF0 + i] = mmxSse(t, rowF[i]);
    }
    m[0xD0] = sse4(t, "", "ADDSUBPD ", "", "ADDSUBPS ");
    m[0xD6] = addPrefixed(t, X(), M("MOVQ ", Wx_Vx), M("MOVQ2DQ ", R | D | VR | QR, kReg),
                          M("MOVDQ2Q ", R | D | PR | WR, kReg));
    {
        // F3 and F2 leave the MMX form as it is.
        const OpcodeEntry mmx = M("PMOVMSKB ", R | D | W | QR, Y | kReg);
        m[0xD7] = addPrefixed(t, mmx, M("PMOVMSKB ", R | D | W | WR, Y | kReg), mmx, mmx);
    }
    m[0xE6] = sse4(t, "", "CVTTPD2DQ ", "CVTDQ2PD ", "CVTPD2DQ ");
    m[0xE7] = addPrefixed(t, M("MOVNTQ ", Qq_Pq, kMem), M("MOVNTDQ ", Wx_Vx, kMem), X(), X());
    m[0xF0] = addPrefixed(t, X(), X(), X(), M("LDDQU ", Vx_Wx, kMem));
    m[0xF7] = addPrefixed(t, M("MASKMOVQ ", Pq_Qq, kReg), M("MASKMOVDQU ", Vx_Wx, kReg), X(), X());
}

}  // namespace quorby::disasm::build
