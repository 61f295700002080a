#pragma once
// What the RIFF/AVI engine reads: the current content of the Main File (the
// file with its journal changes), through a port the caller supplies, and
// the little-endian fields and four-character ids of its chunks.
#include <cstdint>
#include <string>

#include "core/file_pos.h"

namespace quorby {

class RiffContent {
public:
    virtual ~RiffContent() = default;
    virtual FilePos size() const = 0;
    // Reads up to `n` bytes at `pos` into `out`; *got receives the bytes that
    // arrived (fewer at the end of the content; the rest of `out` is zero).
    // Result 0, or 1 when the read failed (the port has reported it).
    virtual int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) = 0;
};

using FourCc = std::uint32_t;

constexpr FourCc fourCc(const char (&s)[5]) {
    return FourCc(std::uint8_t(s[0])) | FourCc(std::uint8_t(s[1])) << 8 | FourCc(std::uint8_t(s[2])) << 16 |
           FourCc(std::uint8_t(s[3])) << 24;
}

inline std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint64_t le64(const std::uint8_t* p) { return std::uint64_t(le32(p)) | std::uint64_t(le32(p + 4)) << 32; }
inline void putLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// The four characters of an id as they stand in the file.
std::string fourCcText(FourCc id);
// An id of four printable ASCII characters (blanks included), as every
// chunk id a writer puts down is.
bool isPrintableFourCc(FourCc id);

}  // namespace quorby
