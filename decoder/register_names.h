#pragma once
// Register and memory-base names.
#include <cstdint>

namespace quorby::disasm {

// A general register of `bits` (8, 16, 32, 64) with index 0..15; `anyRex`
// selects SPL..DIL in place of AH..BH.
const char* gprName(int bits, int index, bool anyRex);
const char* mmxName(int index);    // MM0..MM7
const char* xmmName(int index);    // XMM0..XMM15
// XMM0..XMM31, YMM0..YMM31 or ZMM0..ZMM31 by `bits` (128, 256, 512).
const char* vectorName(int bits, int index);
const char* maskName(int index);   // K0..K7
const char* tileName(int index);   // TMM0..TMM7
const char* segmentName(int index);  // ES, CS, SS, DS, FS, GS
// "[BX + SI" .. "[BX" for r/m 0..7 of 16-bit addressing.
const char* base16Name(int rm);
// "[EAX".."[R15D" or "[RAX".."[R15" for index 0..15.
const char* baseName(bool address64, int index);

}  // namespace quorby::disasm
