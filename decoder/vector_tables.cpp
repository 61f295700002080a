// Builds the VEX and EVEX maps at compile time from the per-map fill functions.
#include "decoder/vector_tables.h"

#include "decoder/tables_evex.h"
#include "decoder/tables_evex_3x.h"
#include "decoder/tables_fp16.h"
#include "decoder/tables_vector_newer.h"
#include "decoder/tables_vex.h"
#include "decoder/tables_xop.h"

namespace quorby::disasm {

namespace {

constexpr VectorTables buildVectorTables() {
    VectorTables t{};
    vbuild::fillVex0F(t);
    vbuild::fillVex0F38(t);
    vbuild::fillVex0F3A(t);
    vbuild::fillEvex0F(t);
    vbuild::fillEvex0F38(t);
    vbuild::fillEvex0F3A(t);
    vbuild::fillNewerEvex(t);
    vbuild::fillNewerVex(t);
    vbuild::fillFp16Map5(t);
    vbuild::fillFp16Map6(t);
    vbuild::fillFp16Map3A(t);
    vbuild::fillFma4(t);
    vbuild::fillXop8(t);
    vbuild::fillXop9(t);
    vbuild::fillXopA(t);
    return t;
}

}  // namespace

constexpr VectorTables kBuiltVectorTables = buildVectorTables();
static_assert(kBuiltVectorTables.poolCount <= kMaxVectorPool);

const VectorTables kVectorTables = kBuiltVectorTables;

}  // namespace quorby::disasm
