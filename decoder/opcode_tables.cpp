// Builds all opcode maps at compile time from the per-area fill functions.
#include "decoder/opcode_tables.h"

#include "decoder/tables_one_byte.h"
#include "decoder/tables_three_byte.h"
#include "decoder/tables_two_byte.h"
#include "decoder/tables_x87.h"

namespace quorby::disasm {

namespace {

constexpr OpcodeTables buildTables() {
    OpcodeTables t{};
    build::fillOneByte(t);
    build::fillTwoByteSystem(t);
    build::fillTwoByteSimd(t);
    build::fillMap38(t);
    build::fillMap3A(t);
    build::fillX87(t);
    return t;
}

}  // namespace

constexpr OpcodeTables kBuiltTables = buildTables();
static_assert(kBuiltTables.groupCount <= kMaxGroups);
static_assert(kBuiltTables.splitCount <= kMaxSplits);
static_assert(kBuiltTables.rmRowCount <= kMaxRmRows);
static_assert(kBuiltTables.prefixedCount <= kMaxPrefixedRows);

const OpcodeTables kOpcodeTables = kBuiltTables;

const char* const kSizedNames[kSizedNameCount][3] = {
    {"MOVSW ", "MOVSD ", "MOVSQ "},
    {"CMPSW ", "CMPSD ", "CMPSQ "},
    {"STOSW ", "STOSD ", "STOSQ "},
    {"LODSW ", "LODSD ", "LODSQ "},
    {"SCASW ", "SCASD ", "SCASQ "},
    {"INSW ", "INSD ", "INSD "},
    {"OUTSW ", "OUTSD ", "OUTSD "},
    {"CBW", "CWDE", "CDQE"},
    {"CWD", "CDQ", "CQO"},
    {"PUSHF", "PUSHFD", "PUSHFQ"},
    {"POPF", "POPFD", "POPFQ"},
    {"IRET", "IRETD", "IRETQ"},
    {"PUSHAW", "PUSHAD", "PUSHAD"},
    {"POPAW", "POPAD", "POPAD"},
    {"JCXZ ", "JECXZ ", "JRCXZ "},
    {"IN AX,DX", "IN EAX,DX", "IN EAX,DX"},
    {"OUT DX,AX", "OUT DX,EAX", "OUT DX,EAX"},
    {"MOVD ", "MOVD ", "MOVQ "},
    {"PEXTRD ", "PEXTRD ", "PEXTRQ "},
    {"PINSRD ", "PINSRD ", "PINSRQ "},
    {"CMPXCHG8B ", "CMPXCHG8B ", "CMPXCHG16B "},
    {"RDSSPD ", "RDSSPD ", "RDSSPQ "},
    {"INCSSPD ", "INCSSPD ", "INCSSPQ "},
    {"WRSSD ", "WRSSD ", "WRSSQ "},
    {"WRUSSD ", "WRUSSD ", "WRUSSQ "},
    {"FXSAVE ", "FXSAVE ", "FXSAVE64 "},
    {"FXRSTOR ", "FXRSTOR ", "FXRSTOR64 "},
    {"XSAVE ", "XSAVE ", "XSAVE64 "},
    {"XRSTOR ", "XRSTOR ", "XRSTOR64 "},
    {"XSAVEOPT ", "XSAVEOPT ", "XSAVEOPT64 "},
    {"XSAVEC ", "XSAVEC ", "XSAVEC64 "},
    {"XSAVES ", "XSAVES ", "XSAVES64 "},
    {"XRSTORS ", "XRSTORS ", "XRSTORS64 "},
};

const char* amd3DNowName(std::uint8_t suffix) {
    switch (suffix) {
    case 0x0C: return "PI2FW ";
    case 0x0D: return "PI2FD ";
    case 0x1C: return "PF2IW ";
    case 0x1D: return "PF2ID ";
    case 0x8A: return "PFNACC ";
    case 0x8E: return "PFPNACC ";
    case 0x90: return "PFCMPGE ";
    case 0x94: return "PFMIN ";
    case 0x96: return "PFRCP ";
    case 0x97: return "PFRSQRT ";
    case 0x9A: return "PFSUB ";
    case 0x9E: return "PFADD ";
    case 0xA0: return "PFCMPGT ";
    case 0xA4: return "PFMAX ";
    case 0xA6: return "PFRCPIT1 ";
    case 0xA7: return "PFRSQIT1 ";
    case 0xAA: return "PFSUBR ";
    case 0xAE: return "PFACC ";
    case 0xB0: return "PFCMPEQ ";
    case 0xB4: return "PFMUL ";
    case 0xB6: return "PFRCPIT2 ";
    case 0xB7: return "PMULHRW ";
    case 0xBB: return "PSWAPD ";
    case 0xBF: return "PAVGUSB ";
    default: return nullptr;
    }
}

}  // namespace quorby::disasm
