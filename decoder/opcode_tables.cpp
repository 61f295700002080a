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
};

}  // namespace quorby::disasm
