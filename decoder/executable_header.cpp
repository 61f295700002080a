#include "decoder/executable_header.h"

namespace quorby::disasm {

namespace {

std::uint16_t u16At(const std::uint8_t* p, std::size_t at) { return std::uint16_t(p[at] | p[at + 1] << 8); }
std::uint32_t u32At(const std::uint8_t* p, std::size_t at) {
    return std::uint32_t(p[at]) | std::uint32_t(p[at + 1]) << 8 | std::uint32_t(p[at + 2]) << 16 |
           std::uint32_t(p[at + 3]) << 24;
}

// ELF identification and header fields.
constexpr std::size_t kElfClass = 4, kElfData = 5, kElfIdentVersion = 6, kElfMachine = 18, kElfVersion = 20;
constexpr std::size_t kElfProbeSize = 24;
constexpr std::uint8_t kElfClass32 = 1, kElfClass64 = 2, kElfLittleEndian = 1;
constexpr std::uint16_t kMachine386 = 3, kMachineX86_64 = 62;

// PE: the stub's pointer to the signature, then the COFF header's fields.
constexpr std::size_t kLfanew = 0x3C;
constexpr std::size_t kPeMachine = 4, kPeOptionalSize = 20, kPeOptionalMagic = 24;
constexpr std::uint16_t kPeMachine386 = 0x014C, kPeMachineAmd64 = 0x8664;
constexpr std::uint16_t kPe32Magic = 0x010B, kPe32PlusMagic = 0x020B;

HeaderProbe elfMode(const std::uint8_t* h, std::size_t length, DecoderMode* mode) {
    if (length < kElfProbeSize) return HeaderProbe::NoMode;
    if (h[kElfData] != kElfLittleEndian || h[kElfIdentVersion] != 1 || u32At(h, kElfVersion) != 1)
        return HeaderProbe::NoMode;
    const std::uint8_t elfClass = h[kElfClass];
    const std::uint16_t machine = u16At(h, kElfMachine);
    if (elfClass == kElfClass32 && machine == kMachine386) {
        *mode = DecoderMode::Protected32;
        return HeaderProbe::Mode;
    }
    // x86-64 code runs in 64-bit mode whatever the class (the x32 ABI uses class 32).
    if ((elfClass == kElfClass64 || elfClass == kElfClass32) && machine == kMachineX86_64) {
        *mode = DecoderMode::Protected64;
        return HeaderProbe::Mode;
    }
    return HeaderProbe::NoMode;
}

}  // namespace

HeaderProbe probeExecutableStart(const std::uint8_t* start, std::size_t length, std::uint64_t fileSize,
                                 DecoderMode* mode, std::uint64_t* peOffset) {
    if (length >= 4 && start[0] == 0x7F && start[1] == 'E' && start[2] == 'L' && start[3] == 'F')
        return elfMode(start, length, mode);
    if (length < kLfanew + 4 || start[0] != 'M' || start[1] != 'Z') return HeaderProbe::NoMode;
    const std::uint64_t lfanew = u32At(start, kLfanew);
    // The signature lies behind the stub's own header and inside the file.
    if (lfanew < kLfanew + 4 || lfanew + kPeHeaderProbeSize > fileSize) return HeaderProbe::NoMode;
    *peOffset = lfanew;
    return HeaderProbe::PeHeaderAt;
}

HeaderProbe probePeHeader(const std::uint8_t* pe, std::size_t length, DecoderMode* mode) {
    if (length < kPeHeaderProbeSize) return HeaderProbe::NoMode;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return HeaderProbe::NoMode;
    const std::uint16_t machine = u16At(pe, kPeMachine);
    if (u16At(pe, kPeOptionalSize) < 2) return HeaderProbe::NoMode;
    const std::uint16_t magic = u16At(pe, kPeOptionalMagic);
    if (machine == kPeMachine386 && magic == kPe32Magic) {
        *mode = DecoderMode::Protected32;
        return HeaderProbe::Mode;
    }
    if (machine == kPeMachineAmd64 && magic == kPe32PlusMagic) {
        *mode = DecoderMode::Protected64;
        return HeaderProbe::Mode;
    }
    return HeaderProbe::NoMode;
}

}  // namespace quorby::disasm
