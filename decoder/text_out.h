#pragma once
// A bounded text writer over the caller's buffer and the number writers, the
// only ways numbers appear in decoded text.
#include <cstddef>
#include <cstdint>

#include "core/file_pos.h"

namespace quorby::disasm {

struct TextOut {
    char* text;
    std::size_t capacity;  // including room for the terminating NUL
    std::size_t length = 0;

    void put(char c) {
        if (length + 1 < capacity) text[length++] = c;
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    void terminate() {
        if (capacity) text[length < capacity ? length : capacity - 1] = '\0';
    }
};

// "0x" and 2, 4 or 8 upper-case digits for a field of 1, 2 or 4 bytes; a field
// of 8 bytes is written as the 64-bit form below.
void writeUnsigned(TextOut& out, std::uint64_t value, int bytes);
// Blank, sign, blank, "0x" and the magnitude in the field's width. The most
// negative value keeps its own digits (0x80 as a byte reads " - 0x80").
void writeSigned(TextOut& out, std::uint64_t rawValue, int bytes);
// "0x", the high 32 bits in 8 digits, a blank, the low 32 bits in 8 digits.
void writeHex64(TextOut& out, std::uint64_t value);
// Four groups of four digits, each preceded by a blank.
void writeFilePosition(TextOut& out, FilePos pos);

// Sign-extends the low `bytes` bytes of `raw`.
std::int64_t signExtend(std::uint64_t raw, int bytes);

}  // namespace quorby::disasm
