#pragma once
// The VEX and EVEX opcode maps as data: for each map (0F, 0F 38, 0F 3A), opcode
// and implied prefix (none, 66, F3, F2) one entry naming the mnemonic, its
// operands and what the encoding may carry (vector length, W, broadcast,
// rounding). Entries that depend on W, on ModRM reg or mod, or on the vector
// length refer to a pool of alternatives.
#include <array>
#include <cstdint>

namespace quorby::disasm {

namespace vec {

// Where an operand comes from.
enum Kind : std::uint8_t {
    kNone,
    kV,     // vector register in ModRM reg
    kH,     // vector register in vvvv
    kW,     // vector register in ModRM r/m, or memory
    kL,     // vector register in bits 7..4 of the immediate
    kG,     // general register in ModRM reg
    kB,     // general register in vvvv
    kE,     // general register in ModRM r/m, or memory
    kK,     // mask register in ModRM reg
    kKH,    // mask register in vvvv
    kKW,    // mask register in ModRM r/m, or memory
    kIb,    // 8-bit immediate
    kVsib,  // memory with a vector index register (gathers, scatters)
    kId,    // 32-bit immediate
};

// Register width and memory size. For vector operands the first ones scale
// with the vector length; the fixed memory sizes go with an XMM register.
// For general registers kFull means 32 bits, 64 with W in 64-bit mode, and
// kM8 / kM16 / kM32 mean a 32-bit register or memory of that size.
enum Size : std::uint8_t {
    kFull, kHalf, kQuarter, kEighth,
    kX,     // always XMM, 16 bytes of memory
    kY,     // always YMM, 32 bytes of memory
    kM8, kM16, kM32, kM64,
    kDup,   // MOVDDUP: 8 bytes at 128 bits, else the full vector
    kTile,  // a tile register of AMX in place of a vector register
};

constexpr std::uint8_t operand(Kind k, Size s = kFull) { return std::uint8_t(k | s << 4); }
constexpr Kind kindOf(std::uint8_t op) { return Kind(op & 15); }
constexpr Size sizeOf(std::uint8_t op) { return Size(op >> 4); }

// Up to four operands, the first in the low byte.
constexpr std::uint32_t operands(std::uint8_t a, std::uint8_t b = 0, std::uint8_t c = 0,
                                 std::uint8_t d = 0) {
    return std::uint32_t(a) | std::uint32_t(b) << 8 | std::uint32_t(c) << 16 |
           std::uint32_t(d) << 24;
}

inline constexpr std::uint32_t kL0 = 1u << 0;         // 128-bit form only
inline constexpr std::uint32_t kL1 = 1u << 1;         // 256 bits and more only
inline constexpr std::uint32_t kW0 = 1u << 2;         // W must be 0
inline constexpr std::uint32_t kW1 = 1u << 3;         // W must be 1
inline constexpr std::uint32_t kMemOnly = 1u << 4;
inline constexpr std::uint32_t kRegOnly = 1u << 5;
inline constexpr std::uint32_t kBcst32 = 1u << 6;     // EVEX broadcast of 32-bit elements
inline constexpr std::uint32_t kBcst64 = 1u << 7;     // EVEX broadcast of 64-bit elements
inline constexpr std::uint32_t kRounding = 1u << 8;   // EVEX embedded rounding
inline constexpr std::uint32_t kSae = 1u << 9;        // EVEX suppress-all-exceptions
inline constexpr std::uint32_t kSizeLetter = 1u << 10;  // size letter before memory
inline constexpr std::uint32_t kDispByElement = 1u << 11;  // EVEX disp8 scales by one element
inline constexpr std::uint32_t kLig = 1u << 12;         // vector length ignored (scalar)
inline constexpr std::uint32_t kOnly64 = 1u << 13;      // valid only in 64-bit mode
inline constexpr std::uint32_t kBcst16 = 1u << 14;      // EVEX broadcast of 16-bit elements

// How an entry is refined before it names an instruction.
enum class Split : std::uint8_t {
    None,
    W,    // pool[aux] for W0, pool[aux + 1] for W1
    Mod,  // pool[aux] for memory, pool[aux + 1] for a register r/m
    Reg,  // pool[aux + ModRM reg]
    L,    // pool[aux] for 128 bits, pool[aux + 1] for 256
};

}  // namespace vec

struct VectorEntry {
    const char* mnemonic = nullptr;  // nullptr: no instruction; else with its trailing blank
    std::uint32_t operands = 0;
    std::uint32_t flags = 0;
    vec::Split split = vec::Split::None;
    std::uint16_t aux = 0;
};

// [map - 1][opcode][prefix: none, 66, F3, F2]
using VectorMap = std::array<std::array<std::array<VectorEntry, 4>, 256>, 3>;

inline constexpr int kMaxVectorPool = 900;

struct VectorTables {
    VectorMap vex{};
    VectorMap evex{};
    VectorMap xop{};  // AMD's XOP maps 8, 9 and A; only the prefix column 0 is used
    VectorMap evexFp16{};  // the EVEX maps 5 and 6 (half precision); the third is unused
    std::array<VectorEntry, kMaxVectorPool> pool{};
    int poolCount = 0;
};

extern const VectorTables kVectorTables;

}  // namespace quorby::disasm
