#include "decoder/vector_operands.h"

#include "decoder/decoder_state.h"

namespace quorby::disasm {

using namespace vec;

int vectorRegisterBits(Size size, int vectorBits) {
    switch (size) {
    case kFull:
    case kDup:
        return vectorBits;
    case kHalf:
        return vectorBits > 256 ? 256 : 128;
    case kY:
        return 256;
    default:
        return 128;
    }
}

int vectorGprBits(std::uint8_t operand, const DecodedInstruction& ins) {
    if (sizeOf(operand) != kFull) return 32;
    return (ins.state & state::kRexW) ? 64 : 32;
}

int vectorMemoryBytes(std::uint8_t operand, const DecodedInstruction& ins) {
    const int full = ins.vectorBits / 8;
    switch (kindOf(operand)) {
    case kE:
        if (sizeOf(operand) == kFull) return vectorGprBits(operand, ins) / 8;
        break;
    case kVsib:
        return ins.vexW ? 8 : 4;
    default:
        break;
    }
    switch (sizeOf(operand)) {
    case kFull: return full;
    case kHalf: return full / 2;
    case kQuarter: return full / 4;
    case kEighth: return full / 8;
    case kX: return 16;
    case kY: return 32;
    case kM8: return 1;
    case kM16: return 2;
    case kM32: return 4;
    case kM64: return 8;
    case kDup: return full == 16 ? 8 : full;
    default: break;  // a tile's rows have the stride the instruction gives
    }
    return full;
}

std::uint8_t vectorMemoryOperand(const VectorEntry& e) {
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t op = std::uint8_t(e.operands >> (8 * i));
        const Kind k = kindOf(op);
        if (k == kW || k == kE || k == kKW || k == kVsib) return op;
    }
    return 0;
}

}  // namespace quorby::disasm
