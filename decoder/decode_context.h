#pragma once
// Internal to the decoder: the byte cursor over the span, the decoding
// context with its state stack, and the steps shared by the prefix decoder
// and the opcode decoder.
#include <cstddef>
#include <cstdint>

#include "decoder/decoded_instruction.h"
#include "decoder/decoder_state.h"

namespace quorby::disasm::detail {

// Byte reader over the span; every read is checked against its end.
struct Cursor {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t pos = 0;
    bool overrun = false;

    bool next(std::uint8_t& b) {
        if (pos >= size) {
            overrun = true;
            return false;
        }
        b = bytes[pos++];
        return true;
    }
    // Little-endian value of n bytes (n <= 8).
    bool nextValue(int n, std::uint64_t& v) {
        if (size - pos < std::size_t(n)) {
            overrun = true;
            return false;
        }
        v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint64_t(bytes[pos + i]) << (8 * i);
        pos += std::size_t(n);
        return true;
    }
    // The byte `ahead` places after the current one, or -1 past the span.
    int peek(std::size_t ahead) const {
        return pos + ahead < size ? bytes[pos + ahead] : -1;
    }
};

struct Context {
    // The state stack is written before it is read and is left uninitialised.
    Context(const std::uint8_t* bytes, std::size_t size, DecodedInstruction& out, std::uint32_t s)
        : cur{bytes, size}, ins(out), state(s), baseState(s) {}

    Cursor cur;
    DecodedInstruction& ins;
    std::uint32_t state;
    std::uint32_t baseState;             // state at the instruction's start
    std::uint32_t stack[kMaxPrefixDepth + 1];
    int depth = 0;
    std::uint8_t mandatory = 0;          // 0, 0x66, 0xF2 or 0xF3
    bool mandatoryUsed = false;
    // A 66, F2 or F3 right before 0F that was decoded as a plain prefix
    // (operand size, REP, REPNE). An opcode whose map defines its own
    // instruction for that prefix takes it over: its note is then taken back.
    std::uint8_t late = 0;
    int lateNote = -1;                   // index of its note, -1 for none
    int map = 0;                         // 0 one-byte map, 1 0F, 2 0F 38, 3 0F 3A
    bool vexBlocked = false;             // a 66, F0, F2, F3 or REX prefix was met
};

inline bool mode64(std::uint32_t s) { return (s & state::kMode64) != 0; }

// The operand size a 66 prefix selects: the one that is not the mode's
// default. Repeated 66 prefixes select the same size.
inline std::uint32_t withOperandPrefix(std::uint32_t s, std::uint32_t base) {
    return (base & state::kOperand32) ? (s & ~state::kOperand32) : (s | state::kOperand32);
}

// Decodes from the next byte: a REX or legacy prefix (recursively) or an opcode.
void decodeNext(Context& c);
// Decodes a legacy prefix byte already read, then what follows it.
void decodePrefix(Context& c, std::uint8_t b);
// Decodes the opcode byte already read and its operand bytes.
void decodeOpcode(Context& c, std::uint8_t op);

// True when C4, C5 or 62 (already read) starts a VEX or EVEX prefix here
// rather than LES, LDS or BOUND.
bool isVectorEscape(const Context& c);
// Decodes a VEX (C4, C5) or EVEX (62) instruction whose first byte was read.
void decodeVector(Context& c, std::uint8_t op);

// Operand bytes; each returns false when the span ends first.
bool readModrm(Context& c);
bool readMemory(Context& c);  // SIB byte and displacement of a memory r/m
bool readImmediate(Context& c, int bytes);

}  // namespace quorby::disasm::detail
