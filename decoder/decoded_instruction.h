#pragma once
// One decoded instruction: what the decoder found in the bytes and what the
// formatter needs to write its text. Fixed size; no allocation.
#include <cstddef>
#include <cstdint>

#include "decoder/opcode_tables.h"

namespace quorby::disasm {

// Texts written in front of an instruction for its prefixes.
enum PrefixNote : std::uint8_t {
    kNoteES, kNoteCS, kNoteSS, kNoteDS, kNoteFS, kNoteGS,
    kNoteOperand16, kNoteOperand32, kNoteAddress16, kNoteAddress32,
    kNoteLock, kNoteRep, kNoteRepe, kNoteRepne, kNoteDropRex,
    kNoteRex = 0x40,  // 0x40..0x4F: the REX byte itself
};

struct VectorEntry;

// Nested prefixes beyond this depth make the instruction invalid.
inline constexpr int kMaxPrefixDepth = 31;

struct DecodedInstruction {
    const char* mnemonic = "";
    std::uint32_t form = 0;       // OperandForm
    std::uint32_t state = 0;      // DecoderState in force at the opcode
    Layout layout = Layout::Invalid;
    std::uint8_t aux = 0;
    std::uint16_t flags = 0;
    std::uint8_t opcode = 0;      // last opcode byte
    std::uint8_t modrm = 0;
    std::uint8_t sib = 0;
    bool hasModrm = false;
    bool hasSib = false;
    bool invalid = false;
    std::uint8_t opSize = 32;     // 16, 32 or 64
    std::uint8_t addrSize = 32;   // 16, 32 or 64
    std::uint8_t regSize = 32;    // size of a general register in the reg field
    std::uint8_t rmSize = 32;     // size of the r/m operand
    std::uint8_t dispSize = 0;    // 0, 1, 2 or 4 bytes
    std::uint8_t immSize = 0;     // 0, 1, 2, 4 or 8 bytes
    std::uint8_t imm2Size = 0;    // ENTER's level byte, a far pointer's selector
    std::uint8_t noteCount = 0;
    std::uint32_t disp = 0;       // raw displacement bits
    std::uint64_t imm = 0;        // raw immediate bits
    std::uint32_t imm2 = 0;
    std::uint32_t length = 0;     // bytes taken, 1 .. span
    std::uint8_t notes[kMaxPrefixDepth + 1] = {};

    // VEX and EVEX instructions (layout Vector).
    const VectorEntry* vector = nullptr;
    std::uint16_t vectorBits = 0;  // vector length: 128, 256 or 512
    std::uint16_t vsibBits = 0;    // width of a VSIB index register, 0 without VSIB
    // Register numbers 0..31 with all their extension bits: ModRM reg, ModRM
    // r/m (register form), vvvv and the VSIB index.
    std::uint8_t vreg = 0, vrm = 0, vvvv = 0, vindex = 0;
    std::uint8_t mask = 0;         // EVEX opmask register, 0 for none
    bool zeroing = false;
    bool vexW = false;
    std::uint8_t broadcast = 0;    // element count of a broadcast memory operand
    std::uint8_t rounding = 0;     // VectorRounding
    std::uint8_t dispScale = 0;    // EVEX compressed disp8: the factor N, 0 without
};

enum VectorRounding : std::uint8_t {
    kNoRounding, kRoundNearest, kRoundDown, kRoundUp, kRoundZero, kSuppressOnly
};

}  // namespace quorby::disasm
