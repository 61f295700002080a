#pragma once
// The one-byte opcode map and its ModRM groups.
#include "decoder/opcode_builders.h"

namespace quorby::disasm::build {

constexpr void fillOneByte(OpcodeTables& t) {
    auto& m = t.oneByte;
    // Rows 0x-3x: the eight ALU operations in their six forms.
    const char* alu[8] = {"ADD ", "OR ", "ADC ", "SBB ", "AND ", "SUB ", "XOR ", "CMP "};
    for (int op = 0; op < 8; ++op) {
        const int b = op * 8;
        m[b + 0] = M(alu[op], Eb_Gb);
        m[b + 1] = M(alu[op], Ev_Gv);
        m[b + 2] = M(alu[op], Gb_Eb);
        m[b + 3] = M(alu[op], Gv_Ev);
        m[b + 4] = L(alu[op], Layout::AccImm, I8);
        m[b + 5] = L(alu[op], Layout::AccImm, W | I);
    }
    m[0x06] = N("PUSH ES", kI64);
    m[0x07] = N("POP ES", kI64);
    m[0x0E] = N("PUSH CS", kI64);
    m[0x0F] = L("", Layout::Escape0F);
    m[0x16] = N("PUSH SS", kI64);
    m[0x17] = N("POP SS", kI64);
    m[0x1E] = N("PUSH DS", kI64);
    m[0x1F] = N("POP DS", kI64);
    m[0x27] = N("DAA", kI64);
    m[0x2F] = N("DAS", kI64);
    m[0x37] = N("AAA", kI64);
    m[0x3F] = N("AAS", kI64);
    for (int b : {0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65, 0x66, 0x67, 0xF0, 0xF2, 0xF3})
        m[b] = L("", Layout::Prefix);

    for (int r = 0; r < 8; ++r) {
        m[0x40 + r] = L("INC ", Layout::RegOp, W);  // REX in 64-bit mode
        m[0x48 + r] = L("DEC ", Layout::RegOp, W);
        m[0x50 + r] = L("PUSH ", Layout::RegOp, W, 0, kD64);
        m[0x58 + r] = L("POP ", Layout::RegOp, W, 0, kD64);
        m[0x91 + r] = L("XCHG ", Layout::XchgAcc, W);
        m[0xB0 + r] = L("MOV ", Layout::RegOpImm, I8);
        m[0xB8 + r] = L("MOV ", Layout::RegOpImm, W | I);
    }
    m[0x60] = SN(kNamePusha, Layout::None, 0, kI64);
    m[0x61] = SN(kNamePopa, Layout::None, 0, kI64);
    m[0x62] = M("BOUND ", Gv_Ev, kI64 | kMem);
    m[0x63] = M("ARPL ", Eb_Gb | W | F16, kI64 | flag::kReg16);  // MOVSXD in 64-bit mode
    m[0x68] = L("PUSH ", Layout::Imm, W | I, 0, kD64);
    m[0x69] = L("IMUL ", Layout::Imul3, Gv_Ev | I);
    m[0x6A] = L("PUSH ", Layout::Imm, I8 | SG, 0, kD64);
    m[0x6B] = L("IMUL ", Layout::Imul3, Gv_Ev | I8);
    m[0x6C] = L("INSB ", Layout::String, 0, kIns);
    m[0x6D] = SN(kNameIns, Layout::String, W);
    m[0x6E] = L("OUTSB ", Layout::String, 0, kOuts);
    m[0x6F] = SN(kNameOuts, Layout::String, W);

    const char* jcc[16] = {"JO ",  "JNO ", "JB ", "JAE ", "JZ ", "JNZ ", "JBE ", "JA ",
                           "JS ",  "JNS ", "JP ", "JNP ", "JL ", "JGE ", "JLE ", "JG "};
    for (int c = 0; c < 16; ++c) m[0x70 + c] = L(jcc[c], Layout::Rel, I8);

    OpcodeRow8 g1EbIb{}, g1EvIz{}, g1EvIb{};
    for (int r = 0; r < 8; ++r) {
        g1EbIb[r] = M(alu[r], S | I8);
        g1EvIz[r] = M(alu[r], S | W | I);
        g1EvIb[r] = M(alu[r], S | W | I8);
    }
    m[0x80] = addGroup(t, g1EbIb);
    m[0x81] = addGroup(t, g1EvIz);
    m[0x82] = addGroup(t, g1EbIb, kI64);
    m[0x83] = addGroup(t, g1EvIb);
    m[0x84] = M("TEST ", Eb_Gb);
    m[0x85] = M("TEST ", Ev_Gv);
    m[0x86] = M("XCHG ", Eb_Gb);
    m[0x87] = M("XCHG ", Ev_Gv);
    m[0x88] = M("MOV ", Eb_Gb);
    m[0x89] = M("MOV ", Ev_Gv);
    m[0x8A] = M("MOV ", Gb_Eb);
    m[0x8B] = M("MOV ", Gv_Ev);
    m[0x8C] = M("MOV ", Ev_Gv | SEG);
    m[0x8D] = M("LEA ", Gv_Ev, kMem);
    m[0x8E] = M("MOV ", Gv_Ev | SEG);
    m[0x8F] = addGroup(t, {M("POP ", S | W, kD64), X(), X(), X(), X(), X(), X(), X()});

    m[0x90] = N("NOP");
    m[0x98] = SN(kNameCbw);
    m[0x99] = SN(kNameCwd);
    m[0x9A] = L("CALL far ", Layout::FarPtr, 0, 0, kI64);
    m[0x9B] = N("WAIT");
    m[0x9C] = SN(kNamePushf, Layout::None, 0, kD64);
    m[0x9D] = SN(kNamePopf, Layout::None, 0, kD64);
    m[0x9E] = N("SAHF");
    m[0x9F] = N("LAHF");

    m[0xA0] = L("MOV ", Layout::Moffs, form::kDirect, 0);
    m[0xA1] = L("MOV ", Layout::Moffs, form::kDirect | W, 0);
    m[0xA2] = L("MOV ", Layout::Moffs, form::kDirect, 1);
    m[0xA3] = L("MOV ", Layout::Moffs, form::kDirect | W, 1);
    m[0xA4] = L("MOVSB ", Layout::String, 0, kMovs);
    m[0xA5] = SN(kNameMovs, Layout::String, W);
    m[0xA6] = L("CMPSB ", Layout::String, 0, kCmps);
    m[0xA7] = SN(kNameCmps, Layout::String, W);
    m[0xA8] = L("Test ", Layout::AccImm, I8);
    m[0xA9] = L("Test ", Layout::AccImm, W | I);
    m[0xAA] = L("STOSB ", Layout::String, 0, kStos);
    m[0xAB] = SN(kNameStos, Layout::String, W);
    m[0xAC] = L("LODSB ", Layout::String, 0, kLods);
    m[0xAD] = SN(kNameLods, Layout::String, W);
    m[0xAE] = L("SCASB ", Layout::String, 0, kScas);
    m[0xAF] = SN(kNameScas, Layout::String, W);

    const char* shifts[8] = {"ROL ", "ROR ", "RCL ", "RCR ", "SHL ", "SHR ", "SAL ", "SAR "};
    OpcodeRow8 g2EbIb{}, g2EvIb{}, g2Eb1{}, g2Ev1{}, g2EbCL{}, g2EvCL{};
    for (int r = 0; r < 8; ++r) {
        g2EbIb[r] = M(shifts[r], S | I8);
        g2EvIb[r] = M(shifts[r], S | W | I8);
        g2Eb1[r] = L(shifts[r], Layout::ModRMOne, S);
        g2Ev1[r] = L(shifts[r], Layout::ModRMOne, S | W);
        g2EbCL[r] = L(shifts[r], Layout::ModRMCL, S);
        g2EvCL[r] = L(shifts[r], Layout::ModRMCL, S | W);
    }
    m[0xC0] = addGroup(t, g2EbIb);
    m[0xC1] = addGroup(t, g2EvIb);
    m[0xC2] = L("RET ", Layout::Imm, I, 0, flag::kImmWord);
    m[0xC3] = N("RET");
    m[0xC4] = M("LES ", Gv_Ev | FAR, kI64 | kMem);
    m[0xC5] = M("LDS ", Gv_Ev | FAR, kI64 | kMem);
    {
        // C6 F8 and C7 F8 are XABORT and XBEGIN (transactional memory).
        const OpcodeRow8 none{};
        const OpcodeEntry xabort = addRmRow(t, {L("XABORT ", Layout::Imm, I8), X(), X(), X(), X(), X(), X(), X()});
        const OpcodeEntry xbegin = addRmRow(t, {L("XBEGIN ", Layout::Rel, W), X(), X(), X(), X(), X(), X(), X()});
        m[0xC6] = addGroup(t, {M("MOV ", S | I8), X(), X(), X(), X(), X(), X(),
                               addSplit(t, none, {X(), X(), X(), X(), X(), X(), X(), xabort})});
        m[0xC7] = addGroup(t, {M("MOV ", S | W | I), X(), X(), X(), X(), X(), X(),
                               addSplit(t, none, {X(), X(), X(), X(), X(), X(), X(), xbegin})});
    }
    m[0xC8] = L("ENTER ", Layout::Enter);
    m[0xC9] = N("LEAVE");
    m[0xCA] = L("RETF ", Layout::Imm, I, 0, flag::kImmWord);
    m[0xCB] = N("RETF");
    m[0xCC] = N("INT 3");
    m[0xCD] = L("INT ", Layout::Imm, I8);
    m[0xCE] = N("INTO", kI64);
    m[0xCF] = SN(kNameIret);
    m[0xD0] = addGroup(t, g2Eb1);
    m[0xD1] = addGroup(t, g2Ev1);
    m[0xD2] = addGroup(t, g2EbCL);
    m[0xD3] = addGroup(t, g2EvCL);
    m[0xD4] = L("AAM ", Layout::Imm, I8, 0, kI64);
    m[0xD5] = L("AAD ", Layout::Imm, I8, 0, kI64);
    m[0xD6] = N("SALC", kI64);
    m[0xD7] = N("XLATB");
    for (int b = 0xD8; b <= 0xDF; ++b) m[b] = L("", Layout::X87);

    m[0xE0] = L("LOOPNE ", Layout::Rel, I8);
    m[0xE1] = L("LOOPE ", Layout::Rel, I8);
    m[0xE2] = L("LOOP ", Layout::Rel, I8);
    m[0xE3] = SN(kNameJcxz, Layout::Rel, I8, flag::kSizedByAddr);
    m[0xE4] = L("IN ", Layout::InImm, I8);
    m[0xE5] = L("IN ", Layout::InImm, W | I8);
    m[0xE6] = L("OUT ", Layout::OutImm, I8);
    m[0xE7] = L("OUT ", Layout::OutImm, W | I8);
    m[0xE8] = L("CALL NEAR ", Layout::Rel, W, 0, kD64);
    m[0xE9] = L("JMP NEAR ", Layout::Rel, W, 0, kD64);
    m[0xEA] = L("JMP FAR ", Layout::FarPtr, 0, 0, kI64);
    m[0xEB] = L("JMP SHORT ", Layout::Rel, I8);
    m[0xEC] = N("IN AL,DX");
    m[0xED] = SN(kNameInDx);
    m[0xEE] = N("OUT DX,AL");
    m[0xEF] = SN(kNameOutDx);
    m[0xF1] = N("INT1");
    m[0xF4] = N("HLT");
    m[0xF5] = N("CMC");
    const char* grp3[8] = {"TEST ", "TEST ", "NOT ", "NEG ", "MUL ", "IMUL ", "DIV ", "IDIV "};
    OpcodeRow8 g3Eb{}, g3Ev{};
    for (int r = 0; r < 8; ++r) {
        g3Eb[r] = M(grp3[r], r < 2 ? S | I8 : S);
        g3Ev[r] = M(grp3[r], r < 2 ? S | W | I : S | W);
    }
    m[0xF6] = addGroup(t, g3Eb);
    m[0xF7] = addGroup(t, g3Ev);
    m[0xF8] = N("CLC");
    m[0xF9] = N("STC");
    m[0xFA] = N("CLI");
    m[0xFB] = N("STI");
    m[0xFC] = N("CLD");
    m[0xFD] = N("STD");
    m[0xFE] = addGroup(t, {M("INC ", S), M("DEC ", S), X(), X(), X(), X(), X(), X()});
    m[0xFF] = addGroup(t, {M("INC ", S | W), M("DEC ", S | W), M("CALL NEAR ", S | W, kD64),
                           M("CALL far ", S | FAR, kMem), M("JMP NEAR ", S | W, kD64),
                           M("JMP FAR ", S | FAR, kMem), M("PUSH ", S | W, kD64), X()});
}

}  // namespace quorby::disasm::build
