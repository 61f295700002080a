#pragma once
// The opcode maps as data: one entry per opcode (or per group member), naming
// the mnemonic, the operand form and how the operands are laid out. The
// decoder walks these tables; the formatter prints what they describe.
#include <array>
#include <cstdint>

namespace quorby::disasm {

enum class Layout : std::uint8_t {
    Invalid,
    Prefix,      // a prefix byte; handled by the decoder
    Escape0F,    // two-byte map
    Escape38,    // three-byte map 0F 38
    Escape3A,    // three-byte map 0F 3A
    Group,       // aux: group index, member chosen by ModRM reg
    GroupSplit,  // aux: split index, memory or register table, then ModRM reg
    GroupRm,     // aux: rm-table index, member chosen by ModRM rm
    Prefixed,    // aux: mandatory-prefix variants (none, 66, F3, F2)
    X87,         // D8-DF
    None,        // mnemonic only
    ModRM,       // operands by OperandForm
    ModRMOne,    // r/m operand, then ",1"
    ModRMCL,     // operands, then ",CL"
    ModRMXmm0,   // operands, then ",XMM0"
    AccImm,      // AL/AX/EAX/RAX and an immediate
    RegOp,       // register in the opcode's low three bits
    RegOpImm,    // that register and an immediate (MOV r,imm)
    XchgAcc,     // XCHG accumulator with the register in the opcode
    Imm,         // a single immediate (size by OperandForm)
    Enter,       // imm16, imm8
    Rel,         // relative branch: rel8 with kImm8, else rel16/32
    Moffs,       // A0-A3: accumulator and a direct address; aux 1: address first
    String,      // aux: StringKind
    FarPtr,      // ptr16:16 / ptr16:32
    Imul3,       // reg = IMUL r/m,imm
    InImm,       // IN acc,imm8
    OutImm,      // OUT imm8,acc
    CtrlReg,     // MOV to/from CRn; aux 1: CR is the destination
    DebugReg,    // MOV to/from DRn; aux 1: DR is the destination
    X87St,       // "ST(i)"
    X87StSti,    // "ST,ST(i)"
    X87StiSt,    // "ST(i),ST"
    X87Mem,      // x87 size note and the memory operand
    Vector,      // a VEX or EVEX instruction: operands by its VectorEntry
    Amd3DNow,    // 0F 0F: ModRM operands, then a byte that names the instruction
};

namespace flag {
inline constexpr std::uint16_t kInvalid64 = 1u << 0;   // not valid in 64-bit mode
inline constexpr std::uint16_t kOnly64 = 1u << 1;      // valid only in 64-bit mode
inline constexpr std::uint16_t kDefault64 = 1u << 2;   // 64-bit operand size by default in 64-bit mode
inline constexpr std::uint16_t kMemOnly = 1u << 3;     // ModRM register form invalid
inline constexpr std::uint16_t kRegOnly = 1u << 4;     // ModRM memory form invalid
inline constexpr std::uint16_t kRmByte = 1u << 5;      // r/m is a byte though the register is full size
inline constexpr std::uint16_t kSizeY = 1u << 6;       // 32 bit, 64 with REX.W, ignoring 66
inline constexpr std::uint16_t kSizedName = 1u << 7;   // aux: sized-name row chosen by operand size
inline constexpr std::uint16_t kSizedByAddr = 1u << 8; // sized name chosen by address size
inline constexpr std::uint16_t kImmWord = 1u << 9;     // immediate is 16 bits
inline constexpr std::uint16_t kRmSizeY = 1u << 10;    // r/m register or memory is 32/64 by REX.W
inline constexpr std::uint16_t kReg16 = 1u << 11;      // reg operand is a 16-bit register
inline constexpr std::uint16_t kRmAddrSize = 1u << 12;  // r/m register has the address size
inline constexpr std::uint16_t kRegAddrSize = 1u << 13; // reg operand has the address size
inline constexpr std::uint16_t kImm2Byte = 1u << 14;    // a second 8-bit immediate follows
inline constexpr std::uint16_t kSize64In64 = 1u << 15;  // operands 64 bit in 64-bit mode, else 32
}  // namespace flag

enum StringKind : std::uint8_t { kMovs, kCmps, kStos, kLods, kScas, kIns, kOuts };

struct OpcodeEntry {
    const char* mnemonic = "";  // carries its trailing blank where operands follow
    std::uint32_t form = 0;     // OperandForm bits
    Layout layout = Layout::Invalid;
    std::uint8_t aux = 0;
    std::uint16_t flags = 0;
};

using OpcodeRow8 = std::array<OpcodeEntry, 8>;
using PrefixedRow = std::array<OpcodeEntry, 4>;  // variants: none, 66, F3, F2

inline constexpr int kMaxGroups = 40;
inline constexpr int kMaxSplits = 12;
inline constexpr int kMaxRmRows = 24;
inline constexpr int kMaxPrefixedRows = 256;

// All opcode maps. The main maps refer into the pools below by `aux`.
struct OpcodeTables {
    std::array<OpcodeEntry, 256> oneByte{};
    std::array<OpcodeEntry, 256> twoByte{};
    std::array<OpcodeEntry, 256> map38{};
    std::array<OpcodeEntry, 256> map3A{};
    std::array<OpcodeRow8, kMaxGroups> groups{};             // member by ModRM reg
    std::array<std::array<OpcodeRow8, 2>, kMaxSplits> splits{};  // [0] memory, [1] register; by reg
    std::array<OpcodeRow8, kMaxRmRows> rmRows{};             // member by ModRM rm
    std::array<PrefixedRow, kMaxPrefixedRows> prefixed{};
    std::array<OpcodeRow8, 8> x87Memory{};                   // [opcode - D8][reg]
    std::array<OpcodeRow8, 8> x87Register{};                 // [opcode - D8][reg]
    int groupCount = 0;
    int splitCount = 0;
    int rmRowCount = 0;
    int prefixedCount = 0;
};

extern const OpcodeTables kOpcodeTables;

// Mnemonics chosen by size: [aux][0 for 16, 1 for 32, 2 for 64 bit].
enum SizedName : std::uint8_t {
    kNameMovs, kNameCmps, kNameStos, kNameLods, kNameScas, kNameIns, kNameOuts,
    kNameCbw, kNameCwd, kNamePushf, kNamePopf, kNameIret, kNamePusha, kNamePopa,
    kNameJcxz, kNameInDx, kNameOutDx, kNameMovd, kNamePextrd, kNamePinsrd, kNameCmpxchg8b,
    kNameRdssp, kNameIncssp, kNameWrss, kNameWruss, kNameFxsave, kNameFxrstor, kNameXsave,
    kNameXrstor, kNameXsaveopt, kNameXsavec, kNameXsaves, kNameXrstors,
    kSizedNameCount
};
extern const char* const kSizedNames[kSizedNameCount][3];

// The 3DNow! instruction named by the byte after its operands, or nullptr.
const char* amd3DNowName(std::uint8_t suffix);

}  // namespace quorby::disasm
