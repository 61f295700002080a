#pragma once
// The code mode an executable's header names: an ELF file (class and machine
// of e_ident and e_machine) or a PE file (the "MZ" stub's e_lfanew, the
// "PE\0\0" signature, Machine and the optional header's magic). Fields are
// read one by one, little-endian, and checked; anything unknown, damaged or
// contradictory names no mode, so the caller keeps the mode it had.
#include <cstddef>
#include <cstdint>

#include "decoder/decoder_state.h"

namespace quorby::disasm {

inline constexpr std::size_t kExecutableStartSize = 64;   // the bytes probed first
inline constexpr std::size_t kPeHeaderProbeSize = 26;     // signature to optional magic

enum class HeaderProbe {
    NoMode,      // no ELF or PE header, or one for another machine: keep the mode
    Mode,        // *mode is the header's
    PeHeaderAt,  // a DOS stub of a PE file: read kPeHeaderProbeSize bytes at *peOffset
};

// `start`: the first `length` bytes of the file (up to kExecutableStartSize);
// `fileSize`: the whole file's size, which e_lfanew must stay inside.
HeaderProbe probeExecutableStart(const std::uint8_t* start, std::size_t length, std::uint64_t fileSize,
                                 DecoderMode* mode, std::uint64_t* peOffset);
// `pe`: the `length` bytes at the offset probeExecutableStart gave.
HeaderProbe probePeHeader(const std::uint8_t* pe, std::size_t length, DecoderMode* mode);

}  // namespace quorby::disasm
