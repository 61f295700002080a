#pragma once
// The decoder's state word and the operand-form word of one instruction.
//
// DecoderState is one 32-bit word. It is kept in the settings record so that
// the chosen mode survives a restart; bits 30 and 31 survive from instruction
// to instruction, every other bit is restored after each instruction so that
// prefixes act on one instruction only.
#include <cstdint>

namespace quorby::disasm {

namespace state {
inline constexpr std::uint32_t kProtected = 1u << 0;       // 16-bit modes: Protected Mode
inline constexpr std::uint32_t kOperand32 = 1u << 1;       // operand size 32 (else 16)
inline constexpr std::uint32_t kAddress32 = 1u << 2;       // address size 32 (else 16)
inline constexpr std::uint32_t kCompleteListing = 1u << 3; // option of the window
inline constexpr std::uint32_t kMode64 = 1u << 4;          // 64-bit mode selected
inline constexpr std::uint32_t kAddress64 = 1u << 5;       // address size 64
inline constexpr std::uint32_t kRexAllowed = 1u << 6;      // REX prefixes recognised
inline constexpr std::uint32_t kRexPresent = 1u << 7;
inline constexpr std::uint32_t kRexW = 1u << 8;
inline constexpr std::uint32_t kRexR = 1u << 9;
inline constexpr std::uint32_t kRexX = 1u << 10;
inline constexpr std::uint32_t kRexB = 1u << 11;
inline constexpr std::uint32_t kShowPrefixes = 1u << 24;   // write notes for size and REX prefixes
inline constexpr std::uint32_t kCancelAfterError = 1u << 30;
inline constexpr std::uint32_t kDecodeError = 1u << 31;

inline constexpr std::uint32_t kRexBits = kRexPresent | kRexW | kRexR | kRexX | kRexB;
inline constexpr std::uint32_t kModeBits =
    kProtected | kOperand32 | kAddress32 | kMode64 | kAddress64 | kRexAllowed | kRexBits;
// Bits that are carried over from one instruction to the next.
inline constexpr std::uint32_t kSticky = kCancelAfterError | kDecodeError;
}  // namespace state

// Bits of OperandForm, set by the opcode tables and read by the operand formatter.
namespace form {
inline constexpr std::uint32_t kWide = 1u << 0;          // full-size operand rather than a byte
inline constexpr std::uint32_t kRegFirst = 1u << 1;      // d: ModRM reg operand is the destination
inline constexpr std::uint32_t kImm = 1u << 2;           // an immediate follows
inline constexpr std::uint32_t kRegOperand = 1u << 3;    // second operand from the reg field
inline constexpr std::uint32_t kSegReg = 1u << 4;        // reg field names a segment register
inline constexpr std::uint32_t kDirect = 1u << 5;        // direct memory address, no ModRM
inline constexpr std::uint32_t kSizeLetter = 1u << 6;    // size letter before a memory operand
inline constexpr std::uint32_t kSigned = 1u << 7;        // immediate/displacement is signed
inline constexpr std::uint32_t kMmxReg = 1u << 8;        // reg field is an MMX register
inline constexpr std::uint32_t kMmxRm = 1u << 9;         // r/m field is an MMX register
inline constexpr std::uint32_t kImm8 = 1u << 11;         // immediate is 8 bits even with w
inline constexpr std::uint32_t kXmmReg = 1u << 12;       // reg field is an XMM register
inline constexpr std::uint32_t kX87Real32 = 1u << 13;
inline constexpr std::uint32_t kX87Real64 = 1u << 14;
inline constexpr std::uint32_t kX87Real80 = 1u << 15;
inline constexpr std::uint32_t kX87Int16 = 1u << 16;
inline constexpr std::uint32_t kX87Int32 = 1u << 17;
inline constexpr std::uint32_t kX87Int64 = 1u << 18;
inline constexpr std::uint32_t kX87Bcd = 1u << 19;
inline constexpr std::uint32_t kEnvironment = 1u << 20;  // FLDENV/FNSTENV area
inline constexpr std::uint32_t kFpuState = 1u << 21;     // FSAVE/FRSTOR area
inline constexpr std::uint32_t kFxArea = 1u << 22;       // FXSAVE/FXRSTOR area
inline constexpr std::uint32_t kForce16 = 1u << 24;
inline constexpr std::uint32_t kXmmRm = 1u << 25;        // r/m field is XMM (memory letter "dq")
inline constexpr std::uint32_t kForce32 = 1u << 26;
inline constexpr std::uint32_t kForce64 = 1u << 27;
inline constexpr std::uint32_t kFarPointer = 1u << 28;   // "p", 48 bit
inline constexpr std::uint32_t kTbyte = 1u << 29;        // "t", 80 bit

inline constexpr std::uint32_t kX87Notes = kX87Real32 | kX87Real64 | kX87Real80 | kX87Int16 |
                                           kX87Int32 | kX87Int64 | kX87Bcd | kEnvironment |
                                           kFpuState | kFxArea;
}  // namespace form

enum class DecoderMode { Real16, Protected16, Protected32, Protected64 };

// Sets the mode bits of `state` for `mode`, keeping the option bits.
std::uint32_t setDecoderMode(std::uint32_t state, DecoderMode mode);
DecoderMode decoderModeOf(std::uint32_t state);
// The window title for the mode held in `state`.
const char* decoderModeTitle(std::uint32_t state);
const char* decoderModeTitle(DecoderMode mode);

// A mode kept as a choice (the settings' disassembly options word): its low
// byte holds the mode bits, and bit 0 clear is Real Mode whatever the other
// bits say. The rest of the word is left to its owner.
DecoderMode storedModeOf(std::uint32_t word);
std::uint32_t withStoredMode(std::uint32_t word, DecoderMode mode);

}  // namespace quorby::disasm
