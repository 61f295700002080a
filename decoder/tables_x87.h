#pragma once
// The x87 escape opcodes D8-DF: memory forms by the reg field, register forms
// by the reg field and, for the rows without operands, by the r/m field.
#include "decoder/opcode_builders.h"

namespace quorby::disasm::build {

constexpr void fillX87(OpcodeTables& t) {
    using form::kEnvironment;
    using form::kFpuState;
    using form::kX87Bcd;
    using form::kX87Int16;
    using form::kX87Int32;
    using form::kX87Int64;
    using form::kX87Real32;
    using form::kX87Real64;
    using form::kX87Real80;
    auto mem = [](const char* m, std::uint32_t note) { return L(m, Layout::X87Mem, note); };
    auto& xm = t.x87Memory;
    const char* arith[8] = {"FADD ", "FMUL ", "FCOM ", "FCOMP ", "FSUB ", "FSUBR ", "FDIV ", "FDIVR "};
    const char* iarith[8] = {"FIADD ", "FIMUL ", "FICOM ", "FICOMP ",
                             "FISUB ", "FISUBR ", "FIDIV ", "FIDIVR "};
    for (int r = 0; r < 8; ++r) {
        xm[0][r] = mem(arith[r], kX87Real32);
        xm[2][r] = mem(iarith[r], kX87Int32);
        xm[4][r] = mem(arith[r], kX87Real64);
        xm[6][r] = mem(iarith[r], kX87Int16);
    }
    xm[1] = {mem("FLD ", kX87Real32), X(), mem("FST ", kX87Real32), mem("FSTP ", kX87Real32),
             mem("FLDENV ", kEnvironment), mem("FLDCW ", kX87Int16), mem("FNSTENV ", kEnvironment),
             mem("FNSTCW ", kX87Int16)};
    xm[3] = {mem("FILD ", kX87Int32), mem("FISTTP ", kX87Int32), mem("FIST ", kX87Int32),
             mem("FISTP ", kX87Int32), X(), mem("FLD ", kX87Real80), X(), mem("FSTP ", kX87Real80)};
    xm[5] = {mem("FLD ", kX87Real64), mem("FISTTP ", kX87Int64), mem("FST ", kX87Real64),
             mem("FSTP ", kX87Real64), mem("FRSTOR ", kFpuState), X(), mem("FNSAVE ", kFpuState),
             mem("FNSTSW ", kX87Int16)};
    xm[7] = {mem("FILD ", kX87Int16), mem("FISTTP ", kX87Int16), mem("FIST ", kX87Int16),
             mem("FISTP ", kX87Int16), mem("FBLD ", kX87Bcd), mem("FILD ", kX87Int64),
             mem("FBSTP ", kX87Bcd), mem("FISTP ", kX87Int64)};

    auto st = [](const char* m) { return L(m, Layout::X87St); };
    auto stSti = [](const char* m) { return L(m, Layout::X87StSti); };
    auto stiSt = [](const char* m) { return L(m, Layout::X87StiSt); };
    auto& xr = t.x87Register;
    xr[0] = {stSti("FADD "), stSti("FMUL "), st("FCOM "),   st("FCOMP "),
             stSti("FSUB "), stSti("FSUBR "), stSti("FDIV "), stSti("FDIVR ")};
    xr[1] = {st("FLD "),
             st("FXCH "),
             addRmRow(t, {N("FNOP"), X(), X(), X(), X(), X(), X(), X()}),
             X(),
             addRmRow(t, {N("FCHS"), N("FABS"), X(), X(), N("FTST"), N("FXAM"), X(), X()}),
             addRmRow(t, {N("FLD1"), N("FLDL2T"), N("FLDL2E"), N("FLDPI"), N("FLDLG2"), N("FLDLN2"),
                          N("FLDZ"), X()}),
             addRmRow(t, {N("F2XM1"), N("FYL2X"), N("FPTAN"), N("FPATAN"), N("FXTRACT"), N("FPREM1"),
                          N("FDECSTP"), N("FINCSTP")}),
             addRmRow(t, {N("FPREM"), N("FYL2XP1"), N("FSQRT"), N("FSINCOS"), N("FRNDINT"),
                          N("FSCALE"), N("FSIN"), N("FCOS")})};
    xr[2] = {stSti("FCMOVB "), stSti("FCMOVE "), stSti("FCMOVBE "), stSti("FCMOVU "), X(),
             addRmRow(t, {X(), N("FUCOMPP"), X(), X(), X(), X(), X(), X()}), X(), X()};
    xr[3] = {stSti("FCMOVNB "), stSti("FCMOVNE "), stSti("FCMOVNBE "), stSti("FCMOVNU "),
             addRmRow(t, {N("FENI "), N("FDISI "), N("FNCLEX"), N("FNINIT"), N("FSETPM "), N("FRSTPM"), X(), X()}),
             stSti("FUCOMI "), stSti("FCOMI "), X()};
    xr[4] = {stiSt("FADD "),  stiSt("FMUL "), X(),           X(),
             stiSt("FSUBR "), stiSt("FSUB "), stiSt("FDIVR "), stiSt("FDIV ")};
    xr[5] = {st("FFREE "), X(), st("FST "), st("FSTP "), st("FUCOM "), st("FUCOMP "), X(), X()};
    xr[6] = {stiSt("FADDP "), stiSt("FMULP "), X(),
             addRmRow(t, {X(), N("FCOMPP"), X(), X(), X(), X(), X(), X()}),
             stiSt("FSUBRP "), stiSt("FSUBP "), stiSt("FDIVRP "), stiSt("FDIVP ")};
    xr[7] = {st("FFREEP "), X(), X(), X(),
             addRmRow(t, {N("FNSTSW AX"), X(), X(), X(), X(), X(), X(), X()}),
             stSti("FUCOMIP "), stSti("FCOMIP "), X()};
}

}  // namespace quorby::disasm::build
