#include "decoder/register_names.h"

namespace quorby::disasm {

namespace {

const char* const kReg8[8] = {"AL", "CL", "DL", "BL", "AH", "CH", "DH", "BH"};
const char* const kReg8Rex[8] = {"AL", "CL", "DL", "BL", "SPL", "BPL", "SIL", "DIL"};
const char* const kReg8Ext[8] = {"R8B", "R9B", "R10B", "R11B", "R12B", "R13B", "R14B", "R15B"};
const char* const kReg16[8] = {"AX", "CX", "DX", "BX", "SP", "BP", "SI", "DI"};
const char* const kReg16Ext[8] = {"R8W", "R9W", "R10W", "R11W", "R12W", "R13W", "R14W", "R15W"};
const char* const kReg32[8] = {"EAX", "ECX", "EDX", "EBX", "ESP", "EBP", "ESI", "EDI"};
const char* const kReg32Ext[8] = {"R8D", "R9D", "R10D", "R11D", "R12D", "R13D", "R14D", "R15D"};
const char* const kReg64[8] = {"RAX", "RCX", "RDX", "RBX", "RSP", "RBP", "RSI", "RDI"};
const char* const kReg64Ext[8] = {"R8", "R9", "R10", "R11", "R12", "R13", "R14", "R15"};
const char* const kMmx[8] = {"MM0", "MM1", "MM2", "MM3", "MM4", "MM5", "MM6", "MM7"};
const char* const kXmm[32] = {
    "XMM0",  "XMM1",  "XMM2",  "XMM3",  "XMM4",  "XMM5",  "XMM6",  "XMM7",  "XMM8",  "XMM9",  "XMM10",
    "XMM11", "XMM12", "XMM13", "XMM14", "XMM15", "XMM16", "XMM17", "XMM18", "XMM19", "XMM20", "XMM21",
    "XMM22", "XMM23", "XMM24", "XMM25", "XMM26", "XMM27", "XMM28", "XMM29", "XMM30", "XMM31"};
const char* const kYmm[32] = {
    "YMM0",  "YMM1",  "YMM2",  "YMM3",  "YMM4",  "YMM5",  "YMM6",  "YMM7",  "YMM8",  "YMM9",  "YMM10",
    "YMM11", "YMM12", "YMM13", "YMM14", "YMM15", "YMM16", "YMM17", "YMM18", "YMM19", "YMM20", "YMM21",
    "YMM22", "YMM23", "YMM24", "YMM25", "YMM26", "YMM27", "YMM28", "YMM29", "YMM30", "YMM31"};
const char* const kZmm[32] = {
    "ZMM0",  "ZMM1",  "ZMM2",  "ZMM3",  "ZMM4",  "ZMM5",  "ZMM6",  "ZMM7",  "ZMM8",  "ZMM9",  "ZMM10",
    "ZMM11", "ZMM12", "ZMM13", "ZMM14", "ZMM15", "ZMM16", "ZMM17", "ZMM18", "ZMM19", "ZMM20", "ZMM21",
    "ZMM22", "ZMM23", "ZMM24", "ZMM25", "ZMM26", "ZMM27", "ZMM28", "ZMM29", "ZMM30", "ZMM31"};
const char* const kMask[8] = {"K0", "K1", "K2", "K3", "K4", "K5", "K6", "K7"};
const char* const kTile[8] = {"TMM0", "TMM1", "TMM2", "TMM3", "TMM4", "TMM5", "TMM6", "TMM7"};
const char* const kSeg[8] = {"ES", "CS", "SS", "DS", "FS", "GS", "", ""};
const char* const kBase16[8] = {"[BX + SI", "[BX + DI", "[BP + SI", "[BP + DI", "[SI", "[DI", "[BP", "[BX"};
const char* const kBase32[16] = {"[EAX", "[ECX", "[EDX", "[EBX", "[ESP", "[EBP", "[ESI", "[EDI",
                                 "[R8D", "[R9D", "[R10D", "[R11D", "[R12D", "[R13D", "[R14D", "[R15D"};
const char* const kBase64[16] = {"[RAX", "[RCX", "[RDX", "[RBX", "[RSP", "[RBP", "[RSI", "[RDI",
                                 "[R8", "[R9", "[R10", "[R11", "[R12", "[R13", "[R14", "[R15"};

}  // namespace

const char* gprName(int bits, int index, bool anyRex) {
    const bool ext = index >= 8;
    const int i = index & 7;
    switch (bits) {
    case 8:
        return ext ? kReg8Ext[i] : anyRex ? kReg8Rex[i] : kReg8[i];
    case 16:
        return ext ? kReg16Ext[i] : kReg16[i];
    case 64:
        return ext ? kReg64Ext[i] : kReg64[i];
    default:
        return ext ? kReg32Ext[i] : kReg32[i];
    }
}

const char* mmxName(int index) { return kMmx[index & 7]; }
const char* xmmName(int index) { return kXmm[index & 15]; }
const char* vectorName(int bits, int index) {
    const char* const* names = bits == 512 ? kZmm : bits == 256 ? kYmm : kXmm;
    return names[index & 31];
}
const char* maskName(int index) { return kMask[index & 7]; }
const char* tileName(int index) { return kTile[index & 7]; }
const char* segmentName(int index) { return kSeg[index & 7]; }
const char* base16Name(int rm) { return kBase16[rm & 7]; }
const char* baseName(bool address64, int index) {
    return address64 ? kBase64[index & 15] : kBase32[index & 15];
}

}  // namespace quorby::disasm
